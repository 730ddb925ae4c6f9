#include "key_collisions.h"

#include "text_rules.h"

std::string RecordOwner(const std::string& record) {
    StringList fields;
    return SplitByBar(record, fields) ? fields[0] : std::string();
}

std::vector<KeyCollision> FindKeyCollisions(const StringList& keys, const StringList& records) {
    StringList owners;
    owners.reserve(records.size());
    for (const std::string& record : records) owners.push_back(RecordOwner(record));
    std::vector<KeyCollision> collisions;
    for (std::size_t k = 0; k < keys.size(); ++k)
        for (std::size_t r = 0; r < records.size(); ++r)
            if (owners[r] != keys[k] && ContainsExact(records[r], keys[k])) collisions.push_back({k, r});
    return collisions;
}
