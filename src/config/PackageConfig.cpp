#include "config/PackageConfig.h"

#include "config/IniValues.h"
#include "config/OsSections.h"
#include "config/PackageFiles.h"

namespace cfg {

namespace {
const char kDeviceName[] = "DEVICENAME";
}

int SplitModelEntry(std::string* entry) {
    static const char* const kSuffixes[] = {"-ReceiptPrinter", "-TicketPrinter", "-LabelPrinter",
                                            "-EmbeddedPrinter"};
    for (int category = 0; category < 4; ++category) {
        auto at = entry->find(kSuffixes[category]);
        if (at != std::string::npos) {
            entry->erase(at);
            return category;
        }
    }
    return -1;
}

PackageConfig::PackageConfig(plat::Platform& p) : platform_(p), path_(ProgramFolder(p) + kPackageFile) {}

int PackageConfig::modelEntryCount() {
    const int count = deviceCount();
    return count < 0 ? 0 : count > kMaxModelEntries ? kMaxModelEntries : count;
}

int PackageConfig::deviceCount() { return ReadIniNumber(platform_, path_, kDeviceName, "DEVICENUMBER", 50); }

int PackageConfig::deviceEntry(int n, std::string* name) {
    *name = ReadIniString(platform_, path_, kDeviceName, std::to_string(n), 200);
    return SplitModelEntry(name);
}

int PackageConfig::defaultEntry(std::string* name) {
    const int number = ReadIniNumber(platform_, path_, kDeviceName, "DEFAULTNAME", 260);
    return deviceEntry(number, name);
}

PortMonitors PackageConfig::portMonitors(OsClass target) {
    const std::string section = ChooseOsSection(platform_, path_, "COMMON-MONITOR", target, 200).name;
    auto str = [&](const char* key, std::uint32_t size) { return ReadIniString(platform_, path_, section, key, size); };
    PortMonitors m;
    m.comName = str("COMMONitorPName", 50);
    m.comDll = str("COMMONitorPDLLName", 200);
    m.comUiDll = str("COMMONitorPUIDLLName", 50);
    m.comVersion = LeadingInt(str("COMMONitorVersion", 10));
    m.usbName = str("USBMONitorPName", 50);
    m.usbDll = str("USBMONitorPDLLName", 200);
    m.usbUiDll = str("USBMONitorPUIDLLName", 50);
    m.usbVersion = LeadingInt(str("USBMONitorVersion", 10));
    std::string lmName = str("USBLMONitorName", 50);
    std::string lmDll = str("USBLMONitorDLLName", 200);
    std::string lmVersion = str("USBLMONitorVersion", 10);
    // Three one-character values (the defaults "0") mean no language monitor.
    if (!(lmName.size() == 1 && lmDll.size() == 1 && lmVersion.size() == 1)) {
        m.languageName = lmName;
        m.languageDll = lmDll;
        m.languageVersion = LeadingInt(lmVersion);
    }
    return m;
}

int PackageConfig::processorVersion() {
    return ReadIniNumber(platform_, path_, "ProcessorVersion", "DriverVersion", 50);
}

int PackageConfig::supportedUsbDevice(const std::string& usbPortName) {
    return ReadIniNumber(platform_, path_, "SUPPORTED-USB-DEVICE", usbPortName, 50);
}

int PackageConfig::deviceNameNumber(const char* key) { return ReadIniNumber(platform_, path_, kDeviceName, key, 50); }
int PackageConfig::supported32Or64() { return deviceNameNumber("Supported32OR64"); }
int PackageConfig::loadLicense() { return deviceNameNumber("LOADLICENSE"); }
int PackageConfig::language() { return deviceNameNumber("LANGUAGE"); }
int PackageConfig::gdiStdSign() { return deviceNameNumber("GDISTDSign"); }

}  // namespace cfg
