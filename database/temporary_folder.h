// A private folder in the system's temporary folder, removed with everything in it at scope exit.
#pragma once

#include <string>

class TemporaryFolder {
public:
    // Raises EFileCreateError when the folder cannot be made.
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};
