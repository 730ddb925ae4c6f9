// The readable signature source (signatures/README.md) that the tracer writes from what an
// installation changed. Pure logic: the machine's folders and names come in as facts, so the
// same changes give the same text on any machine. Every record it writes passes hdbtool's text
// rules; whatever cannot or should not be a record (a generic name, a protected key, a character
// without a code page 936 form, a changed value ...) becomes a comment saying why, so nothing
// the trace found is silently dropped.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "trace_changes.h"

// A COM class whose registration the installation made, and the module that serves it
// (InprocServer32 or LocalServer32 default value, as a file path).
struct TracedComClass {
    std::string clsid;   // "{...}"
    std::string key;     // the class key, "ROOT|...\CLSID\{...}", spelled as TracedChanges' keys
    std::string module;  // "C:\Program Files\Vendor\shell.dll"
    bool replaced = false;  // the class existed before; the installation changed its server
};

// What the writer needs to know about the machine the trace ran on. Folders as the system gives
// them, without a trailing backslash; empty when the machine has no such folder.
struct TraceMachineFacts {
    // The current user's.
    std::string profile;         // C:\users\tom
    std::string app_data;        // C:\users\tom\AppData\Roaming
    std::string local_app_data;  // C:\users\tom\AppData\Local
    std::string start_menu_programs;
    // The roots of the machine's other profiles: a per-user folder below one of them lies where
    // the current user's lies below the current profile.
    std::vector<std::string> other_profiles;
    // The machine's.
    std::string program_data;
    std::string common_start_menu_programs;
    std::string program_files;       // the 64-bit one on 64-bit Windows
    std::string program_files_x86;   // 64-bit Windows only
    std::string common_files;        // the 64-bit one on 64-bit Windows
    std::string common_files_x86;    // 64-bit Windows only
    std::string windows;             // C:\Windows
    bool windows_64bit = false;
    // Executable, module and folder names other programs of the machine already use: upper-cased
    // name -> one path where it occurs, for the comment.
    std::map<std::string, std::string> names_in_use;
};

// What the maintainer asked for, and how the run went.
struct TraceRequest {
    std::string signature_file;  // the path given; its name gives the key
    std::string type;            // MW, SW or NM; empty: from the file's folder, else NM
    std::string sub_type;        // empty: Software Management, with a comment to choose
    std::string program_name;    // empty: the first new registration's DisplayName
    std::string installer_command_line;
    std::string traced_at;       // "2024-05-01 14:03:59"
    std::string run_problem;     // empty, or why the installer's run did not end well (timeout ...)
};

struct SignatureSourceText {
    bool written = false;
    std::string error;      // UTF-8; why nothing was written (no registration and no name ...)
    std::string utf8_text;  // the .sig file
    std::size_t record_count = 0;  // record lines, the catalogue line included
};

// The software type and key the signature file's path gives: "signatures/SW/xinglan-player.sig"
// is SW and "SW-XINGLAN-PLAYER". False with a UTF-8 message when the name gives no key, the type
// is unknown, or it differs from the type folder the file lies in.
bool SignatureKeyOf(const std::string& signature_file, const std::string& requested_type, std::string& type,
                    std::string& key, std::string& error);

// The source text. All texts in the inputs are code page 936; the output is UTF-8.
SignatureSourceText WriteSignatureSource(const TracedChanges& changes, const std::vector<TracedComClass>& com_classes,
                                         const TraceRequest& request, const TraceMachineFacts& facts);
