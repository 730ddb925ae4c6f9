// Scanners of COM and browser registrations: the classes served by the program's modules and
// everything keyed by their class identifiers, and the browser elevation policies.
//
// All of them read HKEY_LOCAL_MACHINE (and the users' hives for the usage statistics) through
// the key-scan convention of registry_access.h, never raise an error and report nothing: a key
// or value that cannot be opened or read contributes nothing. Items are RegistryItem texts; the
// class, AppID and type-library items carry the matched module file as their third field, which
// the report shows and the window removes before deletion.
//
// A sub-key or value name that is blank once trimmed is passed over by every scanner, and so is
// an AppID or TypeLib value made only of blanks and backslashes: an item built from either would
// name the parent key (all classes, all interfaces, all add-ons) and be deleted with it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "long_path.h"
#include "registry_view.h"
#include "splitters.h"

// The seven lists of registry items the COM scan fills, in the order they are reported.
struct ComRegistrations {
    StringList class_keys, appid_keys, typelib_keys, interface_keys, bho_keys, preapproved_keys, stats_keys;
};

// The whole COM scan. The known module files are the second fields of com_records, in record
// order; a record without a second field names no module and is skipped. found is filled afresh
// and clsids is replaced by the class identifiers found. The interface walk runs even when no
// class was found; the browser scanners then return at once.
// server_allowed, when given, passes over a class whose server path it refuses (a class served by
// one of Windows' own files): nothing keyed by that class is found.
using ServerFilter = std::function<bool(const std::string& server_path)>;
void ScanComRegistrations(const StringList& com_records, StringList& clsids, ComRegistrations& found,
                          RegistryView view, const ServerFilter& server_allowed = nullptr);

// The class walk over root\base_path (base_path ends in "\"). For each class, in enumeration
// order, the InprocServer32 key, or LocalServer32 when there is none, gives the server path;
// when it matches a known file the class key "root_text|base_path<CLSID>|file" and the trimmed
// CLSID are appended, then "root_text|SOFTWARE\Classes\AppID\<AppID value>|file" and
// "root_text|SOFTWARE\Classes\TypeLib\<TypeLib default value>|file" (with the trimmed type
// library id) when the class has them. Nothing is added once: two classes sharing an AppID give
// two items. class_keys, appid_keys and typelib_keys are emptied first; clsids and typelib_ids
// are appended to. Writes ScanInfoText with each class name. Each server path text's long form
// is looked up once per walk; without known files no server path is read. A large class key is
// read on one thread per processor, each over a run of indexes; the items still come in
// enumeration order, and server_allowed is called on the calling thread only.
void ScanClsidServers(HKEY root, const std::string& root_text, const std::string& base_path,
                      const StringList& known_files, StringList& class_keys, StringList& appid_keys,
                      StringList& typelib_keys, StringList& clsids, StringList& typelib_ids, RegistryView view,
                      const ServerFilter& server_allowed = nullptr);

// The first known file, in list order, that the server path contains (case-insensitively), or
// that its long form contains: the long form is looked up only for a path with ":\" and a "~"
// character in it and only once a plain test has failed, so a short 8.3 path matches the
// module's long name while a quoted command line with arguments (which has no long form) can
// match only as written. matched_file is set only on a match. With long_forms, a path text
// converted before is not converted again (the class walk keeps one for its whole run).
bool MatchServerFile(const StringList& known_files, const std::string& server_path, std::string& matched_file,
                     LongPathCache* long_forms = nullptr);

// Interface keys "HKLM|SOFTWARE\Classes\Interface\<IID>", added once. The first of these that an
// interface has decides: its IID is one of the CLSIDs; its TypeLib key (the default value among
// the type-library ids); its ProxyStubClsid32 key, then its ProxyStubClsid key (the default value
// among the CLSIDs). Writes ScanInfoText with each interface name.
void ScanInterfaces(const StringList& clsids, const StringList& typelib_ids, StringList& interface_keys,
                    RegistryView view);

// The sub-keys of the Browser Helper Objects, Ext\PreApproved and Ext\Stats keys whose trimmed
// names are listed in the CLSIDs, as "HKLM|<key>\<CLSID>" added once; Ext\Stats adds
// "HKU|<hive>\<key>\<CLSID>" for every user hive that holds the same CLSID, but only for CLSIDs
// found under HKEY_LOCAL_MACHINE. Nothing when clsids is empty. Write ScanInfoText with each name.
void ScanBrowserHelperObjects(const StringList& clsids, StringList& output, RegistryView view);
void ScanPreApproved(const StringList& clsids, StringList& output, RegistryView view);
void ScanExtStats(const StringList& clsids, StringList& output, RegistryView view);

// Internet Explorer elevation policies whose AppName (trimmed, upper-cased) is one of the
// process names, or else whose upper-cased AppPath contains one of the directories, byte for
// byte: the engine passes both lists upper-cased. Items "HKLM|<ElevationPolicy>\<policy>", added
// once. Writes ScanInfoText with each policy name.
void ScanElevationPolicy(const StringList& process_names, const StringList& directories, StringList& output,
                         RegistryView view);

// The values (not sub-keys) of the approved shell extensions and the Internet Explorer toolbar
// keys whose trimmed names are listed in the CLSIDs, as "HKLM|<key>|<CLSID>" added once.
// Nothing when clsids is empty. They do not write ScanInfoText.
void ScanApprovedShellExtensions(const StringList& clsids, StringList& output, RegistryView view);
void ScanIeToolbars(const StringList& clsids, StringList& output, RegistryView view);
