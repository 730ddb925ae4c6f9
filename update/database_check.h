// A downloaded database package is tried before it replaces the working one: unpacked into a
// private scratch folder and every file decoded as the program reads it.
#pragma once

#include <string>

namespace update {

// Empty when the package unpacks and every line of every file decodes; otherwise what is wrong
// with it first (code page 936).
std::string DatabasePackageFault(const std::string& package_path);

}  // namespace update
