// The one-way conversions each platform provides (iconv on Linux, the code page functions on
// Windows). They may map loosely; code_page.cpp makes every conversion exact by converting back.
#pragma once

#include <string>

namespace code_page_platform {

// Both return false when the input holds something the target cannot express.
bool ConvertUtf8ToCp936(const std::string& utf8, std::string& cp936);
bool ConvertCp936ToUtf8(const std::string& cp936, std::string& utf8);

}  // namespace code_page_platform
