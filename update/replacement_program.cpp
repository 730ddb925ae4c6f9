#include "replacement_program.h"

#include <lzexpand.h>
#include <shellapi.h>

#include <stdexcept>

#include "folder_lookup_win.h"
#include "win32/handles.h"

namespace update {

namespace {

const char kCompressedName[] = "qvsetup.ex_";

std::string Failure(const std::string& what) { return what + " (error " + std::to_string(GetLastError()) + ")"; }

// An LZ32 file handle, closed with LZClose.
class LzFile {
public:
    LzFile(const std::string& path, WORD style) : handle_(Open(path, style)) {}
    ~LzFile() {
        if (handle_ >= 0) LZClose(handle_);
    }
    LzFile(const LzFile&) = delete;
    LzFile& operator=(const LzFile&) = delete;
    INT Get() const { return handle_; }
    bool IsOpen() const { return handle_ >= 0; }

private:
    static INT Open(const std::string& path, WORD style) {
        OFSTRUCT info = {};
        std::string name = path;
        return LZOpenFileA(&name[0], &info, style);
    }
    INT handle_;
};

}  // namespace

std::string UnpackReplacementProgram(HMODULE module, const std::string& temp_folder) {
    HRSRC resource = FindResourceA(module, "UPD", MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    if (!bytes || size == 0) throw std::runtime_error(Failure("the replacement program is not in this executable"));

    const std::string compressed = temp_folder + kCompressedName;
    {
        KernelHandle file(CreateFileA(compressed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file.IsOpen() || !WriteFile(file.Get(), bytes, size, &written, nullptr) || written != size)
            throw std::runtime_error(Failure("cannot write " + compressed));
    }
    std::string expanded;
    {
        LzFile source(compressed, OF_READ);
        char name[MAX_PATH] = {};
        std::string path = compressed;
        if (!source.IsOpen() || GetExpandedNameA(&path[0], name) != 1) {
            DeleteFileA(compressed.c_str());
            throw std::runtime_error("cannot read the compressed replacement program " + compressed);
        }
        expanded = name;
        LzFile target(expanded, OF_CREATE);
        const LONG copied = target.IsOpen() ? LZCopy(source.Get(), target.Get()) : -1;
        if (copied < 0) {
            DeleteFileA(compressed.c_str());
            throw std::runtime_error("cannot expand the replacement program into " + expanded +
                                     " (LZ error " + std::to_string(copied) + ")");
        }
    }
    DeleteFileA(compressed.c_str());
    return expanded;
}

std::string RestartSettingsPath() {
    const std::string documents = DocumentsFolder();
    return documents.empty() ? "" : documents + "QVUPDATE.INI";
}

void WriteRestartSettings(const std::string& log_file_name) {
    const std::string path = RestartSettingsPath();
    if (path.empty() || !WritePrivateProfileStringA("CONFIG", "LOGFILENAME", log_file_name.c_str(), path.c_str()))
        throw std::runtime_error(Failure("cannot write the restart settings " + path));
}

bool StartReplacementProgram(const std::string& program_path, const std::string& parameters) {
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", program_path.c_str(), parameters.c_str(), nullptr, SW_SHOW));
    return result > 32;
}

}  // namespace update
