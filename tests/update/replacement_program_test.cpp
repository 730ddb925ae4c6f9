// The client's side of the restart under Wine: this test program carries the same resource UPD
// as Kestrune.exe, which the system's own LZ32 expands to the qvsetup.exe of this build.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "check.h"
#include "fixtures.h"
#include "replacement_fixture.h"
#include "replacement_program.h"
#include "scratch_folder.h"

namespace {

std::string ResourceBytes(const char* name) {
    HRSRC resource = FindResourceA(nullptr, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(nullptr, resource)) : std::string();
}

std::string LittleEndian32(size_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(the_embedded_program_expands_with_lz32_to_this_builds_qvsetup_exe) {
    const std::string built = ReadFile(ThisProgramFolder() + "qvsetup.exe");
    CHECK(built.size() > 1000);
    const std::string compressed = ResourceBytes("UPD");
    CHECK_EQ(compressed.substr(0, 14), std::string("SZDD\x88\xF0\x27\x33" "Ae") + LittleEndian32(built.size()));

    ScratchFolder temp("C:\\", "kestrune unpack");  // a blank in the folder
    // Whatever lies there is replaced: an older qvsetup.exe, a stale compressed copy.
    WriteFile(temp / "qvsetup.exe", "an older qvsetup.exe");
    WriteFile(temp / "qvsetup.ex_", "a stale compressed copy");
    const std::string program = update::UnpackReplacementProgram(GetModuleHandleA(nullptr), temp.Path() + "\\");
    CHECK_EQ(program, temp / "qvsetup.exe");
    CHECK(ReadFile(program) == built);
    CHECK(!FileExists(temp / "qvsetup.ex_"));
}

TEST(unpacking_that_cannot_be_done_says_what_failed) {
    const struct {
        const char* name;
        HMODULE module;
        std::string folder;
        const char* reason;
    } rows[] = {
        {"a module without the resource", GetModuleHandleA("kernel32.dll"), "C:\\", "is not in this executable"},
        {"a folder that does not exist", GetModuleHandleA(nullptr), "C:\\kestrune no such folder\\",
         "cannot write C:\\kestrune no such folder\\qvsetup.ex_"},
    };
    for (const auto& row : rows) {
        CONTEXT(row.name);
        try {
            update::UnpackReplacementProgram(row.module, row.folder);
            CHECK(!"no error");
        } catch (const std::runtime_error& error) {
            CHECK(Contains(error.what(), row.reason));
        }
    }
}

TEST(the_restart_settings_set_the_log_file_name_and_keep_the_rest_of_the_file) {
    const RestartSettingsKept settings;
    const std::string path = settings.Path();
    CHECK(Contains(path, "\\QVUPDATE.INI"));
    WritePrivateProfileStringA("CONFIG", "OTHER", "kept", path.c_str());
    WritePrivateProfileStringA("CONFIG", "LOGFILENAME", "old.LOG", path.c_str());
    WritePrivateProfileStringA("MORE", "KEY", "also kept", path.c_str());
    update::WriteRestartSettings("QV_update.LOG");
    const auto value = [&](const char* section, const char* key) {
        char text[64] = {};
        GetPrivateProfileStringA(section, key, "", text, sizeof text, path.c_str());
        return std::string(text);
    };
    CHECK_EQ(value("CONFIG", "LOGFILENAME"), "QV_update.LOG");
    CHECK_EQ(value("CONFIG", "OTHER"), "kept");
    CHECK_EQ(value("MORE", "KEY"), "also kept");
}
