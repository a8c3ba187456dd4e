// Which environment a spooler call names. A null environment means the calling program's,
// and for this 32-bit program under WOW64 that is "Windows NT x86", not the 64-bit
// spooler's own: on 64-bit Windows every call must name "Windows x64" or the files and
// records land where the spooler never looks.
#pragma once
#include "config/OsClass.h"
#include "platform/SpoolerApi.h"

namespace cfg {

// "Windows 4.0" for a Windows 98 target, "Windows x64" on 64-bit Windows, null (this
// program's own, "Windows NT x86") otherwise.
plat::OptText SpoolerEnvironment(OsClass os, bool is64BitWindows);

// The same environment by name, never null: for registry paths under
// ...\Control\Print\Environments\.
const char* SpoolerEnvironmentName(OsClass os, bool is64BitWindows);

}  // namespace cfg
