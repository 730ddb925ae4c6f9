#include "whole_analysis_setup.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "file_system.h"
#include "shortcut_writer.h"
#include "whole_analysis_programs.h"
#include "win32/handles.h"

namespace bench_world {

const char kBenchFolder[] = "C:\\KestruneBench";
const char kPackage[] = "C:\\KestruneBench\\REZ.hdb3";

namespace {

const char kMarker[] = "C:\\KestruneBench\\setup-complete.txt";
const char kSignatures[] = "C:\\KestruneBench\\signatures";
const char kRegFile[] = "C:\\KestruneBench\\machine.reg";
const char kProgramFiles[] = "C:\\Program Files";
constexpr long kProgramFilesFolders = 50000;

// Names of the folders a program keeps below its own: siblings take consecutive entries.
const char* const kFolderNames[] = {"bin",    "lib",       "plugins", "resources", "locales", "data",    "skins",
                                    "help",   "docs",      "x64",     "platforms", "imageformats", "translations",
                                    "themes", "fonts",     "cache",   "config",    "templates", "samples", "icons",
                                    "sounds", "updates",   "tools",   "modules",   "styles",  "scripts", "extensions"};
constexpr int kFolderNameCount = sizeof kFolderNames / sizeof kFolderNames[0];

struct Counts {
    long program_files = 0, program_files_x86 = 0, program_data = 0, profile = 0, files = 0;
    long* area = nullptr;  // the count the folders being made go to
};

class Stopwatch {
public:
    Stopwatch() { start_ = GetTickCount(); }
    double Seconds() const { return (GetTickCount() - start_) / 1000.0; }

private:
    DWORD start_;
};

bool MakeFolder(const std::string& path, Counts& counts) {
    if (!CreateDirectories(path)) {
        std::fprintf(stderr, "cannot create the folder %s (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    ++*counts.area;
    return true;
}

bool MakeFile(const std::string& path, Counts& counts, const std::string& contents = "") {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.IsOpen() ||
        (!contents.empty() && !WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr))) {
        std::fprintf(stderr, "cannot write %s (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    ++counts.files;
    return true;
}

// A program's folder tree below folder, the way installers lay them out: a few folders at the
// top, fewer deeper down, some files in the leaves. About 32 folders on average.
bool MakeTree(const std::string& folder, int depth, std::mt19937& random, Counts& counts) {
    static const int kMaxChildren[] = {5, 5, 3, 1};
    static const int kMinChildren[] = {2, 0, 0, 0};
    if (depth >= 4) return true;
    const int children = std::uniform_int_distribution<int>(kMinChildren[depth], kMaxChildren[depth])(random);
    if (children == 0) return random() % 3 != 0 || MakeFile(folder + "\\data.bin", counts);
    const int first = static_cast<int>(random() % kFolderNameCount);
    for (int i = 0; i < children; ++i) {
        const std::string child = folder + "\\" + kFolderNames[(first + i) % kFolderNameCount];
        if (!MakeFolder(child, counts) || !MakeTree(child, depth + 1, random, counts)) return false;
    }
    return true;
}

std::string EnvironmentFolder(const char* name) {
    char value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

std::string ShellFolder(int csidl) {
    char folder[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)) ? folder : "";
}

std::string OwnExe() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Every registered program's folders and files, then the chosen program's extra traces.
bool MakeProgramFolders(Counts& counts) {
    const std::string app_data = EnvironmentFolder("APPDATA"), local_app_data = EnvironmentFolder("LOCALAPPDATA");
    for (int number = 0; number < kProgramCount; ++number) {
        const Program program = ProgramAt(number);
        if (!program.registered) continue;
        std::mt19937 random(static_cast<unsigned>(number));
        // Program Files gets the programs until it holds its share; the rest go to (x86).
        Placement placement = program.placement;
        if (number != kChosenProgram && counts.program_files >= kProgramFilesFolders) placement = Placement::kProgramFilesX86;
        Program placed = program;
        placed.placement = placement;
        const std::string folder = placed.InstallFolder();
        counts.area = placement == Placement::kProgramFiles ? &counts.program_files : &counts.program_files_x86;
        if (!DirectoryExists(folder.substr(0, folder.rfind('\\'))) && !MakeFolder(folder.substr(0, folder.rfind('\\')), counts))
            return false;
        if (!MakeFolder(folder, counts) || !MakeTree(folder, 0, random, counts)) return false;
        if (number == kChosenProgram) continue;  // its files are made from its own copy below
        for (const std::string& name : {program.exe, std::string("uninst.exe"), std::string("readme.txt")})
            if (!MakeFile(folder + "\\" + name, counts)) return false;
        for (const std::string& module : program.modules)
            if (!MakeFile(folder + "\\" + module, counts)) return false;
        if (number % 2 == 0) {
            counts.area = &counts.program_data;
            const std::string data = "C:\\ProgramData\\" + program.vendor + "\\" + program.product;
            if (!MakeFolder(data, counts) || !MakeFolder(data + "\\cache", counts) || !MakeFolder(data + "\\logs", counts) ||
                !MakeFile(data + "\\cache.dat", counts))
                return false;
        }
        if (number % 3 == 0) {
            counts.area = &counts.profile;
            const std::string roaming = app_data + "\\" + program.vendor + "\\" + program.product;
            const std::string local = local_app_data + "\\" + program.vendor + "\\" + program.product;
            if (!MakeFolder(roaming, counts) || !MakeFile(roaming + "\\settings.ini", counts) || !MakeFolder(local, counts) ||
                !MakeFolder(local + "\\Cache", counts) || !MakeFolder(local + "\\Logs", counts))
                return false;
        }
    }
    return true;
}

// The chosen program's own files: its processes (copies of this program, which idles when asked),
// core files and modules in both Program Files folders, its data and settings, a helper in a
// folder of its own that only the process name finds, and its driver file.
bool MakeChosenProgramFiles(Counts& counts) {
    const Program chosen = ProgramAt(kChosenProgram);
    const std::string folder = chosen.InstallFolder();
    const std::string folder_x86 = "C:\\Program Files (x86)\\" + chosen.vendor + "\\" + chosen.product;
    const std::string helper_folder = "C:\\Program Files\\Common Files\\QMS Runtime";
    counts.area = &counts.program_files;
    if (!MakeFolder(helper_folder, counts)) return false;
    counts.area = &counts.program_files_x86;
    if (!MakeFolder(folder_x86, counts)) return false;
    if (!CopyFileA(OwnExe().c_str(), (folder + "\\" + chosen.exe).c_str(), FALSE) ||
        !CopyFileA(OwnExe().c_str(), (helper_folder + "\\" + chosen.helper_exe).c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy the chosen program's processes (error %lu)\n", GetLastError());
        return false;
    }
    counts.files += 2;
    for (const std::string& module : chosen.modules)
        if (!MakeFile(folder + "\\" + module, counts) || !MakeFile(folder_x86 + "\\" + module, counts)) return false;
    const std::string data = "C:\\ProgramData\\" + chosen.vendor + "\\" + chosen.product;
    const std::string settings = EnvironmentFolder("APPDATA") + "\\" + chosen.vendor + "\\" + chosen.product;
    counts.area = &counts.program_data;
    if (!MakeFolder(data, counts) || !MakeFile(data + "\\cache.dat", counts)) return false;
    counts.area = &counts.profile;
    return MakeFolder(settings, counts) && MakeFile(settings + "\\settings.ini", counts) &&
           MakeFile(ShellFolder(CSIDL_SYSTEM) + "\\drivers\\" + chosen.driver, counts) &&
           MakeFile(folder + "\\uninst.exe", counts);
}

// Tops Program Files up to its share with shared-component trees, should the programs' trees
// have come out small.
bool TopUpProgramFiles(Counts& counts) {
    counts.area = &counts.program_files;
    for (int index = 0; counts.program_files < kProgramFilesFolders; ++index) {
        std::mt19937 random(static_cast<unsigned>(100000 + index));
        const std::string folder = "C:\\Program Files\\Common Files\\Shared Component " + std::to_string(index);
        if (!MakeFolder(folder, counts) || !MakeTree(folder, 0, random, counts)) return false;
    }
    return true;
}

// ---- the registry, as one .reg file ----

std::string RegString(const std::string& text) {
    std::string escaped = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    return escaped + "\"";
}

class RegFile {
public:
    RegFile() : text_("REGEDIT4\r\n") {}
    void Key(const std::string& path) { text_ += "\r\n[" + path + "]\r\n"; }
    void Value(const std::string& name, const std::string& data) {
        text_ += (name.empty() ? std::string("@") : RegString(name)) + "=" + RegString(data) + "\r\n";
    }
    void Dword(const std::string& name, unsigned value) {
        char data[16];
        std::snprintf(data, sizeof data, "%08x", value);
        text_ += RegString(name) + "=dword:" + data + "\r\n";
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

const char kHklmSoftware[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
const char kHklmSoftware32[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\";
const char kHkcuSoftware[] = "HKEY_CURRENT_USER\\Software\\";
// Where Windows keeps the 32-bit view's classes: the 64-bit view sees them under Wow6432Node.
const char kClassesRoot64[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\";
const char kClassesRoot32[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\";
const char kUninstall[] = "Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string Guid(unsigned kind, unsigned index) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-4B45-8%03X-%012llX}", 0x5EED0000u + index, kind, index % 0x1000,
                  static_cast<unsigned long long>(index) * 0x9E3779B1ull % 0xFFFFFFFFFFFFull);
    return text;
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

void AddUninstallRegistrations(RegFile& reg, const std::string& roaming) {
    for (int number = 0; number < kProgramCount; ++number) {
        const Program program = ProgramAt(number);
        if (!program.registered) continue;
        // The set-up may have moved it to (x86): the registration names where it is.
        std::string folder = "C:\\Program Files\\" + program.vendor + "\\" + program.product;
        const bool in_x86 = !DirectoryExists(folder);
        if (in_x86) folder = "C:\\Program Files (x86)\\" + program.vendor + "\\" + program.product;
        const std::string software = program.user_registration ? kHkcuSoftware : in_x86 ? kHklmSoftware32 : kHklmSoftware;
        reg.Key(software + kUninstall + (number % 3 == 0 ? Guid(0x1A57, static_cast<unsigned>(number)) : program.name));
        reg.Value("DisplayName", program.name);
        reg.Value("DisplayVersion", std::to_string(1 + number % 9) + ".0." + std::to_string(number));
        reg.Value("Publisher", program.vendor + " Software");
        if (number % 4 != 1) reg.Value("InstallLocation", folder);
        reg.Value("UninstallString", "\"" + folder + "\\uninst.exe\"");
        reg.Value("DisplayIcon", folder + "\\" + program.exe + ",0");
        reg.Dword("EstimatedSize", static_cast<unsigned>(1000 + number));
        reg.Key((in_x86 ? kHklmSoftware32 : kHklmSoftware) + program.vendor + "\\" + program.product);
        reg.Value("InstallDir", folder);
        reg.Value("Version", "1.0");
        reg.Key(kHkcuSoftware + program.vendor + "\\" + program.product);
        reg.Value("Language", "zh-CN");
        reg.Value("DataFolder", roaming + "\\" + program.vendor);
        reg.Key(std::string(kHklmSoftware) + "Microsoft\\Windows\\CurrentVersion\\App Paths\\" + program.exe);
        reg.Value("", folder + "\\" + program.exe);
        if (number % 10 == 0) {
            reg.Key(std::string(kHkcuSoftware) + "Microsoft\\Windows\\CurrentVersion\\Run");
            reg.Value(program.name, "\"" + folder + "\\" + program.exe + "\" /background");
        }
    }
}

// One class: its server, and now and then a ProgID, an AppID and a type library.
void AddClass(RegFile& reg, const char* classes, const std::string& clsid, const std::string& name,
              const std::string& server, unsigned index) {
    reg.Key(classes + std::string("CLSID\\") + clsid);
    reg.Value("", name);
    if (index % 10 == 0) reg.Value("AppID", Guid(0xA991, index));
    reg.Key(classes + std::string("CLSID\\") + clsid + (index % 20 == 7 ? "\\LocalServer32" : "\\InprocServer32"));
    reg.Value("", server);
    reg.Value("ThreadingModel", "Apartment");
    if (index % 3 == 0) {
        reg.Key(classes + std::string("CLSID\\") + clsid + "\\ProgID");
        reg.Value("", "Bench.Class" + std::to_string(index) + ".1");
    }
    if (index % 5 == 0) {
        reg.Key(classes + std::string("CLSID\\") + clsid + "\\TypeLib");
        reg.Value("", Guid(0x7B1B, index));
    }
}

// The classes of one view: the programs' modules (one in twelve written in its short 8.3 form),
// programs long gone, Windows' own files and command lines; then interfaces whose proxy is one
// of the classes.
void AddClasses(RegFile& reg, const char* classes, int count, int interfaces, const std::vector<std::string>& servers,
                const std::string& system_folder, unsigned kind) {
    static const char* const kSystemModules[] = {"shell32.dll", "ole32.dll", "oleaut32.dll", "mshtml.dll",
                                                 "urlmon.dll",  "msxml3.dll", "quartz.dll",   "wbemprox.dll"};
    for (int index = 0; index < count; ++index) {
        const unsigned u = static_cast<unsigned>(index);
        const int share = index % 100;
        std::string server;
        if (share < 60 && !servers.empty()) {
            server = servers[u % servers.size()];
            if (index % 12 == 5) server = ShortPath(server);
        } else if (share < 75) {
            server = index % 12 == 5 ? "C:\\PROGRA~1\\GONEVE~" + std::to_string(1 + index % 4) + "\\MODULE~1.DLL"
                                     : "C:\\Program Files\\Gone Vendor " + std::to_string(index % 300) + "\\module" +
                                           std::to_string(index) + ".dll";
        } else if (share < 95) {
            server = system_folder + "\\" + kSystemModules[u % 8];
        } else {
            server = "\"C:\\Program Files\\Gone Vendor " + std::to_string(index % 300) + "\\server.exe\" /automation";
        }
        AddClass(reg, classes, Guid(kind, u), "Bench Class " + std::to_string(index), server, u);
    }
    for (int index = 0; index < interfaces; ++index) {
        const unsigned u = static_cast<unsigned>(index);
        reg.Key(classes + std::string("Interface\\") + Guid(kind + 1, u));
        reg.Value("", "IBench" + std::to_string(index));
        reg.Key(classes + std::string("Interface\\") + Guid(kind + 1, u) + "\\ProxyStubClsid32");
        reg.Value("", Guid(kind, u * 3 % static_cast<unsigned>(count)));
        if (index % 4 == 0) {
            reg.Key(classes + std::string("Interface\\") + Guid(kind + 1, u) + "\\TypeLib");
            reg.Value("", Guid(0x7B1B, u * 5));
        }
    }
}

// The chosen program's classes in both views (one server written short), with an AppID, a type
// library, an interface, an approved shell extension and a browser helper object; and its key in
// the 32-bit view too.
void AddChosenRegistry(RegFile& reg) {
    const Program chosen = ProgramAt(kChosenProgram);
    const std::string folder = chosen.InstallFolder();
    const std::string folder_x86 = "C:\\Program Files (x86)\\" + chosen.vendor + "\\" + chosen.product;
    const unsigned kind = 0xC405;
    const std::string servers64[] = {folder + "\\" + chosen.modules[0], ShortPath(folder + "\\" + chosen.modules[0]),
                                     folder + "\\" + chosen.modules[1]};
    for (unsigned index = 0; index < 3; ++index)
        AddClass(reg, kClassesRoot64, Guid(kind, index), "Quintessa Class " + std::to_string(index), servers64[index],
                 index == 0 ? 0 : 1);
    const std::string servers32[] = {folder_x86 + "\\" + chosen.modules[1], ShortPath(folder_x86 + "\\" + chosen.modules[0])};
    for (unsigned index = 0; index < 2; ++index)
        AddClass(reg, kClassesRoot32, Guid(kind, 10 + index), "Quintessa Class x86 " + std::to_string(index),
                 servers32[index], index == 0 ? 0 : 1);
    reg.Key(std::string(kClassesRoot64) + "AppID\\" + Guid(0xA991, 0));
    reg.Value("", "Quintessa Media Suite");
    reg.Key(std::string(kClassesRoot64) + "TypeLib\\" + Guid(0x7B1B, 0) + "\\1.0\\0\\win64");
    reg.Value("", servers64[0]);
    reg.Key(std::string(kClassesRoot64) + "Interface\\" + Guid(kind + 1, 0) + "\\ProxyStubClsid32");
    reg.Value("", Guid(kind, 0));
    reg.Key(std::string(kHklmSoftware) + "Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved");
    reg.Value(Guid(kind, 0), "Quintessa Shell Extension");
    reg.Key(std::string(kHklmSoftware) + "Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" +
            Guid(kind, 1));
    reg.Key(kHklmSoftware32 + chosen.vendor + "\\" + chosen.product);
    reg.Value("InstallDir", folder_x86);
}

int RunAndWait(const std::string& command_line) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = command_line;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", command_line.c_str(), GetLastError());
        return -1;
    }
    KernelHandle process_handle(process.hProcess), thread_handle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}

bool WriteWholeFile(const std::string& path, const std::string& contents) {
    Counts unused;
    long files = 0;
    unused.area = &files;
    return MakeFile(path, unused, contents);
}

bool ImportRegistry(long& classes) {
    RegFile reg;
    AddUninstallRegistrations(reg, EnvironmentFolder("APPDATA"));
    std::vector<std::string> servers64, servers32;
    for (int number = 0; number < kProgramCount; ++number) {
        const Program program = ProgramAt(number);
        if (!program.registered || number == kChosenProgram) continue;
        for (const std::string& module : program.modules) {
            const std::string tail = "\\" + program.vendor + "\\" + program.product + "\\" + module;
            if (FileExists("C:\\Program Files" + tail)) servers64.push_back("C:\\Program Files" + tail);
            if (FileExists("C:\\Program Files (x86)" + tail)) servers32.push_back("C:\\Program Files (x86)" + tail);
        }
    }
    AddClasses(reg, kClassesRoot64, kClasses64 - 3, kInterfaces64, servers64, ShellFolder(CSIDL_SYSTEM), 0x6464);
    AddClasses(reg, kClassesRoot32, kClasses32 - 2, kInterfaces32, servers32, ShellFolder(CSIDL_SYSTEMX86), 0x3232);
    AddChosenRegistry(reg);
    classes = kClasses64 + kClasses32;
    if (!WriteWholeFile(kRegFile, reg.Text())) return false;
    const int code = RunAndWait(std::string("regedit.exe /s ") + kRegFile);
    if (code != 0) std::fprintf(stderr, "regedit /s %s ended with %d\n", kRegFile, code);
    // What the analysis reads in the 32-bit view must be there: one of the chosen program's classes.
    HKEY key = nullptr;
    const std::string probe = "SOFTWARE\\Classes\\CLSID\\" + Guid(0xC405, 10);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, probe.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
        std::fprintf(stderr, "the 32-bit view does not show HKLM\\%s after the import\n", probe.c_str());
        return false;
    }
    RegCloseKey(key);
    return code == 0;
}

bool MakeShortcuts(long& count) {
    const std::string programs = ShellFolder(CSIDL_PROGRAMS), common_desktop = ShellFolder(CSIDL_COMMON_DESKTOPDIRECTORY),
                      common_programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
    const auto write = [&count](const std::string& folder, const std::string& name, const std::string& target) {
        CreateDirectories(folder);
        const std::string target_folder = target.substr(0, target.rfind('\\'));
        if (!WriteShortcut(folder + "\\" + name + ".lnk", target, target_folder)) {
            std::fprintf(stderr, "cannot write the shortcut %s\\%s.lnk\n", folder.c_str(), name.c_str());
            return false;
        }
        ++count;
        return true;
    };
    for (int number = 0; number < kProgramCount; ++number) {
        const Program program = ProgramAt(number);
        if (!program.registered || number % 15 != 0 || number == kChosenProgram) continue;
        std::string folder = "C:\\Program Files\\" + program.vendor + "\\" + program.product;
        if (!DirectoryExists(folder)) folder = "C:\\Program Files (x86)\\" + program.vendor + "\\" + program.product;
        if (!write(programs + "\\" + program.vendor, program.name, folder + "\\" + program.exe)) return false;
        if (number % 45 == 0 && !write(common_desktop, program.name, folder + "\\" + program.exe)) return false;
    }
    const Program chosen = ProgramAt(kChosenProgram);
    const std::string target = chosen.InstallFolder() + "\\" + chosen.exe;
    return write(programs + "\\" + chosen.vendor, chosen.name, target) && write(common_desktop, chosen.name, target) &&
           write(common_programs + "\\" + chosen.vendor, "Uninstall", chosen.InstallFolder() + "\\uninst.exe");
}

// The chosen program's driver as a service of the service control manager (never started).
bool MakeDriverService() {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager.IsOpen()) return false;
    const Program chosen = ProgramAt(kChosenProgram);
    const std::string image = "System32\\drivers\\" + chosen.driver;
    ServiceHandle service(CreateServiceA(manager.Get(), "qmsflt", "Quintessa Media Filter", SERVICE_ALL_ACCESS,
                                         SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                         image.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    return service.IsOpen() || GetLastError() == ERROR_SERVICE_EXISTS;
}

bool BuildPackage(const std::string& hdbtool) {
    DeleteFolderTree(kSignatures);
    if (!CreateDirectories(std::string(kSignatures) + "\\SW")) return false;
    for (int number = 0; number < kProgramCount; ++number) {
        char name[32];
        std::snprintf(name, sizeof name, "\\SW\\b%05d.sig", number);
        if (!WriteWholeFile(kSignatures + std::string(name), ProgramAt(number).SignatureSource())) return false;
    }
    const int code = RunAndWait("\"" + hdbtool + "\" build " + kSignatures + " " + kPackage);
    if (code != 0) std::fprintf(stderr, "hdbtool build ended with %d\n", code);
    return code == 0 && FileExists(kPackage);
}

}  // namespace

bool MachineIsSetUp(std::string& summary) { return ReadWholeFile(kMarker, summary); }

std::string ChosenProcessPath() {
    const Program chosen = ProgramAt(kChosenProgram);
    return chosen.InstallFolder() + "\\" + chosen.exe;
}

bool SetUpMachine(const std::string& hdbtool, std::string& summary) {
    DeleteFileA(kMarker);
    CreateDirectories(kBenchFolder);
    Counts counts;
    long classes = 0, shortcuts = 0;
    const Stopwatch whole;
    const auto phase = [](const char* name, const std::function<bool()>& work) {
        std::printf("  %-44s", name);
        std::fflush(stdout);
        const Stopwatch watch;
        const bool done = work();
        std::printf("%s in %.1f s\n", done ? "done" : "FAILED", watch.Seconds());
        return done;
    };
    std::printf("setting up the machine (once):\n");
    if (!phase("folders and files", [&] {
            return MakeProgramFolders(counts) && MakeChosenProgramFiles(counts) && TopUpProgramFiles(counts);
        }) ||
        !phase("registry (regedit /s of one .reg file)", [&] { return ImportRegistry(classes); }) ||
        !phase("shortcuts", [&] { return MakeShortcuts(shortcuts); }) ||
        !phase("driver service", [&] { return MakeDriverService(); }) ||
        !phase("signature sources and hdbtool build", [&] { return BuildPackage(hdbtool); }))
        return false;
    char text[640];
    std::snprintf(text, sizeof text,
                  "folders: %ld in Program Files, %ld in Program Files (x86), %ld in ProgramData, %ld in the profile; "
                  "%ld files\r\n"
                  "registry: %d uninstall registrations (HKLM both views and HKCU), %ld COM classes (%d 64-bit, %d "
                  "32-bit), %d interfaces\r\n"
                  "shortcuts: %ld; signature package: %d programs\r\n"
                  "set up in %.0f s\r\n",
                  counts.program_files, counts.program_files_x86, counts.program_data, counts.profile, counts.files,
                  kRegisteredCount, classes, kClasses64, kClasses32, kInterfaces64 + kInterfaces32 + 1, shortcuts,
                  kProgramCount, whole.Seconds());
    summary = text;
    return WriteWholeFile(kMarker, summary);
}

}  // namespace bench_world
