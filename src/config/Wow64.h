// Whether this 32-bit program runs on 64-bit Windows, asked once at each program's start.
#pragma once
#include "platform/Platform.h"

namespace cfg {

// False wherever that cannot be asked (no IsWow64Process, or the call fails).
bool IsWow64(plat::Platform& p);

}  // namespace cfg
