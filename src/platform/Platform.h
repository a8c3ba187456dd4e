// Everything the core reaches of Windows, as one bundle of interfaces. The win32 and the
// simulated machine each fill one in.
#pragma once
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
};

}  // namespace plat
