#include "com_scanners.h"

#include <functional>
#include <memory>
#include <vector>

#include "index_ranges.h"
#include "long_path.h"
#include "matching.h"
#include "registry_access.h"
#include "scan_info.h"
#include "user_sids.h"

namespace {

const std::string kLocalMachine = "HKLM";
const std::string kClassesClsidPath = "SOFTWARE\\Classes\\CLSID\\";
const std::string kAppIdPath = "SOFTWARE\\Classes\\AppID\\";
const std::string kTypeLibPath = "SOFTWARE\\Classes\\TypeLib\\";
const std::string kInterfacePath = "SOFTWARE\\Classes\\Interface\\";
const std::string kElevationPolicyPath = "SOFTWARE\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\";

enum class NameKind { kSubKeys, kValues };

// A key of HKEY_LOCAL_MACHINE whose sub-key or value names are class identifiers. Sub-key paths
// end in "\" and their items name the sub-key; value paths do not, and their items name the value.
struct ClsidNamedKey {
    std::string path;
    NameKind kind;
};

const ClsidNamedKey kBrowserHelperObjects = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\", NameKind::kSubKeys};
const ClsidNamedKey kPreApproved = {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\",
                                    NameKind::kSubKeys};
const ClsidNamedKey kExtStats = {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\", NameKind::kSubKeys};
const ClsidNamedKey kApprovedShellExtensions = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", NameKind::kValues};
const ClsidNamedKey kIeToolbars = {"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar", NameKind::kValues};

// One name of a walk: the open base key, the name as enumerated and the name trimmed.
using NameVisitor =
    std::function<void(const RegistryKey& base, const std::string& name, const std::string& trimmed)>;

// Walks the sub-key (or value) names of root\path. The sub-key walks show each name in
// ScanInfoText; the value walks show nothing. A name that is blank once trimmed is passed over:
// an item built from it would name the whole base key.
void WalkNames(HKEY root, const std::string& path, NameKind kind, RegistryView view, const NameVisitor& visit) {
    const auto each = [&](const RegistryKey& base, const std::string& name) {
        if (kind == NameKind::kSubKeys) ScanInfoText::Set(name);
        const std::string trimmed = Trimmed(name);
        if (!trimmed.empty()) visit(base, name, trimmed);
    };
    if (kind == NameKind::kSubKeys)
        WalkSubKeyNames(root, path, view, each);
    else
        WalkValueNames(root, path, view, each);
}

bool OpenBelow(RegistryKey& key, const RegistryKey& base, const std::string& path, RegistryView view) {
    return OpenBaseKey(key, base.Get(), path, view) == ERROR_SUCCESS;
}

// An AppID or TypeLib value names one key below its folder only when it holds something other
// than blanks and backslashes; otherwise its item would name the whole folder.
bool NamesOneKey(const std::string& value) {
    return Trimmed(value).find_first_not_of('\\') != std::string::npos;
}

// The server path of a class: the default value of its InprocServer32 key, or of its
// LocalServer32 key when it has no InprocServer32 key. Empty when neither opens or the value
// is absent; an empty path matches nothing.
std::string ServerPathOf(const RegistryKey& base, const std::string& clsid, RegistryView view) {
    RegistryKey server;
    if (!OpenBelow(server, base, clsid + "\\InprocServer32\\", view) &&
        !OpenBelow(server, base, clsid + "\\LocalServer32\\", view))
        return std::string();
    std::string path;
    ReadValueText(server, "", path);
    return path;
}

// A "~" character (not the trail byte of a double-byte one): the mark of a short 8.3 name.
bool HoldsShortName(const std::string& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])))
            ++i;
        else if (path[i] == '~')
            return true;
    }
    return false;
}

// The known files of a class walk, upper-cased once for all its server paths, and the long
// forms it has looked up.
class ServerFileMatcher {
public:
    ServerFileMatcher(const StringList& known_files, LongPathCache& long_forms)
        : known_files_(known_files), long_forms_(long_forms) {
        for (const std::string& known_file : known_files) upper_known_files_.push_back(UpperCased(known_file));
    }

    bool Empty() const { return known_files_.empty(); }

