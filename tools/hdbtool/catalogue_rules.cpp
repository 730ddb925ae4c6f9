#include "catalogue_rules.h"

#include "fault_log.h"
#include "text_rules.h"

namespace {

constexpr std::size_t kSubTypeField = 2;
constexpr std::size_t kFirstWindowsField = 4, kSecondWindowsField = 5;

struct WindowsVersion {
    const char* number;
    const char* name;
};
constexpr WindowsVersion kWindowsVersions[] = {{"5.1", "Windows XP"}, {"6.1", "Windows 7"}};
constexpr char kNoVersion[] = "-";

std::string JoinedNames() {
    std::string text;
    for (const std::string& name : SubTypeNames()) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Field 4 names a version; field 5 names the later one or "-". Each version at most once.
bool ValidWindowsFields(const std::string& first, const std::string& second) {
    const std::string xp = kWindowsVersions[0].number, seven = kWindowsVersions[1].number;
    return (first == xp && (second == seven || second == kNoVersion)) || (first == seven && second == kNoVersion);
}

}  // namespace

const std::vector<std::string>& SubTypeNames() {
    static const std::vector<std::string> names = {
        "Browsers Toolbar",  "Desktop Customization", "Download Managers",
        "Input Method",      "Internet Operations",   "Maintenance & Optimization",
        "Music Management",  "Photo Tools",           "Software Management",
        "Video Chat",        "Video Players",         "Web Browsers",
        "File Compression",  "Video Converters",      "CD/DVD Burners",
        "Language Software", "E-mail Software",       "Mobile Phone Software",
    };
    return names;
}

std::string CatalogueFault(const std::string& line, const StringList& fields) {
    const std::string& sub_type = fields[kSubTypeField];
    bool known = false;
    for (const std::string& name : SubTypeNames()) known = known || name == sub_type;
    if (!known) return "LI field 2 " + Quoted(sub_type) + " is not a sub-type; use one of: " + JoinedNames();
    for (const std::string& name : SubTypeNames())
        if (name != sub_type && ContainsExact(line, name))
            return "the catalogue line contains the sub-type name \"" + name +
                   "\" outside field 2, so that filter would list it too";

    const std::string& first = fields[kFirstWindowsField];
    const std::string& second = fields[kSecondWindowsField];
    if (!ValidWindowsFields(first, second))
        return "LI fields 4 and 5 (" + Quoted(first) + ", " + Quoted(second) +
               ") must name the Windows versions the program runs on: 5.1|6.1, 5.1|- or 6.1|-";
    for (const WindowsVersion& version : kWindowsVersions) {
        const bool named = first == version.number || second == version.number;
        if (!named && ContainsExact(line, std::string("|") + version.number + "|"))
            return std::string("the catalogue line contains |") + version.number + "| outside fields 4 and 5, so the " +
                   version.name + " filter would list it";
    }
    return "";
}
