// The command line of qxcli:
//   qxcli [--db PACKAGE] [--utf8] list TYPE [SUBTYPE [OS]]
//   qxcli [--db PACKAGE] [--utf8] paths TYPE PROGRAM
//   qxcli [--db PACKAGE] [--utf8] analyze TYPE PROGRAM
//   qxcli [--db PACKAGE] [--utf8] clean TYPE PROGRAM [--dry-run]
//   qxcli [--utf8] update [--url URL] [--yes]
//   qxcli [--utf8] backups
//   qxcli [--utf8] restore ID [--dry-run]
//   qxcli [--utf8] trace [--type TYPE] [--sub-type SUBTYPE] [--name NAME] [--timeout SECONDS]
//         SIGNATURE-FILE -- INSTALLER [ARGS...]
#pragma once

#include <string>
#include <vector>

struct QxcliOptions {
    std::string package;  // empty: REZ.hdb3 beside the exe
    bool utf8 = false;
    std::string command;  // list, paths, analyze, clean, update, backups, restore, trace
    std::string type;     // MW, SW, NM; trace: empty for the signature file's type folder
    std::string sub_type = "All";
    std::string os = "All";  // All, |5.1|, |6.1|
    std::string program;     // a row number, or key=KEY
    bool dry_run = false;     // clean, restore
    std::string update_url;  // update: the control file instead of the maker's
    bool answer_yes = false; // update: answer the control file's questions with Yes
    std::string backup_id;   // restore: the backup's folder name, as backups lists it
    // trace
    std::string signature_file;
    std::string trace_sub_type;  // empty: the writer's default, with a comment to choose
    std::string program_name;    // empty: the installation's registration names it
    unsigned long timeout_seconds = 600;
    std::vector<std::string> installer;  // the installer and its arguments, after "--"
};

extern const char kQxcliUsage[];

// False with a message naming what is wrong.
bool ParseQxcliOptions(const std::vector<std::string>& arguments, QxcliOptions& options, std::string& error);
