// Which programs of a listed catalogue this machine has registered as installed.
#include "installed_marks.h"

#include <set>
#include <string_view>
#include <unordered_set>

#include "category_files.h"
#include "category_record_reader.h"
#include "installed_software.h"
#include "machine_views.h"
#include "text_rules.h"
#include "user_sids.h"

namespace {

// The display names of the registrations the install-path discovery reads, in every view,
// upper-cased for the match. A registration whose folder is gone still names an installed program.
StringList RegisteredDisplayNames(RegistryView machine_view) {
    StringList display_names;
    for (const RegistryView view : SearchViews(machine_view)) {
        StringList user_sids, install_locations;
        EnumUserSids(user_sids, view);
        ScanInstallerUserData(user_sids, display_names, install_locations, view);
        ScanUninstallKeys(display_names, install_locations, view);
        ScanUserUninstallKeys(user_sids, display_names, install_locations, view);
    }
    for (std::string& name : display_names) name = UpperCased(name);
    return display_names;
}

// The registered display names by text and length: whether a text contains one of them is a
// lookup of each of its substrings of a display name's length, not a search for every name,
// which makes a catalogue of 10,000 programs against 2,000 registrations a matter of
// milliseconds.
class DisplayNameIndex {
public:
    explicit DisplayNameIndex(const StringList& upper_display_names) {
        for (const std::string& name : upper_display_names) {
            if (name.empty()) continue;  // an empty text is never contained
            names_.insert(name);
            lengths_.insert(name.size());
        }
    }
    bool Empty() const { return names_.empty(); }
    // ContainsExact(text, name) for some display name.
    bool AnyIn(const std::string& text) const {
        const std::string_view view = text;
        for (std::size_t at = 0; at < view.size(); ++at)
            for (const std::size_t length : lengths_) {
                if (at + length > view.size()) break;
                if (names_.count(view.substr(at, length))) return true;
            }
        return false;
    }

private:
    std::unordered_set<std::string_view> names_;  // views of the caller's list
    std::set<std::size_t> lengths_;
};

// The install-path discovery's match (TextContains): a record's name text (field 1) contains a
// display name, both upper-cased.
bool NamesARegistration(const StringList& identification, const DisplayNameIndex& display_names) {
    StringList fields;
    for (const std::string& record : identification) {
        SplitByBar(record, fields);
        if (fields.size() >= 2 && display_names.AnyIn(UpperCased(fields[1]))) return true;
    }
    return false;
}

}  // namespace

std::vector<bool> InstalledMarksOf(const std::string& work_folder, const std::string& type,
                                   const StringList& catalogue, RegistryView view) {
    if (catalogue.empty()) return {};
    std::vector<bool> marks(catalogue.size(), false);
    const StringList upper_display_names = RegisteredDisplayNames(view);
    const DisplayNameIndex display_names(upper_display_names);
    if (display_names.Empty()) return marks;

    StringList keys(catalogue.size()), fields;
    for (std::size_t line = 0; line < catalogue.size(); ++line)
        if (SplitByBar(catalogue[line], fields)) keys[line] = fields[0];
    // A program whose records cannot be read stays unmarked; its analysis reports the damage.
    const std::vector<StringList> identification =
        CategoryRecordReader(work_folder, type).RecordsOfKeys(keys, category::kInstallNames);
    for (std::size_t line = 0; line < catalogue.size(); ++line)
        marks[line] = NamesARegistration(identification[line], display_names);
    return marks;
}
