// Whether the user's token holds the built-in Administrators group.
#pragma once
#include "platform/Platform.h"

namespace cfg {

// A deny-only Administrators entry (a filtered token under User Account Control) counts:
// the programs then go on and let Windows refuse what the user may not do.
bool IsUserAdmin(plat::Platform& p);

}  // namespace cfg
