// The set-identifier command the package's USB printers accept through UsbLibraryApi:
// ESC 's', four vendor bytes, GS 'I' ' ', and the new identifier minus one.
#pragma once
#include <array>
#include <cstdint>

namespace plat {

inline constexpr std::array<std::uint8_t, 4> kUsbVendorBytes = {0x4B, 0x4C, 0x4D, 0x49};

inline std::array<std::uint8_t, 10> SetIdentifierCommand(int identifier) {
    return {0x1B, 0x73, kUsbVendorBytes[0], kUsbVendorBytes[1], kUsbVendorBytes[2], kUsbVendorBytes[3],
            0x1D, 0x49, 0x20, static_cast<std::uint8_t>(identifier - 1)};
}

}  // namespace plat
