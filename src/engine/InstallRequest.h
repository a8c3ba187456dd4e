// One installation as the wizard describes it to the engine, the record the worker thread
// is given, and the bits of the components found outdated.
#pragma once
#include <atomic>
#include <string>

#include "config/MessageBuffer.h"
#include "config/OsClass.h"
#include "engine/DriverPackage.h"
#include "platform/Platform.h"

namespace engine {

enum ComponentFlags : unsigned {
    kSerialMonitorOutdated = 1,
    kUsbMonitorOutdated = 2,
    kLanguageMonitorOutdated = 4,
    kPrintProcessorOutdated = 8,
};

struct ComPortSettings {
    int baudRate = 9600;
    char parity = 'n';  // e, m, n, o, s (lowered before use)
    int byteSize = 8;
    double stopBits = 1;
    char protocol = ' ';  // p hardware, x Xon/Xoff, ' ' none
};

constexpr std::size_t kModelNameSize = 200;
constexpr std::size_t kPortNameSize = 100;
constexpr std::size_t kPrinterNameSize = 260;

struct InstallRequest {
    explicit InstallRequest(plat::Platform& p, bool is64BitWindows) : package(p, is64BitWindows) {}

    int category = -1;
    cfg::OsClass targetOs = cfg::kOsWin9x;
    int variant = cfg::kVariantGdi;
    std::string modelName;       // replaced by the printer name the spooler accepted
    std::string portName;
    std::string alternateUsbPortName;
    bool setAsDefault = false;
    ComPortSettings serial;
    unsigned componentFlags = 0;
    int portKind = kPortLpt;

    DriverPackage package;
    DriverFileSet files;
    plat::DriverInfo3 driver;
    plat::MonitorInfo2 languageMonitor;
    plat::PrinterInfo2 printer;
};

// What the worker thread is handed: the request, the failure text, and the completion
// state the progress window polls (0 running, 1 failed, 2 succeeded; written last).
struct InstallJob {
    InstallRequest& request;
    cfg::MessageBuffer& messages;
    std::atomic<int>& completionState;
};

enum CompletionState : int { kRunning = 0, kFailed = 1, kSucceeded = 2 };

}  // namespace engine
