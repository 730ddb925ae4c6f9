#include "key_collisions.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>

std::string RecordOwner(const std::string& record) {
    StringList fields;
    return SplitByBar(record, fields) ? fields[0] : std::string();
}

std::vector<KeyCollision> FindKeyCollisions(const StringList& keys, const StringList& records) {
    // Every substring of a record that has a key's length is looked up once, rather than every
    // key searched in every record: a database of thousands of programs stays a linear check.
    std::unordered_map<std::string_view, std::vector<std::size_t>> keys_of_text;
    std::set<std::size_t> lengths;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (keys[k].empty()) continue;  // an empty text is never contained
        keys_of_text[keys[k]].push_back(k);
        lengths.insert(keys[k].size());
    }
    std::vector<KeyCollision> collisions;
    for (std::size_t r = 0; r < records.size(); ++r) {
        const std::string_view record = records[r];
        const std::string owner = RecordOwner(records[r]);
        for (std::size_t at = 0; at < record.size(); ++at)
            for (const std::size_t length : lengths) {
                if (at + length > record.size()) break;
                const auto found = keys_of_text.find(record.substr(at, length));
                if (found == keys_of_text.end()) continue;
                for (const std::size_t k : found->second)
                    if (keys[k] != owner) collisions.push_back({k, r});
            }
    }
    // In key order, then record order, each pair once.
    std::sort(collisions.begin(), collisions.end(), [](const KeyCollision& a, const KeyCollision& b) {
        return a.key != b.key ? a.key < b.key : a.record < b.record;
    });
    collisions.erase(std::unique(collisions.begin(), collisions.end(),
                                 [](const KeyCollision& a, const KeyCollision& b) {
                                     return a.key == b.key && a.record == b.record;
                                 }),
                     collisions.end());
    return collisions;
}
