#include "record_path_variables.h"

#include "text_rules.h"

namespace {

const PathVariable* FindPathVariable(const std::string& upper_name) {
    for (const PathVariable& variable : kPathVariables)
        if (upper_name == variable.name) return &variable;
    return nullptr;
}

std::string KnownNames() {
    std::string names;
    for (const PathVariable& variable : kPathVariables)
        names += (names.empty() ? "%" : ", %") + std::string(variable.name) + "%";
    return names;
}

}  // namespace

bool ParseRecordPath(const std::string& path, RecordPath& parsed, std::string& fault) {
    parsed = RecordPath();
    if (path.empty() || path[0] != '%') {
        if (path.find('%') == std::string::npos) {
            parsed.rest = path;
            return true;
        }
        fault = "a variable can only begin the path";
        return false;
    }
    const std::size_t close = path.find('%', 1);
    if (close == std::string::npos) {
        fault = "the variable has no closing %";
        return false;
    }
    const std::string name = path.substr(1, close - 1);
    parsed.variable = FindPathVariable(UpperCased(name));
    if (!parsed.variable) {
        fault = "unknown variable %" + name + "% (known: " + KnownNames() + ")";
        return false;
    }
    parsed.rest = path.substr(close + 1);
    if (!parsed.rest.empty() && parsed.rest[0] != '\\') {
        fault = "the variable must be followed by a backslash";
        return false;
    }
    if (parsed.rest.find('%') != std::string::npos) {
        fault = "a variable can only begin the path";
        return false;
    }
    return true;
}
