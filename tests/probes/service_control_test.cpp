// The service probes against Wine's real service control manager: the test service executable
// installed as "Ferngate" in a scratch program folder on C:, a look-alike neighbour in
// "Ferngate Tools" that must never be taken for it, and a driver entry whose file lies in the
// system's drivers folder. Services are named after this run, and every one is removed again.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "check.h"
#include "file_system.h"
#include "path_identity.h"
#include "process_probes.h"
#include "scratch_folder.h"
#include "service_control.h"
#include "service_image.h"
#include "system_folders.h"
#include "text_rules.h"
#include "win32/handles.h"

namespace {

const std::string kRun = std::to_string(GetCurrentProcessId());

std::string FolderOfThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string text = path;
    return text.substr(0, text.size() - FileNameOf(text).size());
}

bool ServiceExists(const std::string& name) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    ServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
    return service.IsOpen() || GetLastError() != ERROR_SERVICE_DOES_NOT_EXIST;
}

// Waits up to ten seconds for the condition.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (condition()) return true;
        Sleep(100);
    }
    return condition();
}

// A service this test creates. On leaving scope the process of a started one is ended by its
// executable's name and the service deleted, also when a check has failed, and both are awaited
// so that the files can go after it.
class TestService {
public:
    TestService(const std::string& name, const std::string& display_name, DWORD type, const std::string& binary_path)
        : name_(name) {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
        ServiceHandle service(CreateServiceA(manager.Get(), name.c_str(), display_name.c_str(), SERVICE_ALL_ACCESS,
                                             type, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, binary_path.c_str(),
                                             nullptr, nullptr, nullptr, nullptr, nullptr));
        CHECK(service.IsOpen());
    }
    ~TestService() {
        if (!process_name_.empty()) KillProcessByName(process_name_);
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        ServiceHandle service(OpenServiceA(manager.Get(), name_.c_str(), DELETE));
        if (service.IsOpen()) DeleteService(service.Get());
        service.Reset();
        Eventually([&] { return !ServiceExists(name_); });
    }
    TestService(const TestService&) = delete;
    TestService& operator=(const TestService&) = delete;

    const std::string& Name() const { return name_; }

    // Starts the service with its arguments and waits until it runs; executable is the file it
    // runs, whose process is ended at the end.
    void Start(const std::string& executable, std::vector<const char*> arguments = {}) {
        process_name_ = FileNameOf(executable);
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        ServiceHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_START));
        CHECK(StartServiceA(service.Get(), static_cast<DWORD>(arguments.size()), arguments.data()));
        CHECK(Eventually([&] { return State() == SERVICE_RUNNING; }));
    }

    DWORD State() const {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        ServiceHandle service(OpenServiceA(manager.Get(), name_.c_str(), SERVICE_QUERY_STATUS));
        SERVICE_STATUS status = {};
        return QueryServiceStatus(service.Get(), &status) ? status.dwCurrentState : 0;
    }

private:
    std::string name_, process_name_;
};

