// The lookups find a program's records by its key as a substring of the whole record text, not
// as field 0. A record of another program that contains the key is taken for the key's own
// whenever it stands next to the key's run, or before it; such a key is unsafe wherever the
// record stands, since reordering the file would expose it.
#pragma once

#include <cstddef>
#include <vector>

#include "splitters.h"

struct KeyCollision {
    std::size_t key;     // index into keys
    std::size_t record;  // index into records
};

// Records whose owner (field 0) is not the key but whose text contains it.
std::vector<KeyCollision> FindKeyCollisions(const StringList& keys, const StringList& records);

// Field 0 of a record, the key of the program it belongs to; empty for a record without fields.
std::string RecordOwner(const std::string& record);
