#include "stored_entries.h"

#include <set>

#include "code_page.h"
#include "errors.h"
#include "package_reader.h"
#include "zlib_inflater.h"

namespace {

// Inflates the whole stream; raises EZlibError when it is damaged.
void InflateAll(const std::string& data) {
    ZlibInflater inflater(data.data(), data.size());
    char piece[4096];
    while (inflater.Read(piece, sizeof piece) != 0) {
    }
}

}  // namespace

bool CheckStoredEntries(const std::string& package_path, const std::string& shown, FaultLog& faults) {
    bool unpackable = true;
    std::size_t index = 0;
    std::string previous;
    try {
        TPackageReader reader(package_path);
        PackageEntry entry;
        std::set<std::string> names;
        while (reader.Next(entry)) {
            ++index;
            const std::string place = shown + " entry " + std::to_string(index) + " " + Quoted(entry.name);
            previous = entry.name;
            try {
                CheckPackageEntryNames(entry);
            } catch (const EUnsafeEntryName& error) {
                faults.Add(place, Cp936ToUtf8OrEscaped(error.what()));
                unpackable = false;
                continue;
            }
            if (!names.insert(entry.name).second)
                faults.Add(place, "stored twice: the later copy replaces the earlier");
            try {
                InflateAll(entry.data);
            } catch (const EDatabaseError& error) {
                faults.Add(place, std::string("damaged compressed data: ") + error.what());
                unpackable = false;
            }
        }
    } catch (const EReadError& error) {
        faults.Add(shown, "truncated: the package ends inside entry " + std::to_string(index + 1) +
                              (previous.empty() ? "" : " (after " + Quoted(previous) + ")") + ": " + error.what());
        return false;
    } catch (const EDatabaseError& error) {
        faults.Add(shown, Cp936ToUtf8OrEscaped(error.what()));
        return false;
    }
    return unpackable;
}
