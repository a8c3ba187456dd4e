// Reader of the package file DRVCONFIG\setup.ini: the model entries, the package
// switches, the port monitors per target system and the print processor version.
#pragma once
#include <string>

#include "config/OsClass.h"
#include "platform/Platform.h"

namespace cfg {

struct PortMonitors {
    std::string comName, comDll, comUiDll;
    int comVersion = 0;
    std::string usbName, usbDll, usbUiDll;
    int usbVersion = 0;
    std::string languageName, languageDll;  // empty when no language monitor is configured
    int languageVersion = 0;
};

constexpr int kMaxModelEntries = 9999;

class PackageConfig {
public:
    // The path is built from the program's own folder.
    explicit PackageConfig(plat::Platform& p);

    const std::string& path() const { return path_; }

    int deviceCount();
    // DEVICENUMBER within 0 and kMaxModelEntries: the number of entries start-up and the
    // printer-type page read, so that both agree on which models exist. A count in the
    // millions would keep them reading absent keys for hours (and 2147483647 would never
    // end); no package comes near the bound, and entries beyond it read as absent anyway.
    int modelEntryCount();
    // Entry n cut to 199 bytes with its category suffix removed; the category 0 to 3, or
    // -1 when the entry has no suffix (the name is then left as read).
    int deviceEntry(int n, std::string* name);
    // The entry that DEFAULTNAME numbers, read the same way.
    int defaultEntry(std::string* name);

    PortMonitors portMonitors(OsClass target);
    int processorVersion();
    int supportedUsbDevice(const std::string& usbPortName);

    // Package switches of section DEVICENAME.
    int supported32Or64();
    int loadLicense();
    int language();
    int gdiStdSign();

private:
    int deviceNameNumber(const char* key);
    plat::Platform& platform_;
    std::string path_;
};

// Splits a model entry: cuts the first of "-ReceiptPrinter", "-TicketPrinter",
// "-LabelPrinter", "-EmbeddedPrinter" (tried in that order) found in it.
int SplitModelEntry(std::string* entry);

}  // namespace cfg
