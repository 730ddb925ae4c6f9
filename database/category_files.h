// The lookups over the category files of the signature database: the MAPPED file that names
// each program's category files, the catalogue (LI) with its filters, and a program's records.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "splitters.h"

// File name templates; "XX" stands for the software type code.
namespace category {
constexpr const char kMapped[] = "SID_XX_MAPPED";
constexpr const char kCatalogue[] = "SID_XX_LI";
constexpr const char kInstallNames[] = "SID_XX_IDN";
constexpr const char kFolders[] = "SID_XX_FL";
constexpr const char kProcesses[] = "SID_XX_PR";
constexpr const char kCoreFiles[] = "SID_XX_CF";
constexpr const char kDrivers[] = "SID_XX_IS";
constexpr const char kComServers[] = "SID_XX_RAXC";
constexpr const char kRegistry[] = "SID_XX_RN";
}  // namespace category

constexpr const char kFilterAll[] = "All";

// The sub-type names catalogue lines carry; each is also a sub-type filter value.
constexpr const char* kSubTypeNames[] = {
    "Browsers Toolbar", "Desktop Customization", "Download Managers", "Input Method", "Internet Operations",
    "Maintenance & Optimization", "Music Management", "Photo Tools", "Software Management", "Video Chat",
    "Video Players", "Web Browsers", "File Compression", "Video Converters", "CD/DVD Burners", "Language Software",
    "E-mail Software", "Mobile Phone Software"};

// The operating-system filter values besides "All": Windows XP and Windows 7.
constexpr const char kFilterWindowsXP[] = "|5.1|";
constexpr const char kFilterWindows7[] = "|6.1|";

// "MW", "SW" or "NM", compared exactly.
bool IsSoftwareType(const std::string& type);

// The template with every "XX" replaced by the type code.
std::string CategoryName(const std::string& name_template, const std::string& type);

// Every MAPPED record of the type, decoded and trimmed. False (list untouched) when the folder,
// the type or the file is not there.
bool LoadMappedList(const std::string& work_folder, const std::string& type, StringList& list);

// The catalogue records of the type that pass the sub-type and OS filters ("All" passes all).
bool LoadSoftwareList(const std::string& work_folder, const std::string& type, const std::string& sub_type,
                      StringList& list, const std::string& os);

// The first run of consecutive records that contain key, decoded and trimmed. False (list
// untouched) for an empty key or path or a missing file; true, possibly empty, otherwise.
bool LoadCategoryRecords(const std::string& key, const std::string& category_path, StringList& list);

// The full path of the program's category file for the template, or empty.
std::string GetCategoryFile(const std::string& work_folder, const std::string& key, const std::string& type,
                            const std::string& name_template);

// The category file a program's MAPPED line names for the category (category_name with the type
// filled in): the first field that contains the name, as a path in the work folder; empty when
// no field does.
std::string CategoryFileOfMappedLine(const std::string& work_folder, const std::string& mapped_line,
                                     const std::string& category_name);
// A category file's text, decoded beside it (".UPhdb") the first time it is read. Raises the
// codec's errors for a damaged file and EFileOpenError when the decoded text cannot be read.
std::string DecodedCategoryText(const std::string& category_path);

// Lines of a text separated by CR LF, CR or LF; a final line break adds no empty line.
void SplitTextLines(const std::string& text, StringList& lines);
// The line that begins at offset, offset moved past its line break; false at the end of text.
bool NextTextLine(const std::string& text, std::size_t& offset, std::string& line);
// The same lines one at a time, without a list of them; stops when visit returns false.
void ForEachTextLine(const std::string& text, const std::function<bool(const std::string& line)>& visit);
