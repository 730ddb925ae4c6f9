// TQX: the one engine object through which a front end drives the signature database, the
// analysis and the clean-up. It holds the selection, the callback slots through which it
// reports, and three groups of lists that only their owners write: the catalogue caches (the
// catalogue), the clean-up's work lists (FillCleanupLists; DirList also the analysis) and the
// analysis's scratch lists (the step that fills each). Front ends read the lists, never write.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "category_record_reader.h"
#include "cleanup_backup.h"
#include "registry_view.h"
#include "removal.h"
#include "safety_guard.h"
#include "splitters.h"

struct CleanupSelection;

// A callback slot: a plain function that receives one ANSI text, valid only during the call.
using TQXCallback = int (*)(const char* text);

// One cache per software type: the decoded catalogue lines that passed the filters in force when
// it was filled, each a line a front end shows as a row, so that row n of a front end's list is
// line n of the cache and names the program the analysis takes for row n.
struct TQXCatalogueCaches {
    StringList MWSoftwareList, SWSoftwareList, NMSoftwareList;
};

// What the clean-up steps go through. FillCleanupLists replaces them all before a clean-up.
struct TQXWorkLists {
    // During an analysis: the folders AnalyzeRelatedDir reported, each once, which the shortcut
    // step reads. For a clean-up: the folders to delete.
    StringList DirList;
    StringList NewRegList;      // registry items to delete
    StringList AXCLSIDList;     // component registry keys to delete
    StringList CoreFileList;    // core files to delete
    StringList ProcessRunList;  // process names to end
    StringList SysFileList;     // driver files to delete, after their services
    StringList ServiceList;     // services to stop and delete, as the analysis reported them
    StringList ShellLinkList;   // shortcut files to delete
};

