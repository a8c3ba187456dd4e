#include "config/CompatibilityAssistant.h"

#include "config/FsRedirection.h"
#include "config/RegistryKey.h"

namespace cfg {

const char* const kCompatibilityPersistedKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted\\";

void MarkCompatibilityHandled(plat::Platform& p, Program program, OsClass os, bool is64BitWindows) {
    if (!IsVistaOrLaterWorkstation(os)) return;
    auto write = [&] {
        std::string path;
        p.process.GetModuleFileName(200, &path);
        RegistryKey key(p, program, is64BitWindows);
        const std::string withSlash = kCompatibilityPersistedKey;
        if (!key.Open(plat::kHkeyCurrentUser, withSlash)) {
            RegistryKey::CreateKey(p, program, is64BitWindows, plat::kHkeyCurrentUser, withSlash);
            key.Open(plat::kHkeyCurrentUser, withSlash.substr(0, withSlash.size() - 1));
        }
        key.SetDword(path, 1);
        key.Close();
    };
    WithFsRedirectionDisabledSilently(p, is64BitWindows, write);
}

}  // namespace cfg
