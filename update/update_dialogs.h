// The what's-new and licence dialogs the control file can ask for before the downloads.
#pragma once

#include <windows.h>

#include <functional>

#include "update_host.h"

namespace update {

// True only when closed with OK; the title-bar button counts as Cancel.
bool ShowWhatsNewDialog(HWND owner, const WhatsNewText& text);
// True only when the accept option is chosen as the window closes, however it is closed.
bool ShowLicenceDialog(HWND owner, const LicenceText& text);

}  // namespace update