    bool Match(const std::string& server_path, std::string& matched_file) const {
        if (known_files_.empty()) return false;
        const std::string upper_path = UpperCased(server_path);
        // Only a path with a drive and a short name can have another long form; it is looked up
        // at most once, and only when a plain test has failed, since it walks the path on disk.
        const bool may_have_long_form = ContainsExact(upper_path, ":\\") && HoldsShortName(server_path);
        bool long_form_looked_up = false;
        std::string upper_long_form;
        for (std::size_t i = 0; i < known_files_.size(); ++i) {
            bool matched = ContainsExact(upper_path, upper_known_files_[i]);
            if (!matched && may_have_long_form) {
                if (!long_form_looked_up) {
                    upper_long_form = UpperCased(long_forms_.LongFormOf(server_path));
                    long_form_looked_up = true;
                }
                matched = ContainsExact(upper_long_form, upper_known_files_[i]);
            }
            if (matched) {
                matched_file = known_files_[i];
                return true;
            }
        }
        return false;
    }

private:
    const StringList& known_files_;
    StringList upper_known_files_;
    LongPathCache& long_forms_;
};

// Keys with fewer sub-keys than this per thread are read on fewer threads: starting a thread
// would cost more than it saves.
constexpr DWORD kKeysPerThread = 512;

// A class whose server path matched a known file, with what its items are built from.
struct MatchedClass {
    std::string clsid;  // as enumerated
    std::string server_path, known_file;
    std::string appid, typelib;
    bool has_appid = false, has_typelib = false;
};

// Reads the class clsid below base: its server path, and when that matches a known file its
// AppID value and TypeLib default value (each only when it names one key). False when the
// class's server matches no known file.
bool ReadMatchedClass(const RegistryKey& base, const std::string& clsid, const ServerFileMatcher& matcher,
                      RegistryView view, MatchedClass& found) {
    found.server_path = ServerPathOf(base, clsid, view);
    if (!matcher.Match(found.server_path, found.known_file)) return false;
    found.clsid = clsid;
    RegistryKey class_key;
    if (!OpenBelow(class_key, base, clsid + "\\", view)) return true;
    // A class key without values has no AppID, and one whose only sub-key is its server has no
    // TypeLib key: one query spares looking for either.
    DWORD sub_keys = 0, values = 0;
    const bool counted = RegQueryInfoKeyA(class_key.Get(), nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr,
                                          &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    if (!counted || values > 0)
        found.has_appid = ReadValueText(class_key, "AppID", found.appid) && NamesOneKey(found.appid);
    RegistryKey typelib_key;
    if (!counted || sub_keys > 1)
        found.has_typelib = OpenBelow(typelib_key, class_key, "TypeLib\\", view) &&
                            ReadValueText(typelib_key, "", found.typelib) && NamesOneKey(found.typelib);
    return true;
}

// A reader of one sub-key name of a spread walk: true, with what it found, for a name it takes.
template <typename Found>
using NameReader = std::function<bool(const RegistryKey& base, const std::string& name, Found& found)>;

// The sub-key walk of a large key spread over threads (RunIndexRanges): each thread gets a reader
// of its own from new_reader and reads its run of names; what they found is handed to take in
// index order on the calling thread, so the outcome is that of one pass. Each name is shown in
// ScanInfoText; a name that is blank once trimmed is passed over.
template <typename Found>
void WalkSubKeysSpread(HKEY root, const std::string& path, RegistryView view,
                       const std::function<NameReader<Found>()>& new_reader,
                       const std::function<void(const Found&)>& take) {
    RegistryKey base;
    if (OpenBaseKey(base, root, path, view) != ERROR_SUCCESS) return;
    const DWORD count = CountSubKeys(base);
    const unsigned ranges = IndexRangeCount(count, kKeysPerThread);
    std::vector<std::vector<Found>> found(ranges);
    RunIndexRanges(count, ranges, [&](unsigned range, DWORD begin, DWORD end) {
        const NameReader<Found> read = new_reader();
        for (DWORD index = begin; index < end; ++index) {
            const std::string name = SubKeyNameAt(base, index);
            if (name.empty()) continue;
            ScanInfoText::Set(name);
            Found one;
            if (!Trimmed(name).empty() && read(base, name, one)) found[range].push_back(std::move(one));
        }
    });
    for (const std::vector<Found>& range : found)
        for (const Found& one : range) take(one);
}

// The second field of each COM record, in record order.
StringList KnownFilesOf(const StringList& com_records) {
    StringList known_files;
    for (const std::string& record : com_records) {
        StringList fields;
        // A record without a second field names no module: it can match nothing.
        if (SplitByBar(record, fields) && fields.size() >= 2) known_files.push_back(fields[1]);
    }
    return known_files;
}

// The first entry of an interface that it has decides whether it belongs to the found classes.
bool InterfaceBelongs(const RegistryKey& base, const std::string& iid, const StringList& clsids,
                      const StringList& typelib_ids, RegistryView view) {
    if (IsListedIn(clsids, iid)) return true;
    const struct {
        const char* sub_key;
        const StringList* ids;
    } entries[] = {
        {"\\TypeLib\\", &typelib_ids},
        {"\\ProxyStubClsid32\\", &clsids},
        {"\\ProxyStubClsid\\", &clsids},
    };
    for (const auto& entry : entries) {
        RegistryKey key;
        if (!OpenBelow(key, base, iid + entry.sub_key, view)) continue;
        std::string id;
        return ReadValueText(key, "", id) && IsListedIn(*entry.ids, Trimmed(id));
    }
    return false;
}

// The five scanners of one HKEY_LOCAL_MACHINE key named by CLSIDs: adds once the item of each
// name whose trimmed form is listed in clsids, and hands that CLSID to also_listed. Nothing
// when clsids is empty.
void AddListedClsids(const StringList& clsids, const ClsidNamedKey& where, StringList& output, RegistryView view,
                     const std::function<void(const std::string& clsid)>& also_listed = nullptr) {
    if (clsids.empty()) return;
    const std::string separator = where.kind == NameKind::kValues ? "|" : "";
    WalkNames(HKEY_LOCAL_MACHINE, where.path, where.kind, view,
              [&](const RegistryKey&, const std::string&, const std::string& clsid) {
                  if (!IsListedIn(clsids, clsid)) return;
                  AddOnce(output, kLocalMachine + "|" + where.path + separator + clsid);
                  if (also_listed) also_listed(clsid);
              });
}

bool AppNameListed(const RegistryKey& policy, const StringList& process_names) {
    std::string app_name;
    return ReadValueText(policy, "AppName", app_name) && IsListedIn(process_names, UpperCased(Trimmed(app_name)));
}

bool AppPathInside(const RegistryKey& policy, const StringList& directories) {
    std::string app_path;
    if (!ReadValueText(policy, "AppPath", app_path)) return false;
    const std::string upper = UpperCased(app_path);
    for (const std::string& directory : directories)
        if (ContainsExact(upper, directory)) return true;
    return false;
}

}  // namespace

