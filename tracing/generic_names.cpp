#include "generic_names.h"

#include "text_rules.h"

namespace {

// Upper-cased. One table for every kind of name: a folder called "update.exe" or a process
// called "bin" does not occur, so the kinds need no tables of their own.
constexpr const char* kGenericNames[] = {
    // uninstallers, installers and updaters
    "UNINSTALL.EXE", "UNINSTALLER.EXE", "UNINST.EXE", "UNINSTALL64.EXE", "UNINSTALLER64.EXE", "UNWISE.EXE",
    "SETUP.EXE", "INSTALL.EXE", "INSTALLER.EXE", "UPDATE.EXE", "UPDATER.EXE", "AUTOUPDATE.EXE", "UPGRADE.EXE",
    "MAINTENANCETOOL.EXE", "REPAIR.EXE",
    // helpers that many products ship under the same name
    "LAUNCHER.EXE", "HELPER.EXE", "SERVICE.EXE", "AGENT.EXE", "CRASHREPORTER.EXE", "CRASHPAD_HANDLER.EXE",
    "BUGREPORT.EXE", "REPORTER.EXE", "CONFIG.EXE", "REGISTER.EXE", "REGSVR.EXE", "7Z.EXE", "7Z.DLL", "CURL.EXE",
    "PYTHON.EXE", "JAVA.EXE", "JAVAW.EXE", "NODE.EXE", "ELEVATE.EXE", "VCREDIST_X86.EXE", "VCREDIST_X64.EXE",
    "DOTNETFX.EXE", "UNZIP.EXE", "ZIP.EXE",
    // folder names
    "BIN", "LIB", "LIBS", "DATA", "COMMON", "CONFIG", "CONF", "ETC", "PLUGINS", "PLUGIN", "ADDONS", "EXTENSIONS",
    "RESOURCES", "RES", "ASSETS", "LOCALES", "LOCALE", "LANG", "LANGUAGES", "LANGUAGE", "SKINS", "THEMES", "ICONS",
    "IMAGES", "FONTS", "SOUNDS", "HELP", "DOCS", "DOC", "LICENSES", "TOOLS", "UTILS", "SHARE", "INCLUDE",
    "MODULES", "COMPONENTS", "DRIVERS", "X86", "X64", "AMD64", "ARM64", "WIN32", "WIN64", "REDIST", "RUNTIME",
    "UPDATE", "UPDATES", "UPDATER", "UNINSTALL", "INSTALL", "SETUP", "CACHE", "LOG", "LOGS", "TEMP", "TMP",
    "BACKUP", "BACKUPS", "SETTINGS", "USER DATA", "PROFILES", "DOWNLOADS", "APP", "APPS", "PROGRAMS", "CURRENT",
};

// Inno Setup numbers its uninstallers: unins000.exe, unins001.exe ...
bool IsNumberedUninstaller(const std::string& upper_name) {
    if (upper_name.size() != 12 || upper_name.compare(0, 5, "UNINS") != 0 || upper_name.compare(8, 4, ".EXE") != 0)
        return false;
    for (std::size_t i = 5; i < 8; ++i)
        if (upper_name[i] < '0' || upper_name[i] > '9') return false;
    return true;
}

}  // namespace

bool IsWellKnownGenericName(const std::string& name) {
    const std::string upper = UpperCased(Trimmed(name));
    if (IsNumberedUninstaller(upper)) return true;
    for (const char* generic : kGenericNames)
        if (upper == generic) return true;
    return false;
}
