// The records of one category for every program of a listing at once. Each program gets the
// records the engine reads for it alone (GetCategoryFile names the file: the first MAPPED line
// that contains the key; LoadCategoryRecords takes the first run of records that contain the
// key), but MAPPED and each category file are decoded once and searched in one pass, where a
// lookup per program would decode MAPPED, and every record before the program's, anew each time.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "splitters.h"

// The records of keys[i] at index i, decoded and trimmed; none when MAPPED names no file of the
// category for the key or a file is missing, and none when a damaged line stands in the way of
// the program's records (a damaged MAPPED file, every program's).
std::vector<StringList> ReadCategoryRecordsOfKeys(const std::string& work_folder, const std::string& type,
                                                  const char* name_template, const StringList& keys);

// For each needle, the index of the first text that contains it byte for byte (texts.size()
// when none does; an empty needle is in every text). One pass over the texts, looking up each
// of their substrings that has the length of a needle.
std::vector<std::size_t> FirstTextsContaining(const StringList& needles, const StringList& texts);
