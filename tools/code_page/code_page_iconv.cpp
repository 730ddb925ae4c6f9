#include <iconv.h>

#include <cerrno>

#include "code_page_platform.h"

namespace {

// One iconv conversion descriptor, closed at scope exit.
class IconvConverter {
public:
    IconvConverter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
    ~IconvConverter() {
        if (IsOpen()) iconv_close(descriptor_);
    }
    IconvConverter(const IconvConverter&) = delete;
    IconvConverter& operator=(const IconvConverter&) = delete;

    bool IsOpen() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

    // False on any character the target lacks and on malformed input.
    bool Convert(const std::string& in, std::string& out) {
        out.clear();
        if (!IsOpen()) return false;
        char* in_at = const_cast<char*>(in.data());
        std::size_t in_left = in.size();
        char buffer[1024];
        while (in_left > 0) {
            char* out_at = buffer;
            std::size_t out_left = sizeof buffer;
            const std::size_t result = iconv(descriptor_, &in_at, &in_left, &out_at, &out_left);
            out.append(buffer, static_cast<std::size_t>(out_at - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
            // glibc counts characters it converted loosely; an exact conversion has none.
            if (result != static_cast<std::size_t>(-1) && result != 0) return false;
        }
        return true;
    }

private:
    iconv_t descriptor_;
};

}  // namespace

namespace code_page_platform {

bool ConvertUtf8ToCp936(const std::string& utf8, std::string& cp936) {
    IconvConverter converter("CP936", "UTF-8");
    return converter.Convert(utf8, cp936);
}

bool ConvertCp936ToUtf8(const std::string& cp936, std::string& utf8) {
    IconvConverter converter("UTF-8", "CP936");
    return converter.Convert(cp936, utf8);
}

}  // namespace code_page_platform