void ScanComRegistrations(const StringList& com_records, StringList& clsids, ComRegistrations& found,
                          RegistryView view, const ServerFilter& server_allowed) {
    found = ComRegistrations();
    StringList found_clsids, typelib_ids;
    ScanClsidServers(HKEY_LOCAL_MACHINE, kLocalMachine, kClassesClsidPath, KnownFilesOf(com_records),
                     found.class_keys, found.appid_keys, found.typelib_keys, found_clsids, typelib_ids,
                     view, server_allowed);
    clsids = found_clsids;
    ScanInterfaces(clsids, typelib_ids, found.interface_keys, view);
    ScanBrowserHelperObjects(clsids, found.bho_keys, view);
    ScanPreApproved(clsids, found.preapproved_keys, view);
    ScanExtStats(clsids, found.stats_keys, view);
}

void ScanClsidServers(HKEY root, const std::string& root_text, const std::string& base_path,
                      const StringList& known_files, StringList& class_keys, StringList& appid_keys,
                      StringList& typelib_keys, StringList& clsids, StringList& typelib_ids, RegistryView view,
                      const ServerFilter& server_allowed) {
    class_keys.clear();
    appid_keys.clear();
    typelib_keys.clear();
    if (known_files.empty()) {
        // Without known files no class can match: no server path is even read, only the names shown.
        WalkNames(root, base_path, NameKind::kSubKeys, view, [](const RegistryKey&, const std::string&,
                                                                 const std::string&) {});
        return;
    }
    // Each thread has its own long forms and upper-cased known files.
    const auto new_reader = [&]() -> NameReader<MatchedClass> {
        auto long_forms = std::make_shared<LongPathCache>();
        auto matcher = std::make_shared<ServerFileMatcher>(known_files, *long_forms);
        return [long_forms, matcher, view](const RegistryKey& base, const std::string& clsid, MatchedClass& found) {
            return ReadMatchedClass(base, clsid, *matcher, view, found);
        };
    };
    const auto take = [&](const MatchedClass& found) {
        if (server_allowed && !server_allowed(found.server_path)) return;
        // The class key as enumerated, so that it names exactly the key found.
        class_keys.push_back(root_text + "|" + base_path + found.clsid + "|" + found.known_file);
        clsids.push_back(Trimmed(found.clsid));
        if (found.has_appid) appid_keys.push_back(root_text + "|" + kAppIdPath + found.appid + "|" + found.known_file);
        if (found.has_typelib) {
            typelib_keys.push_back(root_text + "|" + kTypeLibPath + found.typelib + "|" + found.known_file);
            typelib_ids.push_back(Trimmed(found.typelib));
        }
    };
    WalkSubKeysSpread<MatchedClass>(root, base_path, view, new_reader, take);
}

