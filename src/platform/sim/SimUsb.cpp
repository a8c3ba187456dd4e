#include "platform/sim/SimUsb.h"

#include <cstdlib>
#include <cstring>

#include "platform/UsbCommand.h"

namespace sim {

const std::array<std::uint8_t, 4>& SimUsb::vendorBytes() { return plat::kUsbVendorBytes; }

void SimUsb::installLibrary(bool present) {
    if (present)
        process_.defineLibrary(kLibrary, {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"});
    else
        process_.removeLibrary(kLibrary);
}

void SimUsb::expect(plat::ProcAddress fn, const char* name) const {
    if (process_.procName(fn) != name) std::abort();  // a wrong pointer would crash on Windows too
}

int SimUsb::CallOpenDeviceX(plat::ProcAddress fn, int index) {
    expect(fn, "OpenDeviceX");
    if (state_.enter("OpenDeviceX")) return -1;
    if (index < 0 || index >= static_cast<int>(printers.size())) return -1;
    ++open_;
    return index + 1;
}

int SimUsb::CallGetDescriptor(plat::ProcAddress fn, int device, std::uint8_t descriptor[20]) {
    expect(fn, "GetDescriptor");
    if (state_.enter("GetDescriptor") || descriptorFails) return 0;
    if (device < 1 || device > static_cast<int>(printers.size())) return 0;
    const std::uint16_t bcd = printers[static_cast<std::size_t>(device - 1)];
    const std::uint8_t d[18] = {18, 1, 0x10, 0x01, 0, 0, 0, 64, 0x4B, 0x4C, 0x01, 0x20,
                                static_cast<std::uint8_t>(bcd & 0xFF), static_cast<std::uint8_t>(bcd >> 8), 1, 2, 3, 1};
    std::memcpy(descriptor, d, sizeof d);
    return 1;
}

int SimUsb::CallUWrite(plat::ProcAddress fn, int device, int, const std::uint8_t* bytes, int length) {
    expect(fn, "uWrite");
    if (state_.enter("uWrite")) return 0;
    if (device < 1 || device > static_cast<int>(printers.size()) || length <= 0) return 0;
    written.emplace_back(bytes, bytes + length);
    const auto& v = plat::kUsbVendorBytes;
    if (length == 10 && bytes[0] == 0x1B && bytes[1] == 0x73 && std::memcmp(bytes + 2, v.data(), 4) == 0 &&
        bytes[6] == 0x1D && bytes[7] == 0x49 && bytes[8] == 0x20 && bytes[9] < 8) {
        auto& bcd = printers[static_cast<std::size_t>(device - 1)];
        bcd = static_cast<std::uint16_t>((bcd & ~7u) | bytes[9]);
    }
    return length;
}

void SimUsb::CallCloseDevice(plat::ProcAddress fn, int) {
    expect(fn, "CloseDevice");
    state_.enter("CloseDevice");
    if (open_ > 0) --open_;
}

}  // namespace sim
