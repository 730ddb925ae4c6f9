// An uninstall registration of a program in HKLM, "Uninstall\<name>-<pid>", removed when the
// fixture goes out of scope.
#pragma once

#include <string>

class UninstallRegistration {
public:
    UninstallRegistration(const std::string& name, const std::string& display_name);
    ~UninstallRegistration();
    UninstallRegistration(const UninstallRegistration&) = delete;
    UninstallRegistration& operator=(const UninstallRegistration&) = delete;

    // Sets a string value of the registration; the test fails when it cannot.
    void Set(const std::string& value_name, const std::string& text) const;

private:
    std::string path_;
};