bool MatchServerFile(const StringList& known_files, const std::string& server_path, std::string& matched_file,
                     LongPathCache* long_forms) {
    LongPathCache own_long_forms;
    return ServerFileMatcher(known_files, long_forms ? *long_forms : own_long_forms).Match(server_path, matched_file);
}

void ScanInterfaces(const StringList& clsids, const StringList& typelib_ids, StringList& interface_keys,
                    RegistryView view) {
    const auto new_reader = [&]() -> NameReader<std::string> {
        return [&](const RegistryKey& base, const std::string& name, std::string& iid) {
            iid = Trimmed(name);
            return InterfaceBelongs(base, iid, clsids, typelib_ids, view);
        };
    };
    WalkSubKeysSpread<std::string>(HKEY_LOCAL_MACHINE, kInterfacePath, view, new_reader, [&](const std::string& iid) {
        AddOnce(interface_keys, kLocalMachine + "|" + kInterfacePath + iid);
    });
}

void ScanBrowserHelperObjects(const StringList& clsids, StringList& output, RegistryView view) {
    AddListedClsids(clsids, kBrowserHelperObjects, output, view);
}

void ScanPreApproved(const StringList& clsids, StringList& output, RegistryView view) {
    AddListedClsids(clsids, kPreApproved, output, view);
}

void ScanExtStats(const StringList& clsids, StringList& output, RegistryView view) {
    if (clsids.empty()) return;
    StringList hives;
    EnumUserSids(hives, view);
    // A CLSID counts only when HKEY_LOCAL_MACHINE has it; then every hive that has it too.
    AddListedClsids(clsids, kExtStats, output, view, [&](const std::string& clsid) {
        for (const std::string& hive : hives) {
            const std::string path = hive + "\\" + kExtStats.path + clsid;
            RegistryKey key;
            if (OpenBaseKey(key, HKEY_USERS, path, view) == ERROR_SUCCESS) AddOnce(output, "HKU|" + path);
        }
    });
}

void ScanElevationPolicy(const StringList& process_names, const StringList& directories, StringList& output,
                         RegistryView view) {
    WalkNames(HKEY_LOCAL_MACHINE, kElevationPolicyPath, NameKind::kSubKeys, view,
              [&](const RegistryKey& base, const std::string&, const std::string& policy_name) {
                  RegistryKey policy;
                  if (!OpenBelow(policy, base, policy_name, view)) return;
                  if (AppNameListed(policy, process_names) || AppPathInside(policy, directories))
                      AddOnce(output, kLocalMachine + "|" + kElevationPolicyPath + policy_name);
              });
}

void ScanApprovedShellExtensions(const StringList& clsids, StringList& output, RegistryView view) {
    AddListedClsids(clsids, kApprovedShellExtensions, output, view);
}

void ScanIeToolbars(const StringList& clsids, StringList& output, RegistryView view) {
    AddListedClsids(clsids, kIeToolbars, output, view);
}
