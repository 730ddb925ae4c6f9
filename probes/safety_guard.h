// The one gate of every destructive step and every proposal: before a file, folder, registry key
// or value is deleted, a process ended or a folder proposed as a program's install folder, the
// guard is asked, at the last moment, whether the item may go. It refuses what would harm Windows,
// the users' files or another installed program, whatever a signature or the registry says, and
// gives the reason in words the user reads.
#pragma once

#include <string>
#include <vector>

#include "program_registrations.h"
#include "splitters.h"

struct SafetyVerdict {
    bool allowed = true;
    std::string reason;  // why not, when not allowed

    static SafetyVerdict Allow() { return {}; }
    static SafetyVerdict Refuse(const std::string& why) { return {false, why}; }
};

class SafetyGuard {
public:
    // Reads the machine afresh: its protected folders and the programs installed on it. The
    // registrations whose display name the name text (field 1) of one of the program's
    // identification records contains are the program's own; every other one is another program's.
    void Refresh(const StringList& identification_records);

    // Refresh has read the machine; until then every check refuses.
    bool IsReady() const { return refreshed_; }

    // A path in either spelling (see AccessPathOf) is judged by the machine's name for it, so that
    // Sysnative\drivers is the protected System32\drivers; the file itself is read where this
    // process reaches it.
    SafetyVerdict CheckFolder(const std::string& path) const;
    SafetyVerdict CheckFile(const std::string& path) const;
    // A key (root "HKLM", "HKCU", "HKU" or "HKCR"); values may always go, but for the shared-DLL
    // counts, which the registry probes keep themselves.
    SafetyVerdict CheckRegistryKey(const std::string& root_text, const std::string& key_path) const;
    // A running process by its image name and, when known, the full path of its image.
    SafetyVerdict CheckProcess(const std::string& name, const std::string& image_path) const;

    // The text a refused item is reported with: "<reason> item". The clean-up skips such items.
    static std::string Marked(const SafetyVerdict& verdict, const std::string& item);
    static bool IsMarked(const std::string& text);
    // The item of a marked text (the text itself when it is not marked), for previews.
    static std::string Unmarked(const std::string& text);

private:
    SafetyVerdict CheckLocation(const std::string& canonical) const;
    SafetyVerdict CheckOtherPrograms(const std::string& canonical) const;
    // A file of Windows' own or of another program.
    SafetyVerdict CheckOwnership(const std::string& canonical, const std::string& path) const;

    bool refreshed_ = false;
    StringList protected_folders_;
    StringList system_file_folders_;
    std::string windows_folder_;
    std::vector<ProgramRegistration> other_programs_;
};
