// Registry items as the window shows them: in the registry editor's words, while the engine, the
// clean-up and qxcli keep the notation "ROOT|key path|value" (registry_item.h). One form for the
// report's lists and the clean-up log:
//
//   a key                HKEY_LOCAL_MACHINE\SOFTWARE\Quillmoss
//   a value              HKEY_CURRENT_USER\Software\Quillmoss  值: Skin Color
//   the default value    HKEY_CURRENT_USER\Software\Quillmoss  值: (默认)
//   a component's key    HKEY_LOCAL_MACHINE\SOFTWARE\Classes\CLSID\{...}  模块: qmshell.dll
//
// The key path follows the root name as written; two blanks and a label set the third field
// apart, since key names may hold single blanks. A marked item ("<reason> item") keeps its mark
// in front, and a text that names no registry item is shown as it is.
#pragma once

#include <string>

// What the third field of an item names.
enum class RegistryThirdField {
    kValueName,   // the notation's value field: quoted or not, "" for the default value
    kModuleFile,  // the server file a component row matched (the report's 组件注册表)
};

std::string ReadableRegistryItem(const std::string& text, RegistryThirdField third_field);

// A line of the clean-up log, or of its undoing, with the registry item it names shown readable.
// The item starts after a blank and runs to the end of the line, a reason appended to it
// included: the clean-up writes "ROOT|key path|value", the undoing "HKEY_...\key path|value"
// for a value (its keys are in the editor's words already). Other lines stay as they are.
std::string ReadableCleanLogLine(const std::string& line);
