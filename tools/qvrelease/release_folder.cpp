#include "release_folder.h"

#include <map>
#include <set>
#include <stdexcept>

#include "cp936_text.h"
#include "file_entries.h"
#include "ini_text.h"
#include "url_file_name.h"

const char kControlFileName[] = "qv_update.INF";
const char kSignatureFileName[] = "qv_update.INF.sig";

namespace {

const char kSha256Key[] = "SHA256";
const char kFileSizeKey[] = "FILESIZE";

// One line of the control file, looked at with the program's own rules.
struct ControlLine {
    std::string text;           // as it stands, with its line ending
    bool opens_section = false;
    std::string name;           // upper-cased: the section it opens, or its key
};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

ControlLine LookedAt(const std::string& text) {
    ControlLine line;
    line.text = text;
    std::string body = text;
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.pop_back();
    body = Trimmed(body);
    if (body.empty() || body[0] == ';') return line;
    if (body[0] == '[') {
        // Without its closing bracket the line is neither a section nor a key.
        const size_t close = update::FindLastCharacter(body, ']');
        if (close != std::string::npos) {
            line.opens_section = true;
            line.name = update::UpperAscii(Trimmed(body.substr(1, close - 1)));
        }
        return line;
    }
    const size_t equals = body.find('=');
    if (equals != std::string::npos) line.name = update::UpperAscii(Trimmed(body.substr(0, equals)));
    return line;
}

std::vector<ControlLine> ControlLines(const std::string& text) {
    std::vector<ControlLine> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t newline = text.find('\n', start);
        const size_t end = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(LookedAt(text.substr(start, end - start)));
        start = end;
    }
    return lines;
}

std::string LineEnding(const std::string& line) {
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return "\r\n";
    return !line.empty() && line.back() == '\n' ? "\n" : "";
}

std::string FactLine(const ReleaseEntry& entry, const std::string& key) {
    return key == kSha256Key ? "sha256=" + entry.sha256 : "filesize=" + std::to_string(entry.file_size);
}

}  // namespace

std::string ReleaseEntry::Section() const { return "[file" + std::to_string(number) + "]"; }
std::string ReleaseEntry::Label() const { return Section() + " " + name; }

std::vector<ReleaseEntry> ReadReleaseEntries(const std::string& control_text) {
    if (control_text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        throw std::runtime_error(std::string(kControlFileName) +
                                 " starts with a UTF-8 byte-order mark: the program reads code page 936 text "
                                 "and would miss the first section; save it without one");
    const update::IniText ini = update::IniText::Parse(control_text);
    int32_t count = 0;
    if (!update::ParseIniInteger(ini.String("files", "count"), count) || count < 0 ||
        count > update::kMostFileEntries)
        throw std::runtime_error("[files] count is missing or not a number from 0 to " +
                                 std::to_string(update::kMostFileEntries));
    const update::TFileList files = update::ReadFileList(ini, nullptr);
    std::vector<ReleaseEntry> entries;
    for (int k = 1; k <= count; ++k) {
        const update::TFileDescription& file = files[static_cast<size_t>(k - 1)];
        ReleaseEntry entry;
        entry.number = k;
        if (file.URL.empty()) throw std::runtime_error(entry.Section() + " has no url (is the section missing?)");
        entry.name = update::LocalFileNameFromUrl(file.URL);
        if (!update::IsSafeLocalFileName(entry.name))
            throw std::runtime_error(entry.Section() + " url " + file.URL +
                                     " gives no safe local file name (empty, . or .., path or wildcard "
                                     "characters, a trailing dot or blank, or a device name such as CON or COM1)");
        entry.sha256 = file.Sha256;
        entry.file_size = file.FileSize;
        entries.push_back(entry);
    }
    return entries;
}

std::string WithFileFacts(const std::string& control_text, const std::vector<ReleaseEntry>& entries) {
    const std::string file_ending = control_text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::map<std::string, const ReleaseEntry*> by_section;
    for (const ReleaseEntry& entry : entries) by_section["FILE" + std::to_string(entry.number)] = &entry;

    // The program reads a section where it first appears: only there are the facts filled.
    const std::vector<ControlLine> lines = ControlLines(control_text);
    std::vector<const ReleaseEntry*> owner(lines.size(), nullptr);
    std::map<const ReleaseEntry*, size_t> last_line;  // the header or the section's last key
    std::set<std::string> sections_seen;
    const ReleaseEntry* current = nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].opens_section) {
            const auto found = by_section.find(lines[i].name);
            const bool first = sections_seen.insert(lines[i].name).second;
            current = first && found != by_section.end() ? found->second : nullptr;
        }
        owner[i] = current;
        if (current && !lines[i].name.empty()) last_line[current] = i;
    }

    std::string result;
    std::set<std::pair<const ReleaseEntry*, std::string>> filled;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ReleaseEntry* entry = owner[i];
        const std::string& name = lines[i].name;
        if (entry && !lines[i].opens_section && (name == kSha256Key || name == kFileSizeKey)) {
            // Replaced where it stands; a repeat of the key is dropped with its stale value.
            if (filled.insert({entry, name}).second) result += FactLine(*entry, name) + LineEnding(lines[i].text);
        } else {
            result += lines[i].text;
        }
        if (entry && last_line[entry] == i) {
            for (const char* key : {kSha256Key, kFileSizeKey}) {
                if (!filled.insert({entry, key}).second) continue;
                if (!result.empty() && result.back() != '\n') result += file_ending;
                result += FactLine(*entry, key) + file_ending;
            }
        }
    }

    const std::vector<ReleaseEntry> read_back = ReadReleaseEntries(result);
    for (const ReleaseEntry& entry : entries) {
        const ReleaseEntry& read = read_back.at(static_cast<size_t>(entry.number - 1));
        if (read.sha256 != entry.sha256 || read.file_size != entry.file_size)
            throw std::runtime_error(entry.Label() +
                                     ": the program would not read the filled sha256 and filesize back; "
                                     "write the section header " + entry.Section() + " once, on a line of its own");
    }
    return result;
}
