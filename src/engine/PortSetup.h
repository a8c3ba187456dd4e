// What a port needs beyond the printer: the serial line settings of a COM port, a
// Standard TCP/IP port for a network printer, and the package's records of a USB port.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "config/MessageBuffer.h"
#include "engine/EngineContext.h"
#include "engine/InstallRequest.h"

namespace engine {

constexpr std::size_t kDcbSize = 28;
constexpr std::size_t kSettingsLineSize = 64;

// "9600,n,8,1,p"; stop bits of exactly 1.5 keep their decimal ("4800,e,7,1.5,x").
std::string FormatSettingsLine(const ComPortSettings& settings);

// "COM5:" out of "QXCOM5:" or "COM5:"; "" when the name holds no "COM".
std::string ComPortName(const std::string& portName);
// The digit after "COM"; 0 when there is none.
int ComNumber(const std::string& portName);

// The Windows DCB record (little endian, 28 bytes) that the 9x serial class keys hold.
std::array<std::uint8_t, kDcbSize> ComDcbBytes(const ComPortSettings& settings);

// Windows 9x: the DCB into the serial class key of COM1 or COM2, the settings line into
// WIN.INI [Ports], and the change announced. Every failure is silent.
void WriteComSettings9x(EngineContext& ctx, int comNumber, const std::string& comPortName,
                        const ComPortSettings& settings);
// Windows NT and later: the settings line as a REG_SZ value of the existing Ports key.
// False, with the reason in `messages`, when the line could not be written.
bool WriteComSettingsNt(EngineContext& ctx, const std::string& comPortName, const ComPortSettings& settings,
                        cfg::MessageBuffer& messages);

// 1 when the Standard TCP/IP port monitor took the port (one of that name already there
// counts), 0 after the system's text was shown in an "ERROR" box.
int AddTcpIpPort(EngineContext& ctx, const std::string& portName, const std::string& hostAddress);

// The port's number from SUPPORTED-USB-DEVICE under SOFTWARE\TARVEKO\PORTNAME, and the
// D1..D8 slots under SOFTWARE\TARVEKO\PRINTERPORT, in the 64-bit view on 64-bit Windows.
// False, with the reason in `messages`, when a record could not be written.
bool WriteUsbPortRecords(EngineContext& ctx, const std::string& usbPortName, cfg::MessageBuffer& messages);

}  // namespace engine
