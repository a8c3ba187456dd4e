#include "config/OsSections.h"

#include "config/IniValues.h"
#include "config/RunLog.h"

namespace cfg {

namespace {
const char* suffixOf(OsClass os, SuffixTable table) {
    return table == SuffixTable::Setup ? OsSuffix(os) : UninstallOsSuffix(os);
}
}  // namespace

OsSection ChooseOsSection(plat::Platform& p, const std::string& file, const std::string& base, OsClass os,
                          std::size_t size, SuffixTable table) {
    OsSection own{CutTo(base + suffixOf(os, table), size), false};
    const OsClass fallback = FallbackOsClass(os);
    if (fallback < 0 || p.profile.PrivateProfileSectionHasKeys(own.name, file)) return own;
    OsSection older{CutTo(base + suffixOf(fallback, table), size), true};
    if (Logging(p)) LogLine(p, "no section [" + own.name + "] in " + file + ": reading [" + older.name + "]");
    return older;
}

const char* SupportKeyName(OsClass os) {
    switch (os) {
        case kOsNt4: return "SystemNTSupported";
        case kOsServer2003: return "System2003Supported";
        case kOsVista: return "SystemVistaSupported";
        case kOsServer2008: return "System2008Supported";
        case kOsWin7: return "SystemWin7Supported";
        case kOsWin10: return "SystemWin10Supported";
        case kOsServer2012: return "System2012Supported";
        default: return nullptr;
    }
}

const char* SupportKeyInUse(plat::Platform& p, const std::string& file, const std::string& portSection, OsClass os) {
    const char* key = SupportKeyName(os);
    const OsClass fallback = FallbackOsClass(os);
    if (key && fallback >= 0 && p.profile.GetPrivateProfileString(portSection, key, "", 200, file).empty())
        key = SupportKeyName(fallback);
    return key;
}

int ReadSupportKey(plat::Platform& p, const std::string& file, const std::string& portSection, OsClass os) {
    const char* key = SupportKeyInUse(p, file, portSection, os);
    return key ? ReadIniNumber(p, file, portSection, key, 200) : 0;
}

}  // namespace cfg