// A file of the drivers folder the system loads drivers from, deleted at the end. Path() is the
// machine's name for it; a 32-bit test on 64-bit Windows writes it through Sysnative.
class PlantedDriver {
public:
    explicit PlantedDriver(const std::string& name)
        : path_(JoinPath(WindowsFolder(), "System32\\drivers\\" + name)),
          file_(JoinPath(NativeSystemFolder(), "drivers\\" + name)) {
        KernelHandle file(
            CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        CHECK(file.IsOpen());
    }
    ~PlantedDriver() { DeleteFileA(file_.c_str()); }
    PlantedDriver(const PlantedDriver&) = delete;
    PlantedDriver& operator=(const PlantedDriver&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_, file_;
};

// The program folder "Program Files\Ferngate" of a scratch tree on C:, beside its look-alike
// "Program Files\Ferngate Tools", with copies of the test service in them.
class FerngateFolders {
public:
    FerngateFolders() : root_("C:\\", "KestruneServiceTest") {
        root_.MakeFolders({"Program Files\\Ferngate", "Program Files\\Ferngate Tools"});
    }
    std::string Root() const { return root_.Path(); }
    std::string Program() const { return root_ / "Program Files\\Ferngate"; }
    std::string Tools() const { return root_ / "Program Files\\Ferngate Tools"; }

    // A copy of the test service in folder, under name.
    std::string Plant(const std::string& folder, const std::string& name) const {
        const std::string path = JoinPath(folder, name);
        CHECK(CopyFileA((FolderOfThisProgram() + "kestrune_test_service.exe").c_str(), path.c_str(), TRUE));
        return path;
    }

private:
    ScratchFolder root_;
};

// Ferngate installed: its running service (quoted, with arguments), the neighbour's service that
// is never started (unquoted with blanks and arguments) and a driver entry named relative to the
// Windows folder, never started. Declared after the folders, so the services go first.
struct FerngateInstallation {
    FerngateFolders folders;
    std::string service_file = folders.Plant(folders.Program(), "ferngate_svc.exe");
    std::string tools_file = folders.Plant(folders.Tools(), "ferngate_tools.exe");
    PlantedDriver driver{"ferngate_flt_" + kRun + ".sys"};
    std::string service_command = "\"" + service_file + "\" --sync";
    std::string tools_command = tools_file + " -k tools";
    std::string driver_command = "System32\\drivers\\ferngate_flt_" + kRun + ".sys";
    TestService service{"KestruneFerngate-" + kRun, "蕨门同步服务", SERVICE_WIN32_OWN_PROCESS, service_command};
    TestService tools{"KestruneFerngateTools-" + kRun, "蕨门工具服务", SERVICE_WIN32_OWN_PROCESS, tools_command};
    TestService filter{"KestruneFerngateFilter-" + kRun, "蕨门过滤驱动", SERVICE_KERNEL_DRIVER, driver_command};

    FerngateInstallation() { service.Start(service_file); }
};

const ServiceEntry* FindService(const std::vector<ServiceEntry>& services, const std::string& name) {
    for (const ServiceEntry& service : services)
        if (service.name == name) return &service;
    return nullptr;
}

std::vector<std::string> NamesOf(const std::vector<ServiceEntry>& services) {
    std::vector<std::string> names;
    for (const ServiceEntry& service : services) names.push_back(service.name);
    return names;
}

std::vector<ServiceEntry> ListedServices() {
    std::string failure;
    std::vector<ServiceEntry> services = ListServices(&failure);
    CHECK_EQ(failure, "");
    return services;
}

std::string ShortPathOf(const std::string& path) {
    char short_path[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), short_path, MAX_PATH);
    return std::string(short_path, length < MAX_PATH ? length : 0);
}

}  // namespace

TEST(ImagePathsNameTheirFile) {
    const std::string windows = "C:\\windows";
    const struct {
        const char* image_path;
        std::string windows_folder;
        std::string file;
    } rows[] = {
        {"\"C:\\Program Files\\X\\svc.exe\" -arg", windows, "C:\\Program Files\\X\\svc.exe"},
        {"  \"C:\\Program Files\\X\\svc.exe\"  ", windows, "C:\\Program Files\\X\\svc.exe"},
        {"C:\\X\\svc.exe -k y", windows, "C:\\X\\svc.exe"},
        {"C:\\Program Files\\X\\svc.EXE -k y", windows, "C:\\Program Files\\X\\svc.EXE"},
        {"C:\\Program Files\\乗乤\\svc.exe\t/run", windows, "C:\\Program Files\\乗乤\\svc.exe"},
        {"C:\\X\\svc.exe", windows, "C:\\X\\svc.exe"},
        {"C:\\Program Files\\X\\filter.sys", windows, "C:\\Program Files\\X\\filter.sys"},
        {"\\SystemRoot\\System32\\drivers\\x.sys", windows, "C:\\windows\\System32\\drivers\\x.sys"},
        {"\\systemroot\\乗\\x.sys", "D:\\WINNT", "D:\\WINNT\\乗\\x.sys"},
        {"System32\\drivers\\x.sys", windows, "C:\\windows\\System32\\drivers\\x.sys"},
        {"system32\\svchost.exe -k netsvcs", "D:\\WINNT", "D:\\WINNT\\system32\\svchost.exe"},
        {"\\Program Files\\X\\svc.exe -k", "D:\\WINNT", "D:\\Program Files\\X\\svc.exe"},
        {"\\??\\C:\\X\\x.sys", windows, "C:\\X\\x.sys"},
        {"\\??\\UNC\\server\\share\\x.sys", windows, "\\\\server\\share\\x.sys"},
        {"\\\\?\\C:\\X\\svc.exe -k", windows, "C:\\X\\svc.exe"},
        {"\"\\\\?\\C:\\Program Files\\X\\svc.exe\" -k", windows, "C:\\Program Files\\X\\svc.exe"},
        {"\\\\server\\share\\svc.exe", windows, "\\\\server\\share\\svc.exe"},
        {"%SystemRoot%\\System32\\svchost.exe -k netsvcs", windows, "C:\\windows\\System32\\svchost.exe"},
        {"\"%WINDIR%\\Program Files\\x.exe\" -k", "D:\\WINNT", "D:\\WINNT\\Program Files\\x.exe"},
        {"%windir%\\system32\\drivers\\x.sys", windows, "C:\\windows\\system32\\drivers\\x.sys"},
        // Only the Windows folder's variables are known; another stays as written.
        {"%ProgramFiles%\\X\\svc.exe -k", windows, "%ProgramFiles%\\X\\svc.exe"},
        {"", windows, ""},
        {" \t ", windows, ""},
        {"\"\"", windows, ""},
    };
    for (const auto& row : rows) {
        CONTEXT(row.image_path);
        CHECK_EQ(ServiceImageFile(row.image_path, row.windows_folder), row.file);
    }
}

