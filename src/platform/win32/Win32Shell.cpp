#include "platform/win32/WindowsHeaders.h"
#include "platform/win32/Win32Platform.h"

namespace plat {

namespace {
typedef int(__stdcall* OpenDeviceXFn)(int);
typedef int(__stdcall* GetDescriptorFn)(int, unsigned char*);
typedef int(__stdcall* UWriteFn)(int, int, const unsigned char*, int);
typedef void(__stdcall* CloseDeviceFn)(int);
}  // namespace

std::uintptr_t Win32ShellApi::ShellExecute(WindowHandle owner, const std::string& verb, const std::string& file,
                                           const std::optional<std::string>& parameters,
                                           const std::optional<std::string>& directory, std::uint32_t show) {
    HINSTANCE result = ::ShellExecuteA(reinterpret_cast<HWND>(owner), verb.c_str(), file.c_str(),
                                       parameters ? parameters->c_str() : nullptr,
                                       directory ? directory->c_str() : nullptr, static_cast<int>(show));
    return reinterpret_cast<std::uintptr_t>(result);
}

int Win32UsbLibraryApi::CallOpenDeviceX(ProcAddress fn, int index) {
    return reinterpret_cast<OpenDeviceXFn>(fn)(index);
}

int Win32UsbLibraryApi::CallGetDescriptor(ProcAddress fn, int device, std::uint8_t descriptor[20]) {
    return reinterpret_cast<GetDescriptorFn>(fn)(device, descriptor);
}

int Win32UsbLibraryApi::CallUWrite(ProcAddress fn, int device, int pipe, const std::uint8_t* bytes, int length) {
    return reinterpret_cast<UWriteFn>(fn)(device, pipe, bytes, length);
}

void Win32UsbLibraryApi::CallCloseDevice(ProcAddress fn, int device) { reinterpret_cast<CloseDeviceFn>(fn)(device); }

}  // namespace plat
