// Everything the core reaches of Windows, as one bundle of interfaces. The win32 and the
// simulated machine each fill one in.
#pragma once
#include <string>

#include "platform/ClockApi.h"
#include "platform/FileApi.h"
#include "platform/ProcessApi.h"
#include "platform/ProfileApi.h"
#include "platform/RegistryApi.h"
#include "platform/SecurityApi.h"
#include "platform/ServiceApi.h"
#include "platform/ShellApi.h"
#include "platform/SpoolerApi.h"
#include "platform/SystemInfoApi.h"
#include "platform/UsbLibraryApi.h"
#include "platform/WindowApi.h"

namespace plat {

// Where the facts of one run of a program go (its log, cfg/RunLog.h). Not a part of
// Windows: the program's entry point puts one in the Platform it hands the core.
class LogSink {
public:
    virtual ~LogSink() = default;
    // A fact of the run.
    virtual void Line(const std::string& text) = 0;
    // A text the user is shown (a message box, a note line), which an unattended run
    // also writes to standard error.
    virtual void Shown(const std::string& text) = 0;
};

struct Platform {
    ProfileApi& profile;
    RegistryApi& registry;
    SystemInfoApi& system;
    ProcessApi& process;
    SecurityApi& security;
    ServiceApi& services;
    WindowApi& windows;
    ClockApi& clock;
    SpoolerApi& spooler;
    FileApi& files;
    ShellApi& shell;
    UsbLibraryApi& usb;
    // The run's log; null when the run keeps none (tests of single parts).
    LogSink* log = nullptr;
};

}  // namespace plat
