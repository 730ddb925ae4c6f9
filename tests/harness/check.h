// A small test harness: TEST registers a case, CHECK* record failures and go on,
// CONTEXT names the table row being checked. The program prints "N passed, N failed".
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace check {

void Register(const char* name, void (*body)());
void Fail(const char* file, int line, const std::string& what);

// Bytes shown with non-printable ones escaped, so code page 936 text and binary data stay readable.
std::string Quote(const std::string& bytes);

template <typename T>
std::string Show(const T& value) {
    if constexpr (std::is_convertible_v<T, std::string>) {
        return Quote(std::string(value));
    } else if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_enum_v<T>) {
        return std::to_string(static_cast<long long>(value));
    } else if constexpr (std::is_arithmetic_v<T>) {
        return std::to_string(value);
    } else {
        std::string text = "{";
        for (const auto& item : value) text += (text.size() > 1 ? ", " : "") + Show(item);
        return text + "}";
    }
}

// Names the current row of a table of cases in every failure reported while it lives.
class Context {
public:
    explicit Context(std::string text);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

struct Registrar {
    Registrar(const char* name, void (*body)()) { Register(name, body); }
};

}  // namespace check

#define TEST(name)                                                 \
    static void name();                                            \
    static ::check::Registrar name##_registrar(#name, name);       \
    static void name()

#define CHECK(cond)                                                         \
    do {                                                                    \
        if (!(cond)) ::check::Fail(__FILE__, __LINE__, "CHECK(" #cond ")"); \
    } while (0)

#define CHECK_EQ(actual, expected)                                                        \
    do {                                                                                  \
        const auto& check_actual_ = (actual);                                             \
        const auto& check_expected_ = (expected);                                         \
        if (!(check_actual_ == check_expected_))                                          \
            ::check::Fail(__FILE__, __LINE__,                                             \
                          #actual " == " #expected "\n      actual:   " +                 \
                              ::check::Show(check_actual_) +                              \
                              "\n      expected: " + ::check::Show(check_expected_));     \
    } while (0)

// Checks that expr throws ExceptionType whose what() equals message (nullptr: any message).
#define CHECK_THROWS(ExceptionType, expr, message)                                          \
    do {                                                                                    \
        const char* check_message_ = (message);                                             \
        try {                                                                               \
            (void)(expr);                                                                   \
            ::check::Fail(__FILE__, __LINE__, #expr " did not throw " #ExceptionType);      \
        } catch (const ExceptionType& error) {                                              \
            if (check_message_ && std::string(error.what()) != check_message_)              \
                ::check::Fail(__FILE__, __LINE__,                                           \
                              #expr " threw " + ::check::Quote(error.what()) +              \
                                  ", expected " + ::check::Quote(check_message_));          \
        }                                                                                   \
    } while (0)

// Two levels, so that __LINE__ is expanded before it is pasted: each CONTEXT has a name of its own.
#define CHECK_PASTE_(a, b) a##b
#define CHECK_PASTE(a, b) CHECK_PASTE_(a, b)
#define CONTEXT(text) ::check::Context CHECK_PASTE(check_context_, __LINE__)(text)