// What analysis steps 1, 3 and 5 leave for step 6; each is emptied and filled by its step.
struct TQXAnalysisScratch {
    StringList ProcessUpperList;  // step 1: the process names of the PR records, upper-cased
    StringList DirUpperList;      // step 3: the folders found that the safety rules allow, upper-cased
    StringList CLSIDList;         // step 5: the class identifiers found
    StringList DriverFileList;    // step 4: the driver files found that the safety rules allow
};

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
    TQXCallback OnService = nullptr;        // one service of the program's driver files or folders

    // Set by WorkerLauncher before a worker's thread starts and cleared when its run has ended;
    // read by the front ends.
    std::atomic<bool> Analyzing{false};
    std::atomic<bool> Uninstalling{false};

    std::string SoftwareType;     // "MW", "SW" or "NM"
    std::string SoftwareSubType;  // "All" or a sub-type name
    std::string SoftwareOS;       // "All", "|5.1|" or "|6.1|"
    int SelectedIndex = -1;       // row in the catalogue cache of SoftwareType; -1 when none

    std::string AppDir;       // the executable's folder, ending in a backslash
    std::string WorkDir;      // temporary folder + "SID_UP", no trailing backslash
    std::string PackageFile;  // AppDir + "REZ.hdb3"

    // What the safety rules allow on this machine for the selected program; read afresh by
    // PrepareSafety before each proposal, analysis and clean-up run.
    SafetyGuard Safety;
    // The outcome of the last clean-up run: items gone, items still there (failed, refused or
    // skipped because the analysis marked them), and items that go at the next restart.
    struct CleanupTally {
        int removed = 0;
        int not_removed = 0;
        int scheduled = 0;
    } Tally;
    // Where each clean-up keeps its backup folder (%ProgramData%\Kestrune\Backups unless set).
    std::string BackupRoot;

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
    const StringList* SoftwareListOf(const std::string& type) const;
    const TQXWorkLists& WorkLists() const { return work_lists_; }
    const TQXAnalysisScratch& AnalysisScratch() const { return analysis_scratch_; }
    // Deletes the working folder with everything in it and frees the lists. The owner calls it
    // only when no worker runs.
    void Finalize();

    // A worker's run (an analysis or a clean-up) reads the database through one reader: MAPPED
    // and each category file are decoded at most once between the two calls and dropped after.
    void BeginRecordRun(const std::string& type);
    void EndRecordRun();

    // Reads the safety rules' picture of the machine for the program at row of the type's
    // catalogue (its identification records tell its own registrations from other programs').
    void PrepareSafety(int row, const std::string& type);
    // The guard, read for the selected program first when no run has read it yet.
    const SafetyGuard& Guard();

    // Catalogue: emits the lines of the type's cache through OnSoftwareItem, filling the cache
    // first when it is empty. False for another type, an unset slot or a missing catalogue.
    bool ListSoftware(const std::string& type, const std::string& sub_type, const std::string& os);
    // Emits through OnInstalledPath the folders in which the program at row is installed.
    void ListInstallPaths(int row, const std::string& type, RegistryView view);

    // The seven analysis steps, in the order the analysis worker runs them. Step 3 starts
    // DirList afresh and adds every folder it reports; step 7 reads it.
    void AnalyzeProcessRun(int row, const std::string& type);
    void AnalyzeCoreFile(int row, const std::string& type);
    void AnalyzeRelatedDir(int row, const std::string& type);
    void AnalyzeSysFile(int row, const std::string& type);
    // Step 4's second half: the services whose image is a driver file AnalyzeSysFile found or
    // lies in a folder of step 3, as the service control manager knows them.
    void AnalyzeServices();
    void AnalyzeAXCLSID(int row, const std::string& type, RegistryView view);
    void AnalyzeNewReg(int row, const std::string& type, RegistryView view);
    // Step 7 whole, on a thread that has initialised COM.
    void AnalyzeShellLink();
    // Step 7 in its two parts, so that only the reading of shortcuts, which are COM objects,
    // needs the thread that owns COM: the shortcut files below the users' folders (a folder
    // walk, on any thread; none when there is nothing to match them with), then the reading of
    // each and the report of those that lead into a folder of DirList.
    StringList ListShortcutFiles() const;
    void AnalyzeShellLink(const StringList& shortcut_files);

    // The clean-up steps: each removes what its work list names through the safety guard and
    // reports every item through OnCleanInfo, saying plainly when an item could not be removed
    // or was refused. Services go before the driver files they load, and what is in use is
    // deleted at the next restart.
    void CleanProcessRun();
    void CleanServices();
    void CleanSysFile();
    void CleanCoreFile();
    void CleanAXCLSID(RegistryView view);
    void CleanNewReg(RegistryView view);
    void CleanRelatedDir();
    void CleanShellLink();
    // The clean-up's backup: opened for the program at row before the first step (when it cannot
    // be, the log says so and nothing is deleted), its manifest written after the last.
    void BeginBackup(int row, const std::string& type);
    void EndBackup();
    // The path is the backup folder or lies in it: never a trace, never removed.
    bool InBackups(const std::string& path) const;
    // The folder of the last clean-up's backup, "" when it made none.
    const std::string& LastBackupFolder() const { return last_backup_folder_; }

private:
    // The one writer of the work lists besides AnalyzeRelatedDir (cleanup_selection.h).
    friend void FillCleanupLists(TQX& engine, const CleanupSelection& selection);

    // Every list of the three groups emptied, its memory freed.
    void ClearLists();
    StringList* CacheOf(const std::string& type);
    // The program key of the catalogue line at row of the type's cache, when the step's slot is
    // set; false otherwise.
    bool ProgramKeyAt(int row, const std::string& type, TQXCallback slot, std::string& key) const;
    // The program's records of one category (empty without a file for it), from the run's reader
    // during a run.
    StringList ReadRecords(const std::string& key, const std::string& type, const char* name_template);
    // One log line for the outcome of removing item, counted in Tally.
    void ReportClean(const char* done_prefix, const char* failed_prefix, const RemovalOutcome& outcome,
                     const std::string& item);
    // A marked item (refused by the analysis) is logged as skipped and counted; true when it was.
    bool SkipMarked(const std::string& item);

    TQXCatalogueCaches catalogue_;
    std::unique_ptr<CleanupBackup> backup_;
    std::string last_backup_folder_;
    TQXWorkLists work_lists_;
    TQXAnalysisScratch analysis_scratch_;
    std::unique_ptr<CategoryRecordReader> run_records_;
};
