// Tells the Program Compatibility Assistant of Vista and 7 that the program installed
// correctly, so it does not offer to re-run it with "recommended settings".
#pragma once
#include "config/OsClass.h"
#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

extern const char* const kCompatibilityPersistedKey;  // with its trailing backslash

// Writes the program's full path as a DWORD 1 under the current user's Persisted key on
// Vista (5) and 7 (6 and below do nothing). Every failure is silent.
void MarkCompatibilityHandled(plat::Platform& p, Program program, OsClass os, bool is64BitWindows);

}  // namespace cfg
