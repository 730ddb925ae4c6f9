// The Win32 services and drivers of the machine, as the service control manager knows them (not
// as the registry spells them), the ones that belong to a program, and stopping and deleting a
// service by name. Failures are told in words for the clean-up's report.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ServiceEntry {
    std::string name, display_name;
    std::string image_path;  // as the service control manager reports it (lpBinaryPathName)
    std::string image_file;  // the full Win32 path of the file it runs or loads (ServiceImageFile), as
                             // the machine names it (see AccessPathOf)
    DWORD type = 0;          // SERVICE_WIN32_OWN_PROCESS, SERVICE_KERNEL_DRIVER ...
    DWORD state = 0;         // SERVICE_RUNNING, SERVICE_STOPPED ...
};

// Every Win32 and driver service in every state, in the order the service control manager gives.
// A service whose configuration cannot be read is listed with an empty image path; one deleted
// while the list is made is left out. Empty, with the reason, when the services cannot be
// enumerated.
std::vector<ServiceEntry> ListServices(std::string* failure);

// The services of all whose image file is one of files (the same file: compared in canonical,
// long form, in any letter case) or lies strictly inside one of folders; each once, in the order
// of all. A drive root is no program's folder: it never claims the services below it.
std::vector<ServiceEntry> ServicesOfProgram(const std::vector<ServiceEntry>& all, const std::vector<std::string>& files,
                                            const std::vector<std::string>& folders);

// Stops the service and waits, within timeout_ms, until it reports SERVICE_STOPPED; for a service
// that has its process to itself, also until that process has ended, so that its files can go.
// True when it has stopped, was stopped already, or does not exist (nothing to stop). False with
// the reason when it refuses the request (a driver that cannot be unloaded, for one), when it
// does not stop in time, or when the system fails.
bool StopServiceNamed(const std::string& name, DWORD timeout_ms, std::string* failure);

// Deletes the service through the service control manager. True when it is gone, marked for
// deletion (the system removes it once it has stopped and its last handle is closed), or did not
// exist; false with the reason otherwise.
bool DeleteServiceNamed(const std::string& name, std::string* failure);