TEST(ListServicesReportsProgramsAndDriversWithTheirFilesAndStates) {
    FerngateInstallation ferngate;
    const std::vector<ServiceEntry> services = ListedServices();
    const struct {
        const TestService& service;
        std::string display_name, image_path, image_file;
        DWORD type, state;
    } rows[] = {
        {ferngate.service, "蕨门同步服务", ferngate.service_command, ferngate.service_file, SERVICE_WIN32_OWN_PROCESS,
         SERVICE_RUNNING},
        {ferngate.tools, "蕨门工具服务", ferngate.tools_command, ferngate.tools_file, SERVICE_WIN32_OWN_PROCESS,
         SERVICE_STOPPED},
        {ferngate.filter, "蕨门过滤驱动", ferngate.driver_command, ferngate.driver.Path(), SERVICE_KERNEL_DRIVER,
         SERVICE_STOPPED},
    };
    for (const auto& row : rows) {
        CONTEXT(row.service.Name());
        const ServiceEntry* listed = FindService(services, row.service.Name());
        CHECK(listed);
        if (!listed) continue;
        CHECK_EQ(listed->display_name, row.display_name);
        CHECK_EQ(listed->image_path, row.image_path);
        CHECK_EQ(CanonicalPath(listed->image_file), CanonicalPath(row.image_file));
        CHECK_EQ(listed->type, row.type);
        CHECK_EQ(listed->state, row.state);
    }
    // The system's own services are there too, each once.
    CHECK(services.size() > 3);
    std::vector<std::string> names = NamesOf(services);
    std::sort(names.begin(), names.end());
    CHECK(std::adjacent_find(names.begin(), names.end()) == names.end());
}

TEST(ServicesOfProgramAreThoseOfItsFilesAndFoldersOnly) {
    FerngateInstallation ferngate;
    const std::vector<ServiceEntry> all = ListedServices();
    const std::string service = ferngate.service.Name(), tools = ferngate.tools.Name(), filter = ferngate.filter.Name();
    const std::string program = ferngate.folders.Program();
    const struct {
        const char* what;
        std::vector<std::string> files, folders, names;
    } rows[] = {
        {"its folder", {}, {program}, {service}},
        {"its folder spelt otherwise", {}, {UpperCased(program) + "\\"}, {service}},
        {"its folder's short form", {}, {ShortPathOf(program)}, {service}},
        {"the look-alike's folder", {}, {ferngate.folders.Tools()}, {tools}},
        {"a folder that only starts the same", {}, {program.substr(0, program.size() - 4)}, {}},
        {"a folder holding both", {}, {ferngate.folders.Root() + "\\Program Files"}, {service, tools}},
        {"the drive root", {}, {"C:\\"}, {}},
        {"its executable", {ferngate.service_file}, {}, {service}},
        {"its executable spelt otherwise",
         {UpperCased(program) + "\\..\\Ferngate\\FERNGATE_SVC.EXE", ShortPathOf(ferngate.service_file)},
         {},
         {service}},
        {"its executable and folder", {ferngate.service_file}, {program, program}, {service}},
        {"the driver file", {UpperCased(ferngate.driver.Path())}, {}, {filter}},
        {"the folder given as a file", {program}, {}, {}},
        {"the driver's folder as a file", {JoinPath(SystemFolder(), "drivers")}, {}, {}},
        {"nothing", {}, {}, {}},
    };
    for (const auto& row : rows) {
        CONTEXT(row.what);
        // Expected in the order of the service control manager's list.
        std::vector<std::string> expected;
        for (const ServiceEntry& listed : all)
            if (std::find(row.names.begin(), row.names.end(), listed.name) != row.names.end())
                expected.push_back(listed.name);
        CHECK_EQ(expected.size(), row.names.size());
        CHECK_EQ(NamesOf(ServicesOfProgram(all, row.files, row.folders)), expected);
    }
}

