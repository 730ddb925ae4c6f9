#include "options.h"

#include <algorithm>
#include <iterator>

#include "category_files.h"

const char kQxcliUsage[] =
    "usage: qxcli [--db PACKAGE] [--utf8] list TYPE [SUBTYPE [OS]]\n"
    "       qxcli [--db PACKAGE] [--utf8] paths TYPE PROGRAM\n"
    "       qxcli [--db PACKAGE] [--utf8] analyze TYPE PROGRAM\n"
    "       qxcli [--db PACKAGE] [--utf8] clean TYPE PROGRAM [--dry-run]\n"
    "       qxcli [--utf8] update [--url URL] [--yes]\n"
    "       qxcli [--utf8] backups\n"
    "       qxcli [--utf8] restore ID [--dry-run]\n"
    "       qxcli [--utf8] trace [--type TYPE] [--sub-type SUBTYPE] [--name NAME] [--timeout SECONDS]\n"
    "             SIGNATURE-FILE -- INSTALLER [ARGS...]\n"
    "TYPE is MW, SW or NM; SUBTYPE is All or a sub-type name; OS is All, 5.1 or 6.1;\n"
    "PROGRAM is a row of the unfiltered catalogue (from 0) or key=KEY;\n"
    "ID is a backup's name as backups lists it.\n"
    "trace runs INSTALLER and writes what it left as the signature source SIGNATURE-FILE\n"
    "(its name gives the key, its folder MW, SW or NM the type; default NM, sub-type\n"
    "Software Management, timeout 600 s for the installer and every process it starts).\n";

namespace {

bool IsSubTypeValue(const std::string& text) {
    if (text == kFilterAll) return true;
    for (const char* name : kSubTypeNames)
        if (text == name) return true;
    return false;
}

// "5.1" and "6.1" are accepted for the filter values "|5.1|" and "|6.1|".
bool ToOsValue(const std::string& text, std::string& os) {
    if (text == kFilterAll || text == kFilterWindowsXP || text == kFilterWindows7) {
        os = text;
    } else if (text == "5.1" || text == "6.1") {
        os = "|" + text + "|";
    } else {
        return false;
    }
    return true;
}

// backups and restore work on the clean-ups' backups folder, not on a package.
bool ParseBackupCommand(const std::vector<std::string>& words, QxcliOptions& options, std::string& error) {
    if (!options.package.empty())
        return error = options.command + " works on the backups, not on a package; --db does not go with it", false;
    if (options.command == "backups") {
        if (words.size() > 1) return error = "backups takes no arguments", false;
        return true;
    }
    if (words.size() != 2) return error = "restore needs one backup ID (as backups lists it)", false;
    options.backup_id = words[1];
    return true;
}

constexpr unsigned long kMostTimeoutSeconds = 86400;

bool ToTimeout(const std::string& text, unsigned long& seconds) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    seconds = std::stoul(text);
    return seconds > 0 && seconds <= kMostTimeoutSeconds;
}

// trace SIGNATURE-FILE, with the installer's command line after "--" already taken apart.
bool ParseTraceCommand(const std::vector<std::string>& words, bool has_installer, QxcliOptions& options,
                       std::string& error) {
    if (!options.package.empty()) return error = "trace needs no package; --db does not go with it", false;
    if (words.size() != 2) return error = "trace needs one SIGNATURE-FILE before -- INSTALLER", false;
    options.signature_file = words[1];
    if (!has_installer || options.installer.empty())
        return error = "trace needs the installer after --: trace SIGNATURE-FILE -- INSTALLER [ARGS...]", false;
    if (!options.type.empty() && !IsSoftwareType(options.type))
        return error = "unknown software type " + options.type + " (MW, SW or NM)", false;
    if (!options.trace_sub_type.empty() && (options.trace_sub_type == kFilterAll || !IsSubTypeValue(options.trace_sub_type)))
        return error = "unknown sub-type " + options.trace_sub_type, false;
    return true;
}

}  // namespace

bool ParseQxcliOptions(const std::vector<std::string>& arguments, QxcliOptions& options, std::string& error) {
    std::vector<std::string> words;
    // Everything after "--" is the traced installer's command line, options included.
    const auto separator = std::find(arguments.begin(), arguments.end(), "--");
    const bool has_installer = separator != arguments.end();
    if (has_installer) options.installer.assign(separator + 1, arguments.end());
    const std::size_t option_count = static_cast<std::size_t>(separator - arguments.begin());
    bool trace_option = false;
    for (std::size_t i = 0; i < option_count; ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--type" || argument == "--sub-type" || argument == "--name" || argument == "--timeout") {
            if (++i == option_count) return error = argument + " needs a value", false;
            trace_option = true;
            if (argument == "--type") options.type = arguments[i];
            if (argument == "--sub-type") options.trace_sub_type = arguments[i];
            if (argument == "--name") options.program_name = arguments[i];
            if (argument == "--timeout" && !ToTimeout(arguments[i], options.timeout_seconds))
                return error = "--timeout needs a number of seconds from 1 to " + std::to_string(kMostTimeoutSeconds), false;
        } else if (argument == "--db") {
            if (++i == option_count) return error = "--db needs a package path", false;
            options.package = arguments[i];
        } else if (argument == "--utf8") {
            options.utf8 = true;
        } else if (argument == "--dry-run") {
            options.dry_run = true;
        } else if (argument == "--url") {
            if (++i == option_count) return error = "--url needs the control file's URL", false;
            options.update_url = arguments[i];
        } else if (argument == "--yes") {
            options.answer_yes = true;
        } else if (argument.size() > 1 && argument[0] == '-' && argument[1] == '-') {
            return error = "unknown option " + argument, false;
        } else {
            words.push_back(argument);
        }
    }
    if (words.empty()) return error = "no command given", false;
    options.command = words[0];
    const char* const commands[] = {"list", "paths", "analyze", "clean", "update", "backups", "restore", "trace"};
    if (std::find(std::begin(commands), std::end(commands), options.command) == std::end(commands))
        return error = "unknown command " + options.command, false;
    const bool trace = options.command == "trace";
    if (!trace && (trace_option || has_installer))
        return error = "--type, --sub-type, --name, --timeout and -- INSTALLER go with trace only", false;
    const bool update = options.command == "update";
    if (!update && (options.answer_yes || !options.update_url.empty()))
        return error = "--url and --yes go with update only", false;
    if (options.dry_run && options.command != "clean" && options.command != "restore")
        return error = "--dry-run goes with clean or restore only", false;
    if (trace) return ParseTraceCommand(words, has_installer, options, error);
    if (options.command == "backups" || options.command == "restore") return ParseBackupCommand(words, options, error);
    if (update) {
        if (words.size() > 1) return error = "update takes no arguments besides --url and --yes", false;
        if (!options.package.empty()) return error = "update replaces the package beside qxcli.exe; --db does not go with it", false;
        return true;
    }
    const bool list = options.command == "list";
    if (words.size() < 2) return error = options.command + " needs a software type", false;
    options.type = words[1];
    if (!IsSoftwareType(options.type)) return error = "unknown software type " + options.type + " (MW, SW or NM)", false;

    if (list) {
        if (words.size() > 4) return error = "too many arguments", false;
        if (words.size() > 2) options.sub_type = words[2];
        if (!IsSubTypeValue(options.sub_type)) return error = "unknown sub-type " + options.sub_type, false;
        if (words.size() > 3 && !ToOsValue(words[3], options.os)) return error = "unknown OS " + words[3], false;
        return true;
    }
    if (words.size() != 3) return error = options.command + " needs TYPE and PROGRAM", false;
    options.program = words[2];
    return true;
}
