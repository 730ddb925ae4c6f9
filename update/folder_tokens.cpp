#include "folder_tokens.h"

#include "cp936_text.h"

namespace update {

namespace {

// Each replacement consumes a token of the value or one that a folder brought in. A value holds
// at most about a thousand tokens; more replacements than this means a folder that names a
// token itself (C:\{APP} for APP), which would expand without end. Such tokens are left as text.
constexpr int kMostReplacements = 4096;

std::string NormalisedFolder(std::string folder) {
    if (folder.empty()) return ".";  // an unknown name stands for the current folder
    if (!EndsWithCharacter(folder, '\\')) folder += '\\';
    if (folder.size() > 3 && folder[1] == ':')
        folder.pop_back();
    else
        folder += '.';
    return folder;
}

}  // namespace

std::string ExpandFolderTokens(const std::string& value, const FolderLookup& lookup) {
    std::string text = value;
    size_t position = 0;
    for (int replaced = 0; replaced < kMostReplacements; ++replaced) {
        const size_t open = FindCharacter(text, '{', position);
        if (open == std::string::npos) break;
        const size_t close = FindCharacter(text, '}', open + 1);
        if (close == std::string::npos) break;
        const std::string name = UpperAscii(text.substr(open + 1, close - open - 1));
        text.replace(open, close - open + 1, NormalisedFolder(lookup ? lookup(name) : ""));
        position = open;
    }
    return text;
}

}  // namespace update
