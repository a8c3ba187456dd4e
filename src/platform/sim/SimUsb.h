// The USB bus behind the maker's interface library: connected printers with the release
// number (bcdDevice) their descriptor reports, and every command written to them. A
// set-identifier command changes what the printer reports from then on.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "platform/UsbLibraryApi.h"
#include "platform/sim/SimProcess.h"
#include "platform/sim/SimState.h"

namespace sim {

class SimUsb : public plat::UsbLibraryApi {
public:
    static constexpr const char* kLibrary = "RuZuvUzu.dll";

    SimUsb(SimState& state, SimProcess& process) : state_(state), process_(process) {}

    // Makes the library loadable (with all four functions) or not.
    void installLibrary(bool present);
    std::vector<std::uint16_t> printers;  // bcdDevice of each connected printer
    std::vector<std::vector<std::uint8_t>> written;
    bool descriptorFails = false;
    int openHandles() const { return open_; }
    // The vendor bytes 2 to 5 of the set-identifier command the printers accept.
    static const std::array<std::uint8_t, 4>& vendorBytes();

    int CallOpenDeviceX(plat::ProcAddress fn, int index) override;
    int CallGetDescriptor(plat::ProcAddress fn, int device, std::uint8_t descriptor[20]) override;
    int CallUWrite(plat::ProcAddress fn, int device, int pipe, const std::uint8_t* bytes, int length) override;
    void CallCloseDevice(plat::ProcAddress fn, int device) override;

private:
    void expect(plat::ProcAddress fn, const char* name) const;
    SimState& state_;
    SimProcess& process_;
    int open_ = 0;
};

}  // namespace sim
