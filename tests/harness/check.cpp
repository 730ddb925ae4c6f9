#include "check.h"

#include <cstdio>
#include <exception>

namespace check {
namespace {

struct Case {
    const char* name;
    void (*body)();
};

std::vector<Case>& Cases() {
    static std::vector<Case> cases;
    return cases;
}

std::vector<std::string>& Contexts() {
    static std::vector<std::string> contexts;
    return contexts;
}

int failures_in_case = 0;

}  // namespace

void Register(const char* name, void (*body)()) { Cases().push_back({name, body}); }

void Fail(const char* file, int line, const std::string& what) {
    ++failures_in_case;
    std::printf("  %s:%d: %s\n", file, line, what.c_str());
    for (const std::string& context : Contexts()) std::printf("      in: %s\n", context.c_str());
}

std::string Quote(const std::string& bytes) {
    std::string text = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text + "\"";
}

Context::Context(std::string text) { Contexts().push_back(std::move(text)); }
Context::~Context() { Contexts().pop_back(); }

}  // namespace check

int main(int argc, char** argv) {
    const char* only = argc > 1 ? argv[1] : nullptr;
    int passed = 0, failed = 0;
    for (const auto& test : check::Cases()) {
        if (only && std::string(test.name).find(only) == std::string::npos) continue;
        check::failures_in_case = 0;
        std::printf("[ RUN  ] %s\n", test.name);
        std::fflush(stdout);
        try {
            test.body();
        } catch (const std::exception& error) {
            check::Fail(__FILE__, __LINE__, std::string("unexpected exception: ") + error.what());
        } catch (...) {
            check::Fail(__FILE__, __LINE__, "unexpected exception of unknown type");
        }
        if (check::failures_in_case == 0) {
            ++passed;
        } else {
            ++failed;
            std::printf("[ FAIL ] %s\n", test.name);
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
