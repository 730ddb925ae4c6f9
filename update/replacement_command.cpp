#include "replacement_command.h"

#include "url_file_name.h"

namespace update {

namespace {

std::string QuotedWhenBlank(const std::string& text) {
    return text.find(' ') != std::string::npos ? "\"" + text + "\"" : text;
}

// One word at position: up to the next blank, or, when it opens with a quotation mark, up to
// the next quotation mark (a backslash before it is part of the word). False at the end.
bool NextWord(const std::string& line, size_t& position, std::string& word) {
    while (position < line.size() && line[position] == ' ') ++position;
    if (position >= line.size()) return false;
    if (line[position] == '"') {
        const size_t close = line.find('"', position + 1);
        if (close == std::string::npos) return false;
        word = line.substr(position + 1, close - position - 1);
        position = close + 1;
        return true;
    }
    const size_t end = line.find(' ', position);
    word = line.substr(position, end == std::string::npos ? std::string::npos : end - position);
    position = end == std::string::npos ? line.size() : end;
    return true;
}

}  // namespace

std::string BuildReplacementParameters(unsigned long process_id, bool logging, const std::string& current_directory,
                                       const std::string& app_name, const std::string& app_params,
                                       const std::string& temp_folder, const std::string& components) {
    std::string folder = current_directory;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
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
    std::string word;
    if (!NextWord(line, position, word) || word.empty() || word.find_first_not_of("0123456789") != std::string::npos ||
        word.size() > 10)
        return fail("no process identifier");
    request.process_id = std::stoul(word);
    if (!NextWord(line, position, word) || (word != "L" && word != "X")) return fail("no log flag L or X");
    request.logging = word == "L";
    if (!NextWord(line, position, request.program_path) || request.program_path.empty())
        return fail("no program path");
    if (!NextWord(line, position, request.program_parameters)) return fail("no program parameters");
    while (position < line.size() && line[position] == ' ') ++position;
    if (position >= line.size() || line[position] != '"' || !NextWord(line, position, request.component_folder) ||
        request.component_folder.empty() || request.component_folder.back() != '\\')
        return fail("no component folder in quotation marks ending in a backslash");
    std::string name;
    for (const char c : line.substr(position) + " ") {
        if (c == ' ' || c == ',' || c == ';') {
            if (!name.empty()) request.components.push_back(name);
            name.clear();
        } else {
            name += c;
        }
    }
    if (request.components.empty()) return fail("no components");
    return request;
}

bool IsPlainComponentName(const std::string& name) { return IsSafeLocalFileName(name); }

}  // namespace update
