// What the two programs that drive setup and the uninstaller from outside share beyond the
// spooler's lists: which environment and registry view are the machine's own, and what the
// real system folder holds.
#pragma once
#include <windows.h>

#include <string>

namespace window_driver {

// True in a 32-bit process on 64-bit Windows.
bool isWow64();
// The spooler environment of the machine's own drivers.
const char* nativeEnvironment();
// Whether the key exists under HKEY_LOCAL_MACHINE in the given view (0, KEY_WOW64_64KEY or
// KEY_WOW64_32KEY).
bool keyExists(const std::string& path, REGSAM view);
// Whether a file exists, looked up with file-system redirection off on 64-bit Windows, so
// that a path under the system folder means the real one.
bool fileExistsNative(const std::string& path);

}  // namespace window_driver
