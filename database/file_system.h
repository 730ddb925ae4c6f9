// File-system operations of the portable core, on ANSI (code page 936) paths.
// file_system_win.cpp and file_system_posix.cpp implement the parts that differ.
#pragma once

#include <cstdio>
#include <string>

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);
// The last separator of the path, or npos. On Windows the path is code page 936 text: the trail
// byte of a double-byte character (often 0x5C, "\\") is never taken for a separator.
std::size_t LastSeparator(const std::string& path);
bool EndsWithSeparator(const std::string& path);
// The path without the separators it ends with.
std::string WithoutTrailingSeparators(const std::string& path);
std::string IncludeTrailingSeparator(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
// The part after the last separator.
std::string FileNameOf(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateDirectories(const std::string& path);
// Resets the attributes (read-only, hidden, system) and deletes the file; true when no file is
// left at the path (also when there was none).
bool DeleteFileAlways(const std::string& path);
// Deletes every entry of the folder, then the folder. A failing entry does not stop the others;
// the folder stays when something in it could not be deleted. Links and junctions are removed,
// never followed. True when the folder is gone.
bool DeleteFolderTree(const std::string& path);
// Moves from over to, replacing an existing file.
bool ReplaceFileWith(const std::string& from, const std::string& to);

// The whole file, or false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Writes a file so that nobody ever sees it half-made: the bytes go to a neighbouring
// temporary file that Commit moves over the target; without Commit the temporary file is removed.
class AtomicFileWriter {
public:
    // Raises EFileCreateError when the file cannot be created.
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(const void* data, std::size_t length);  // raises EFileCreateError
    void Commit();                                      // raises EFileCreateError

private:
    std::string path_, temporary_path_;
    std::FILE* file_ = nullptr;
};
