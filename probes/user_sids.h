// The hives under HKEY_USERS: the users' security identifiers, and also the default user's hive
// and the per-user class hives where the system has them.
#pragma once

#include <windows.h>

#include "registry_view.h"
#include "splitters.h"

// Adds each sub-key name of HKEY_USERS, trimmed, once (by the "listed in" rule), in enumeration
// order. HKEY_USERS is opened with the view's full-access mask; list is not emptied first, and
// a failed open adds nothing.
void EnumUserSids(StringList& list, RegistryView view);
