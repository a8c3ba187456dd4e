#include "engine/PortSetup.h"

#include <cctype>
#include <cstdio>

#include "config/FsRedirection.h"
#include "config/PackageFiles.h"
#include "config/RegistryKey.h"
#include "engine/PackageRecords.h"

namespace engine {

namespace {

constexpr const char* kSerialClassKey = "System\\CurrentControlSet\\Services\\Class\\Ports\\000";
constexpr const char* kNtPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
constexpr const char* kPortNameKey = "SOFTWARE\\TARVEKO\\PORTNAME\\";
constexpr const char* kPrinterPortKey = "SOFTWARE\\TARVEKO\\PRINTERPORT\\";
constexpr const char* kTcpMonitor = ",XcvMonitor Standard TCP/IP Port";
constexpr std::uint32_t kServerAccessAdminister = 1;
constexpr std::uint32_t kPortNumberRaw = 9100;
constexpr std::uint32_t kProtocolRawTcp = 1;
// Character counts of the PORT_DATA_1 text fields, terminator included.
constexpr std::size_t kMaxPortNameChars = 64;
constexpr std::size_t kMaxHostAddressChars = 49;

char lowered(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

void putU32(std::array<std::uint8_t, kDcbSize>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void showSystemError(plat::Platform& p, std::uint32_t code) {
    std::string text;
    // A code the system has no words for is still worth showing as a number.
    if (!p.process.FormatSystemMessage(code, &text)) text = std::to_string(code);
    p.windows.MessageBox(0, text, "ERROR", plat::kMbOk | plat::kMbIconInformation);
}

}  // namespace

std::string FormatSettingsLine(const ComPortSettings& s) {
    char line[kSettingsLineSize] = {};
    const int parity = static_cast<unsigned char>(lowered(s.parity));
    const int protocol = static_cast<unsigned char>(s.protocol);
    if (s.stopBits == 1.5)
        std::snprintf(line, sizeof line, "%d,%c,%d,%.1f,%c", s.baudRate, parity, s.byteSize, s.stopBits, protocol);
    else
        std::snprintf(line, sizeof line, "%d,%c,%d,%.0f,%c", s.baudRate, parity, s.byteSize, s.stopBits, protocol);
    return line;
}

std::string ComPortName(const std::string& portName) {
    const auto at = portName.find("COM");
    return at == std::string::npos ? std::string() : portName.substr(at);
}

int ComNumber(const std::string& portName) {
    const auto at = portName.find("COM");
    if (at == std::string::npos || at + 3 >= portName.size()) return 0;
    const char digit = portName[at + 3];
    return std::isdigit(static_cast<unsigned char>(digit)) ? digit - '0' : 0;
}

std::array<std::uint8_t, kDcbSize> ComDcbBytes(const ComPortSettings& s) {
    // DCB bit fields of the third double word.
    enum : std::uint32_t {
        fBinary = 1u << 0,
        fParity = 1u << 1,
        fOutxCtsFlow = 1u << 2,
        fOutX = 1u << 8,
        fInX = 1u << 9,
        fErrorChar = 1u << 10,
        fRtsControlEnable = 1u << 12,  // the two-bit fRtsControl = RTS_CONTROL_ENABLE
    };
    std::array<std::uint8_t, kDcbSize> dcb{};
    std::uint32_t flags = fBinary;
    std::uint8_t parityCode = 0;
    switch (lowered(s.parity)) {
        case 'e': parityCode = 2; break;
        case 'm': parityCode = 3; break;
        case 'o': parityCode = 1; break;
        case 's': parityCode = 4; break;
        default: parityCode = 0; break;
    }
    if (parityCode != 0) flags |= fParity | fErrorChar;
    if (s.protocol == 'p') flags |= fOutxCtsFlow | fRtsControlEnable;
    if (s.protocol == 'x') {
        flags |= fOutX | fInX;
        dcb[21] = 0x11;  // XonChar
        dcb[22] = 0x13;  // XoffChar
    }
    putU32(dcb, 0, static_cast<std::uint32_t>(kDcbSize));
    putU32(dcb, 4, static_cast<std::uint32_t>(s.baudRate));
    putU32(dcb, 8, flags);
    dcb[18] = static_cast<std::uint8_t>(s.byteSize);
    dcb[19] = parityCode;
    dcb[20] = s.stopBits == 1.5 ? 1 : s.stopBits == 2 ? 2 : 0;
    return dcb;
}

void WriteComSettings9x(EngineContext& ctx, int comNumber, const std::string& comPortName,
                        const ComPortSettings& settings) {
    auto& p = ctx.platform;
    if (comNumber == 1 || comNumber == 2) {
        const auto dcb = ComDcbBytes(settings);
        int serialKeysSeen = 0;
        for (int i = 0; i <= 3; ++i) {
            cfg::RegistryKey key(p, cfg::Program::Setup, ctx.is64BitWindows);
            if (!key.Open(plat::kHkeyLocalMachine, kSerialClassKey + std::to_string(i))) continue;
            // Fresh per key: a key without the value must not inherit the previous answer.
            std::uint8_t subClass[3] = {0, 0, 0};
            if (!key.QueryValue("PortSubClass", subClass, sizeof subClass) || subClass[0] != 1) continue;
            if (++serialKeysSeen == comNumber) {
                key.SetValue("DCB", dcb.data(), plat::kRegNone, static_cast<std::uint32_t>(dcb.size()));
                break;
            }
        }
    }
    if (comPortName.empty()) return;
    p.profile.WriteProfileString(std::string("Ports"), comPortName, FormatSettingsLine(settings));
    p.windows.SendNotifyMessageBroadcast(plat::kWmWinIniChange, 0, std::string("Ports"));
    p.profile.WriteProfileString(std::nullopt, std::nullopt, std::nullopt);
}

bool WriteComSettingsNt(EngineContext& ctx, const std::string& comPortName, const ComPortSettings& settings,
                        cfg::MessageBuffer& messages) {
    if (comPortName.empty()) return true;
    cfg::RegistryKey key(ctx.platform, cfg::Program::Setup, ctx.is64BitWindows);
    if (!OpenRecord(ctx, key, kNtPortsKey, false, messages)) return false;
    if (!key.SetString(comPortName, FormatSettingsLine(settings))) return RecordWriteFailed(ctx, key, kNtPortsKey, messages);
    return true;
}

int AddTcpIpPort(EngineContext& ctx, const std::string& portName, const std::string& hostAddress) {
    auto& p = ctx.platform;
    // The record's text fields are fixed arrays; a text that does not fit is refused
    // rather than cut into the name of some other port.
    if (portName.empty() || portName.size() >= kMaxPortNameChars || hostAddress.size() >= kMaxHostAddressChars) {
        p.process.SetLastError(plat::kErrorInvalidParameter);
        showSystemError(p, plat::kErrorInvalidParameter);
        return 0;
    }
    plat::PortData1 port;
    port.portName = portName;
    port.version = 1;
    port.protocol = kProtocolRawTcp;
    port.size = 964;
    port.reserved = 0;
    port.hostAddress = hostAddress;
    port.snmpCommunity = "public";
    port.doubleSpool = 1;
    port.portNumber = kPortNumberRaw;
    port.snmpEnabled = 0;
    port.snmpDevIndex = 1;

    plat::PrinterHandle xcv = 0;
    if (!p.spooler.OpenPrinterWithAccess(kTcpMonitor, kServerAccessAdminister, &xcv)) {
        showSystemError(p, p.process.GetLastError());
        return 0;
    }
    std::uint32_t status = 0;
    const bool called = p.spooler.XcvDataAddPort(xcv, port, &status);
    // The call can succeed while the monitor refuses the port: only its status says so.
    // A port that exists already is the port wanted.
    if (called && (status == 0 || status == plat::kErrorAlreadyExists)) {
        p.spooler.ClosePrinter(xcv);
        return 1;
    }
    // When the call itself failed the monitor never set a status; the thread's error
    // then says why, and a failure must not be reported as "completed successfully".
    const std::uint32_t error = status != 0 ? status : p.process.GetLastError();
    p.process.SetLastError(error);
    showSystemError(p, error);
    p.spooler.ClosePrinter(xcv);
    return 0;
}

bool WriteUsbPortRecords(EngineContext& ctx, const std::string& usbPortName, cfg::MessageBuffer& messages) {
    auto& p = ctx.platform;
    const std::string packageFile = cfg::ProgramFolder(p) + cfg::kPackageFile;
    const std::uint32_t deviceValue = p.profile.GetPrivateProfileInt("SUPPORTED-USB-DEVICE", usbPortName, 0, packageFile);
    bool written = false;
    cfg::WithFsRedirectionDisabled(p, cfg::Program::Setup, ctx.is64BitWindows, [&] {
        {
            cfg::RegistryKey key(p, cfg::Program::Setup, ctx.is64BitWindows);
            if (!OpenRecord(ctx, key, kPortNameKey, true, messages)) return;
            if (!key.SetDword(usbPortName, deviceValue)) {
                RecordWriteFailed(ctx, key, kPortNameKey, messages);
                return;
            }
        }
        cfg::RegistryKey key(p, cfg::Program::Setup, ctx.is64BitWindows);
        if (!OpenRecord(ctx, key, kPrinterPortKey, true, messages)) return;
        for (int slot = 1; slot <= 8; ++slot)
            if (!key.SetDword("D" + std::to_string(slot), 0)) {
                RecordWriteFailed(ctx, key, kPrinterPortKey, messages);
                return;
            }
        written = true;
    });
    return written;
}

}  // namespace engine
