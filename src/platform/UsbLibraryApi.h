// Calls into the printer maker's USB interface library, loaded by name at run time
// ("RuZuvUzu.dll"); the functions are reached through ProcessApi::GetProcAddress.
#pragma once
#include <cstdint>

#include "platform/WinTypes.h"

namespace plat {

class UsbLibraryApi {
public:
    virtual ~UsbLibraryApi() = default;
    // "OpenDeviceX": a device handle; 0 or -1 when no printer is at that index.
    virtual int CallOpenDeviceX(ProcAddress fn, int index) = 0;
    // "GetDescriptor": non-zero when the 20-byte buffer received the device descriptor.
    virtual int CallGetDescriptor(ProcAddress fn, int device, std::uint8_t descriptor[20]) = 0;
    // "uWrite": the number of bytes written.
    virtual int CallUWrite(ProcAddress fn, int device, int pipe, const std::uint8_t* bytes, int length) = 0;
    virtual void CallCloseDevice(ProcAddress fn, int device) = 0;
};

}  // namespace plat
