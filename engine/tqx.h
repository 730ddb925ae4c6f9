// TQX: the one engine object through which a front end drives the signature database, the
// analysis and the clean-up. It holds the selection, the catalogue caches, the work lists and
// the callback slots through which it reports.
#pragma once

#include <array>
#include <atomic>
#include <string>

#include "removal.h"
#include "safety_guard.h"
#include "splitters.h"

// A callback slot: a plain function that receives one ANSI text, valid only during the call.
using TQXCallback = int (*)(const char* text);

class TQX {
public:
    // Slots 1 to 10, set by the owner once after Initialize.
    TQXCallback OnSoftwareItem = nullptr;   // one catalogue line
    TQXCallback OnInstalledPath = nullptr;  // one proposed install folder
    TQXCallback OnProcessRun = nullptr;     // one running process name
    TQXCallback OnCoreFile = nullptr;       // one existing core file
    TQXCallback OnRelatedDir = nullptr;     // one related folder
    TQXCallback OnAXCLSID = nullptr;        // one COM/ActiveX registry entry
    TQXCallback OnSysFile = nullptr;        // one existing driver file
    TQXCallback OnNewReg = nullptr;         // one existing registry entry
    TQXCallback OnShellLink = nullptr;      // one matching shortcut
    TQXCallback OnCleanInfo = nullptr;      // one line of the clean-up report

    // Set by the workers while they run; read by the window.
    std::atomic<bool> Analyzing{false};
    std::atomic<bool> Uninstalling{false};

    std::string SoftwareType;     // "MW", "SW" or "NM"
    std::string SoftwareSubType;  // "All" or a sub-type name
    std::string SoftwareOS;       // "All", "|5.1|" or "|6.1|"
    int SelectedIndex = -1;       // row in the catalogue cache of SoftwareType; -1 when none

    std::string AppDir;       // the executable's folder, ending in a backslash
    std::string WorkDir;      // temporary folder + "SID_UP", no trailing backslash
    std::string PackageFile;  // AppDir + "REZ.hdb3"

    // Catalogue caches, one per software type.
    StringList MWSoftwareList, SWSoftwareList, NMSoftwareList;
    // Work lists: filled by analysis and by the window, read by the clean-up.
    StringList DirList, NewRegList, AXCLSIDList, CoreFileList, ProcessRunList, SysFileList, ShellLinkList;
    // Scratch lists that pass results between analysis steps.
    StringList DirUpperList, ProcessUpperList, CLSIDList;

    // What the safety rules allow on this machine for the selected program; read afresh by
    // PrepareSafety before each proposal, analysis and clean-up run.
    SafetyGuard Safety;
    // The outcome of the last clean-up run: items gone, and items still there (failed, refused
    // or skipped because the analysis marked them).
    struct CleanupTally {
        int removed = 0;
        int not_removed = 0;
    } Tally;

    TQX(const std::string& app_dir, const std::string& temp_dir);
    TQX(const TQX&) = delete;
    TQX& operator=(const TQX&) = delete;

    // Empties the lists and the slots.
    void Initialize();
    // Unpacks the package into the working folder; false when there is no package.
    // Errors of a damaged package pass to the caller.
    bool UnpackDatabase();
    // Empties the catalogue cache of the type; any other text changes nothing.
    void ClearSoftwareList(const std::string& type);
    // The catalogue cache of the type, or null for any other text.
    StringList* SoftwareListOf(const std::string& type);
    // Deletes the working folder with everything in it and frees the lists. The owner calls it
    // only when no worker runs.
    void Finalize();

    // Reads the safety rules' picture of the machine for the program at row of the type's
    // catalogue (its identification records tell its own registrations from other programs').
    void PrepareSafety(int row, const std::string& type);
    // The guard, read for the selected program first when no run has read it yet.
    const SafetyGuard& Guard();

    // Catalogue: emits the lines of the type's cache through OnSoftwareItem, filling the cache
    // first when it is empty. False for another type, an unset slot or a missing catalogue.
    bool ListSoftware(const std::string& type, const std::string& sub_type, const std::string& os);
    // Emits through OnInstalledPath the folders in which the program at row is installed.
    void ListInstallPaths(int row, const std::string& type, bool use_64bit_view);

    // The seven analysis steps, in the order the analysis worker runs them.
    void AnalyzeProcessRun(int row, const std::string& type);
    void AnalyzeCoreFile(int row, const std::string& type);
    void AnalyzeRelatedDir(int row, const std::string& type);
    void AnalyzeSysFile(int row, const std::string& type);
    void AnalyzeAXCLSID(int row, const std::string& type, bool use_64bit_view);
    void AnalyzeNewReg(int row, const std::string& type, bool use_64bit_view);
    void AnalyzeShellLink();  // on the thread that owns COM

    // The clean-up steps: each removes what its work list names through the safety guard and
    // reports every item through OnCleanInfo, saying plainly when an item could not be removed
    // or was refused. CleanSysFile removes no driver file (one may still be loaded) and says so.
    void CleanProcessRun();
    void CleanSysFile();
    void CleanCoreFile();
    void CleanAXCLSID(bool use_64bit_view);
    void CleanNewReg(bool use_64bit_view);
    void CleanRelatedDir();
    void CleanShellLink();

private:
    std::array<StringList*, 13> AllLists();
    // The program key of the catalogue line at row of the type's cache, when the step's slot is
    // set; false otherwise.
    bool ProgramKeyAt(int row, const std::string& type, TQXCallback slot, std::string& key);
    // The program's records of one category (empty without a file for it).
    StringList ReadRecords(const std::string& key, const std::string& type, const char* name_template);
    // One log line for the outcome of removing item, counted in Tally.
    void ReportClean(const char* done_prefix, const char* failed_prefix, const RemovalOutcome& outcome,
                     const std::string& item);
    // A marked item (refused by the analysis) is logged as skipped and counted; true when it was.
    bool SkipMarked(const std::string& item);
};
