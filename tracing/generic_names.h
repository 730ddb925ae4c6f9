// Names too common to identify one program: a process, folder or module record with such a name
// would tie the program to every other program that uses it (the analysis marks every folder
// that holds a file named by a process record, and every folder of a folder record's name).
// The tracer writes them as comments for the maintainer to decide.
#pragma once

#include <string>

// The well-known generic names, compared as whole names in any ASCII letter case:
// uninstallers (uninstall.exe, uninst.exe, unins000.exe ... unins999.exe), installers and
// updaters (setup.exe, install.exe, update.exe, updater.exe ...), helpers every product ships
// (launcher.exe, helper.exe, crashreporter.exe ...), and folder names (bin, lib, data,
// common, plugins, resources ...).
bool IsWellKnownGenericName(const std::string& name);
