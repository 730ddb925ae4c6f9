// Scanners of COM and browser registrations: the classes served by the program's modules and
// everything keyed by their class identifiers, and the browser elevation policies.
#pragma once

#include <windows.h>

#include <string>

#include "splitters.h"

// The seven lists of registry items the COM scan fills, in the order they are reported.
struct ComRegistrations {
    StringList class_keys, appid_keys, typelib_keys, interface_keys, bho_keys, preapproved_keys, stats_keys;
};

// The whole COM scan. clsids is replaced by the class identifiers found.
void ScanComRegistrations(const StringList& com_records, StringList& clsids, ComRegistrations& found,
                          BYTE Use64BitView);

void ScanClsidServers(HKEY root, const std::string& root_text, const std::string& base_path,
                      const StringList& known_files, StringList& class_keys, StringList& appid_keys,
                      StringList& typelib_keys, StringList& clsids, StringList& typelib_ids, BYTE Use64BitView);
// The first known file that the server path contains (directly, or in its long form).
bool MatchServerFile(const StringList& known_files, const std::string& server_path, std::string& matched_file);
void ScanInterfaces(const StringList& clsids, const StringList& typelib_ids, StringList& interface_keys,
                    BYTE Use64BitView);
void ScanBrowserHelperObjects(const StringList& clsids, StringList& output, BYTE Use64BitView);
void ScanPreApproved(const StringList& clsids, StringList& output, BYTE Use64BitView);
void ScanExtStats(const StringList& clsids, StringList& output, BYTE Use64BitView);
void ScanElevationPolicy(const StringList& process_names, const StringList& directories, StringList& output,
                         BYTE Use64BitView);
void ScanApprovedShellExtensions(const StringList& clsids, StringList& output, BYTE Use64BitView);
void ScanIeToolbars(const StringList& clsids, StringList& output, BYTE Use64BitView);
