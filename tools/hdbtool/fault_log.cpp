#include "fault_log.h"

#include "code_page.h"

namespace {

std::string Line(const std::string& place, const std::string& message) {
    return place.empty() ? message : place + ": " + message;
}

}  // namespace

void FaultLog::Add(const std::string& place, const std::string& message) {
    lines_.push_back(Line(place, message));
    ++fault_count_;
}

void FaultLog::Warn(const std::string& place, const std::string& message) {
    lines_.push_back("warning: " + Line(place, message));
    ++fault_count_;
}

void FaultLog::Note(const std::string& place, const std::string& message) {
    lines_.push_back("note: " + Line(place, message));
}

void FaultLog::Print(std::FILE* out) const {
    for (const std::string& line : lines_) std::fprintf(out, "%s\n", line.c_str());
}

std::string Place(const std::string& file, std::size_t line) { return file + ":" + std::to_string(line); }

std::string DisplayPath(const std::string& native_path) {
#ifdef _WIN32
    return Cp936ToUtf8OrEscaped(native_path);
#else
    return native_path;  // Linux file names are UTF-8 already
#endif
}

std::string Quoted(const std::string& cp936) { return "\"" + Cp936ToUtf8OrEscaped(cp936) + "\""; }