TEST(StoppedServiceIsDeletedAndReleasesItsExecutable) {
    FerngateInstallation ferngate;
    const std::string name = ferngate.service.Name();
    std::string failure;
    CHECK(StopServiceNamed(name, 30000, &failure));
    CHECK_EQ(failure, "");
    // At once: the process ends only after it has reported "stopped", and while it runs, its
    // executable cannot be deleted.
    CHECK(DeleteFileA(ferngate.service_file.c_str()));
    CHECK_EQ(ferngate.service.State(), static_cast<DWORD>(SERVICE_STOPPED));
    CHECK(StopServiceNamed(name, 30000, &failure));  // stopped already
    CHECK(DeleteServiceNamed(name, &failure));
    CHECK_EQ(failure, "");
    CHECK(!FindService(ListedServices(), name));
}

TEST(DriverEntryIsDeletedWithoutBeingStarted) {
    FerngateInstallation ferngate;
    const std::string name = ferngate.filter.Name();
    std::string failure;
    CHECK(StopServiceNamed(name, 5000, &failure));  // never started: nothing to stop
    CHECK(DeleteServiceNamed(name, &failure));
    CHECK_EQ(failure, "");
    CHECK(!FindService(ListedServices(), name));
}

TEST(StubbornServiceTimesOutAndIsMarkedForDeletion) {
    FerngateFolders folders;
    const std::string file = folders.Plant(folders.Program(), "ferngate_stubborn.exe");
    TestService stubborn("KestruneFerngateStubborn-" + kRun, "蕨门顽固服务", SERVICE_WIN32_OWN_PROCESS, file);
    stubborn.Start(file, {"stubborn"});

    // One stop request only: Wine ends the process of a service that a second request finds
    // still running (Windows does not), so the probe must not ask twice.
    std::string failure;
    const DWORD start = GetTickCount();
    CHECK(!StopServiceNamed(stubborn.Name(), 2000, &failure));
    const DWORD elapsed = GetTickCount() - start;
    CHECK(elapsed >= 2000 && elapsed < 5000);
    CHECK_EQ(failure, "服务 " + stubborn.Name() + " 未能在 2 秒内停止");
    CHECK_EQ(stubborn.State(), static_cast<DWORD>(SERVICE_RUNNING));

    // Marked for deletion while it runs; asking again is no failure either.
    for (int request = 0; request < 2; ++request) {
        CHECK(DeleteServiceNamed(stubborn.Name(), &failure));
        CHECK(IsProcessRunning("ferngate_stubborn.exe"));
    }
    // Once its process has ended, the system removes the service.
    CHECK(KillProcessByName("ferngate_stubborn.exe"));
    CHECK(Eventually([&] { return !ServiceExists(stubborn.Name()); }));
}

TEST(ServiceThatTakesNoStopIsRefusedAtOnce) {
    FerngateFolders folders;
    const std::string file = folders.Plant(folders.Program(), "ferngate_unstoppable.exe");
    TestService unstoppable("KestruneFerngateUnstoppable-" + kRun, "蕨门不停服务", SERVICE_WIN32_OWN_PROCESS, file);
    unstoppable.Start(file, {"unstoppable"});

    std::string failure;
    const DWORD start = GetTickCount();
    CHECK(!StopServiceNamed(unstoppable.Name(), 10000, &failure));
    CHECK(GetTickCount() - start < 2000);
    const std::string refused = "服务 " + unstoppable.Name() + " 拒绝停止：";
    CHECK_EQ(failure.substr(0, refused.size()), refused);
    CHECK(failure.find("(错误 1052)") != std::string::npos);  // ERROR_INVALID_SERVICE_CONTROL
    CHECK_EQ(unstoppable.State(), static_cast<DWORD>(SERVICE_RUNNING));
}

// A service that does not exist has nothing to stop and is as good as deleted.
TEST(AbsentServiceIsStoppedAndDeletedAlready) {
    const std::string name = "KestruneNoSuchService-" + kRun;
    std::string failure;
    CHECK(StopServiceNamed(name, 1000, &failure));
    CHECK(DeleteServiceNamed(name, &failure));
    CHECK_EQ(failure, "");
}
