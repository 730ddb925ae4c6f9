#include "replacement_command.h"

#include <algorithm>
#include <cstdlib>

#include "cp936_text.h"
#include "url_file_name.h"

namespace update {

namespace {

std::string QuotedWhenBlank(const std::string& text) {
    return text.find(' ') != std::string::npos ? "\"" + text + "\"" : text;
}

size_t SkipBlanks(const std::string& line, size_t position) {
    while (position < line.size() && line[position] == ' ') ++position;
    return position;
}

// A word up to the next blank. Empty at the end of the line.
std::string NextWord(const std::string& line, size_t& position) {
    position = SkipBlanks(line, position);
    const size_t end = std::min(line.find(' ', position), line.size());
    std::string word = line.substr(position, end - position);
    position = end;
    return word;
}

// The program path: in quotation marks (a path holds none) or up to the next blank.
bool NextPath(const std::string& line, size_t& position, std::string& path) {
    position = SkipBlanks(line, position);
    if (position < line.size() && line[position] == '"') {
        const size_t close = line.find('"', position + 1);
        if (close == std::string::npos) return false;
        path = line.substr(position + 1, close - position - 1);
        position = close + 1;
    } else {
        path = NextWord(line, position);
    }
    return !path.empty();
}

// The backslash of the last backslash-quotation mark pair that ends a word: the end of the folder
// argument. Parameters may hold quotation marks of their own, a folder never does, so the folder
// is found from its end. A double-byte character whose second byte is a backslash is no backslash.
size_t FolderEnd(const std::string& line, size_t from) {
    size_t end = std::string::npos;
    for (size_t at = from; at + 1 < line.size(); at += CharacterLength(line, at))
        if (line[at] == '\\' && line[at + 1] == '"' && (at + 2 == line.size() || line[at + 2] == ' ')) end = at;
    return end;
}

// The parameters as the client wrote them: in quotation marks exactly when they hold a blank.
std::string UnquotedParameters(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"' && text.find(' ') != std::string::npos)
        return text.substr(1, text.size() - 2);
    return text;
}

std::vector<std::string> ComponentNames(const std::string& list) {
    std::vector<std::string> names;
    std::string name;
    for (const char c : list + " ") {
        if (c == ' ' || c == ',' || c == ';') {
            if (!name.empty()) names.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    return names;
}

}  // namespace

std::string BuildReplacementParameters(unsigned long process_id, bool logging, const std::string& current_directory,
                                       const std::string& app_name, const std::string& app_params,
                                       const std::string& temp_folder, const std::string& components) {
    std::string folder = current_directory;
    if (!EndsWithCharacter(folder, '\\')) folder += '\\';
    const std::string parameters = app_params.empty() ? " " : app_params;
    return std::to_string(process_id) + (logging ? " L " : " X ") + QuotedWhenBlank(folder + app_name) + " " +
           QuotedWhenBlank(parameters) + " \"" + temp_folder + "\" " + components;
}

std::optional<ReplacementRequest> ParseReplacementParameters(const std::string& line, std::string* error) {
    const auto fail = [&](const std::string& reason) -> std::optional<ReplacementRequest> {
        if (error) *error = reason;
        return std::nullopt;
    };
    ReplacementRequest request;
    size_t position = 0;
    const std::string process_id = NextWord(line, position);
    const unsigned long long id = std::strtoull(process_id.c_str(), nullptr, 10);
    if (process_id.empty() || process_id.size() > 10 || process_id.find_first_not_of("0123456789") != std::string::npos ||
        id == 0 || id > 0xFFFFFFFFull)
        return fail("no process identifier: \"" + process_id + "\"");
    request.process_id = static_cast<unsigned long>(id);
    const std::string flag = NextWord(line, position);
    if (flag != "L" && flag != "X") return fail("no log flag L or X: \"" + flag + "\"");
    request.logging = flag == "L";
    if (!NextPath(line, position, request.program_path)) return fail("no program path");

    const size_t folder_end = FolderEnd(line, position);
    const size_t folder_start = folder_end == std::string::npos ? folder_end : line.rfind('"', folder_end);
    if (folder_end == std::string::npos || folder_start == std::string::npos || folder_start <= position ||
        line[folder_start - 1] != ' ')
        return fail("no component folder in quotation marks ending in a backslash");
    request.component_folder = line.substr(folder_start + 1, folder_end - folder_start);
    // One blank after the path, one before the folder; the parameters are what lies between.
    if (line[position] != ' ' || position + 1 >= folder_start - 1) return fail("no program parameters");
    request.program_parameters = UnquotedParameters(line.substr(position + 1, folder_start - 1 - (position + 1)));

    request.components = ComponentNames(line.substr(folder_end + 2));
    if (request.components.empty()) return fail("no components");
    return request;
}

bool IsPlainComponentName(const std::string& name) { return IsSafeLocalFileName(name); }

}  // namespace update
