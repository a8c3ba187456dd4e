// Running an operation with WOW64 file-system redirection switched off, so a 32-bit
// program reaches the real system32 folder of 64-bit Windows.
#pragma once
#include <functional>

#include "config/Program.h"
#include "platform/Platform.h"

namespace cfg {

// On 64-bit Windows: switches redirection off around `operation`, telling the user (in
// fixed English) when the library or a function is missing, and runs the operation in any
// case. On 32-bit Windows: runs it directly.
void WithFsRedirectionDisabled(plat::Platform& p, Program program, bool is64BitWindows,
                               const std::function<void()>& operation);

// The quiet form: no messages, and on 64-bit Windows the operation (and the revert) run
// only when switching redirection off succeeded. Answers whether the operation ran.
bool WithFsRedirectionDisabledSilently(plat::Platform& p, bool is64BitWindows,
                                       const std::function<void()>& operation);

}  // namespace cfg
