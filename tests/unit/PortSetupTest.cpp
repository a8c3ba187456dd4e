#include <gtest/gtest.h>

#include "engine/PortSetup.h"
#include "TestMachine.h"

using namespace engine;
using testing_support::TestMachine;
using Bytes = std::vector<std::uint8_t>;

namespace {

ComPortSettings Serial(int baud, char parity, int bits, double stop, char protocol) {
    return ComPortSettings{baud, parity, bits, stop, protocol};
}

const std::string kClassKey = "HKLM\\System\\CurrentControlSet\\Services\\Class\\Ports\\000";
const char* const kNtPorts = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

struct PortMachine : TestMachine {
    void classKey(int index, const char* value, std::uint8_t byte) {
        machine.registry.poke(kClassKey + std::to_string(index), value, plat::kRegBinary, {byte});
    }
    bool hasDcb(int index) const { return machine.registry.peek(kClassKey + std::to_string(index), "DCB").has_value(); }
    std::optional<Bytes> value(const std::string& key, const std::string& name) const {
        auto v = machine.registry.peek(key, name);
        return v ? std::optional<Bytes>(v->data) : std::nullopt;
    }
    std::string winIni() { return machine.files.readFile(machine.profile.winIniPath()).value_or(""); }
};

}  // namespace

TEST(PortSetup, SettingsLine) {
    EXPECT_EQ(FormatSettingsLine(Serial(9600, 'n', 8, 1, 'p')), "9600,n,8,1,p");
    EXPECT_EQ(FormatSettingsLine(Serial(4800, 'e', 7, 1.5, 'x')), "4800,e,7,1.5,x");
    EXPECT_EQ(FormatSettingsLine(Serial(115200, 'O', 5, 2, 'p')), "115200,o,5,2,p") << "parity lowered";
    EXPECT_EQ(FormatSettingsLine(Serial(38400, 'm', 8, 1, ' ')), "38400,m,8,1, ");
    const std::string huge = FormatSettingsLine(Serial(-2147483647 - 1, 'n', 8, 1e300, 'p'));
    EXPECT_EQ(huge.size(), kSettingsLineSize - 1) << "cut to its buffer";
}

TEST(PortSetup, ComNameAndNumber) {
    EXPECT_EQ(ComPortName("QXCOM5:"), "COM5:");
    EXPECT_EQ(ComNumber("QXCOM5:"), 5);
    EXPECT_EQ(ComNumber("COM1:"), 1);
    EXPECT_EQ(ComPortName("LPT1:"), "");
    EXPECT_EQ(ComNumber("QXCOM"), 0) << "nothing after COM";
}

TEST(PortSetup, DcbBytes) {
    const std::array<std::uint8_t, 28> ex = {28, 0, 0, 0, 0xC0, 0x12, 0, 0,    0x03, 0x07, 0, 0, 0, 0,
                                             0,  0, 0, 0, 7,    2,    1, 0x11, 0x13, 0,    0, 0, 0, 0};
    EXPECT_EQ(ComDcbBytes(Serial(4800, 'e', 7, 1.5, 'x')), ex);
    const std::array<std::uint8_t, 28> np = {28, 0, 0, 0, 0x80, 0x25, 0, 0, 0x05, 0x10, 0, 0, 0, 0,
                                             0,  0, 0, 0, 8,    0,    0, 0, 0,    0,    0, 0, 0, 0};
    EXPECT_EQ(ComDcbBytes(Serial(9600, 'n', 8, 1, 'p')), np);
    for (auto [parity, code] : {std::pair{'o', 1}, {'M', 3}, {'s', 4}}) {
        const auto dcb = ComDcbBytes(Serial(1200, parity, 8, 2, ' '));
        EXPECT_EQ(dcb[19], code) << parity;
        EXPECT_EQ(dcb[20], 2);
        EXPECT_EQ(dcb[8] | dcb[9] << 8, 0x403) << "fBinary, fParity, fErrorChar only";
    }
}

TEST(PortSetup, Com2On9xWritesTheSecondSerialClassKeyOnly) {
    PortMachine t;
    t.machine.setWindows(sim::WindowsVersion::Win98, false);
    t.classKey(0, "PortSubClass", 0);  // a modem
    t.classKey(1, "PortSubClass", 1);
    t.classKey(2, "Other", 1);  // must not pass for serial on the previous key's answer
    t.classKey(3, "PortSubClass", 1);
    EngineContext ctx(t.p, false);
    WriteComSettings9x(ctx, 2, "COM2:", Serial(9600, 'n', 8, 1, 'p'));

    EXPECT_FALSE(t.hasDcb(0) || t.hasDcb(1) || t.hasDcb(2));
    auto dcb = t.machine.registry.peek(kClassKey + "3", "DCB");
    ASSERT_TRUE(dcb);
    EXPECT_EQ(dcb->type, plat::kRegNone);
    const auto expected = ComDcbBytes(Serial(9600, 'n', 8, 1, 'p'));
    EXPECT_EQ(dcb->data, Bytes(expected.begin(), expected.end()));
    EXPECT_NE(t.winIni().find("COM2:=9600,n,8,1,p"), std::string::npos);
    ASSERT_EQ(t.machine.windows.broadcasts().size(), 1u);
    const auto& b = t.machine.windows.broadcasts()[0];
    EXPECT_TRUE(b.message == plat::kWmWinIniChange && b.wParam == 0 && b.lParamText == "Ports" && b.notifyOnly);
    EXPECT_EQ(t.machine.faults.timesCalled("WriteProfileStringA"), 2) << "the line, then the cache flush";
    EXPECT_EQ(t.machine.registry.openHandleCount(), 0u);
}

TEST(PortSetup, Com1TakesTheFirstSerialKeyCom3NoneAndFailuresAreSilent) {
    PortMachine t;
    t.classKey(1, "PortSubClass", 1);
    t.classKey(2, "PortSubClass", 1);
    EngineContext ctx(t.p, false);
    WriteComSettings9x(ctx, 1, "COM1:", Serial(2400, 'o', 7, 2, 'x'));
    EXPECT_TRUE(t.hasDcb(1) && !t.hasDcb(2));
    WriteComSettings9x(ctx, 3, "COM3:", Serial(300, 'n', 8, 1, ' '));
    EXPECT_FALSE(t.hasDcb(2));
    EXPECT_NE(t.winIni().find("COM3:=300,n,8,1, \r\n"), std::string::npos) << t.winIni();

    t.machine.faults.failCall("RegSetValueExA", plat::kErrorAccessDenied);
    WriteComSettings9x(ctx, 2, "COM2:", Serial(9600, 'n', 8, 1, 'p'));
    EXPECT_FALSE(t.hasDcb(2));
    EXPECT_NE(t.winIni().find("COM2:=9600,n,8,1,p"), std::string::npos);
    EXPECT_TRUE(t.boxes().empty());
}

TEST(PortSetup, NtSettingsGoUnderTheExistingPortsKeyInThe64BitView) {
    PortMachine t;
    t.machine.setWindows(sim::WindowsVersion::WinXP, false);
    t.p.registry.RegDeleteKey(plat::kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports");
    ASSERT_FALSE(t.machine.registry.keyExists(kNtPorts));
    EngineContext ctx(t.p, false);
    cfg::MessageBuffer messages;
    EXPECT_FALSE(WriteComSettingsNt(ctx, ComPortName("QXCOM5:"), Serial(4800, 'e', 7, 1.5, 'x'), messages));
    EXPECT_FALSE(t.machine.registry.keyExists(kNtPorts)) << "never created";
    EXPECT_FALSE(messages.empty()) << "a port without its settings is a failure with its reason";
    messages.clear();

    t.machine.registry.poke(kNtPorts, "COM1:", plat::kRegSz, {'9', 0});
    EXPECT_TRUE(WriteComSettingsNt(ctx, ComPortName("QXCOM5:"), Serial(4800, 'e', 7, 1.5, 'x'), messages));
    auto v = t.machine.registry.peek(kNtPorts, "COM5:");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, plat::kRegSz);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), std::string("4800,e,7,1.5,x", 15)) << "with its NUL";
    EXPECT_TRUE(t.machine.windows.broadcasts().empty());

    PortMachine t64;
    t64.machine.setWindows(sim::WindowsVersion::Win7, true);
    t64.machine.registry.poke(kNtPorts, "COM1:", plat::kRegSz, {'9', 0});
    EngineContext ctx64(t64.p, true);
    EXPECT_TRUE(WriteComSettingsNt(ctx64, "COM2:", Serial(9600, 'n', 8, 1, 'p'), messages));
    EXPECT_TRUE(t64.value(kNtPorts, "COM2:"));
}

TEST(PortSetup, TcpIpPortIsRawOn9100WithPublicCommunity) {
    TestMachine t;
    EngineContext ctx(t.p, false);
    ASSERT_EQ(AddTcpIpPort(ctx, "IP_192.168.1.20", "192.168.1.20"), 1);
    ASSERT_EQ(t.machine.spooler.tcpPorts().size(), 1u);
    const plat::PortData1& d = t.machine.spooler.tcpPorts().begin()->second;
    EXPECT_EQ(d.portName, "IP_192.168.1.20");
    EXPECT_EQ(d.hostAddress, "192.168.1.20");
    EXPECT_EQ(d.snmpCommunity, "public");
    EXPECT_EQ(d.queue + d.ipAddress, "");
    EXPECT_EQ((std::vector<std::uint32_t>{d.version, d.protocol, d.size, d.reserved, d.doubleSpool, d.portNumber,
                                          d.snmpEnabled, d.snmpDevIndex}),
              (std::vector<std::uint32_t>{1, 1, 964, 0, 1, 9100, 0, 1}));
    EXPECT_EQ(AddTcpIpPort(ctx, "IP_192.168.1.20", "192.168.1.20"), 1) << "an existing port is no failure";
    EXPECT_TRUE(t.boxes().empty());
    EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u);
}

TEST(PortSetup, TcpIpFailuresShowTheSystemTextInAnErrorBox) {
    TestMachine t;
    EngineContext ctx(t.p, false);
    t.machine.spooler.tcpMonitorPresent = false;
    EXPECT_EQ(AddTcpIpPort(ctx, "IP_10.0.0.1", "10.0.0.1"), 0);
    ASSERT_EQ(t.boxes().size(), 1u);
    const auto& box = t.boxes()[0];
    EXPECT_EQ(box.text, "The printer name is invalid.\r\n");
    EXPECT_TRUE(box.caption == "ERROR" && box.type == plat::kMbIconInformation && box.owner == 0);

    t.machine.spooler.tcpMonitorPresent = true;
    t.machine.faults.failCall("XcvDataW", plat::kErrorRpcServerUnavailable, 1);
    EXPECT_EQ(AddTcpIpPort(ctx, "IP_10.0.0.1", "10.0.0.1"), 0);
    ASSERT_EQ(t.boxes().size(), 2u);
    EXPECT_EQ(t.boxes()[1].text, "The RPC server is unavailable.\r\n") << "not \"completed successfully\"";
    EXPECT_EQ(t.machine.spooler.openHandleCount(), 0u);

    // The call succeeds and the monitor's status refuses the port: a failure all the same.
    t.machine.spooler.tcpMonitorRefusal = plat::kErrorAccessDenied;
    EXPECT_EQ(AddTcpIpPort(ctx, "IP_10.0.0.1", "10.0.0.1"), 0);
    ASSERT_EQ(t.boxes().size(), 3u);
    EXPECT_EQ(t.boxes()[2].text, "Access is denied.\r\n");
    t.machine.spooler.tcpMonitorRefusal = 0;

    EXPECT_EQ(AddTcpIpPort(ctx, "IP_" + std::string(61, 'a'), "1.2.3.4"), 0) << "does not fit the record";
    EXPECT_EQ(AddTcpIpPort(ctx, "IP_x", std::string(49, 'h')), 0);
    EXPECT_TRUE(t.machine.spooler.tcpPorts().empty());
    EXPECT_EQ(AddTcpIpPort(ctx, "IP_" + std::string(60, 'a'), std::string(48, 'h')), 1) << "the longest that fit";
}

TEST(PortSetup, UsbRecordsTakeTheNumberFromThePackageFileOrZero) {
    cfg::MessageBuffer messages;
    PortMachine t;
    t.machine.process.currentDir = "C:\\TEMP";  // the package file is the one beside the program
    EngineContext ctx(t.p, false);
    EXPECT_TRUE(WriteUsbPortRecords(ctx, "USB_KLM-A100_2", messages));
    EXPECT_TRUE(WriteUsbPortRecords(ctx, "USB_KLM-Z9_1", messages));
    EXPECT_EQ(t.value("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME", "USB_KLM-A100_2"), Bytes({102, 0, 0, 0}));
    EXPECT_EQ(t.value("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME", "USB_KLM-Z9_1"), Bytes({0, 0, 0, 0}));
    for (int slot = 1; slot <= 8; ++slot)
        EXPECT_EQ(t.value("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT", "D" + std::to_string(slot)), Bytes(4, 0)) << slot;
    EXPECT_EQ(t.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT", "D1")->type, plat::kRegDword);
    EXPECT_EQ(t.machine.registry.openHandleCount(), 0u);

    TestMachine denied;
    denied.machine.faults.failCall("RegCreateKeyExA", plat::kErrorAccessDenied);
    denied.machine.faults.failCall("RegOpenKeyExA", plat::kErrorAccessDenied);
    EngineContext deniedCtx(denied.p, false);
    cfg::MessageBuffer refused;
    EXPECT_FALSE(WriteUsbPortRecords(deniedCtx, "USB_KLM-A100_1", refused));
    EXPECT_TRUE(denied.boxes().empty());
    EXPECT_EQ(refused.text().rfind("The registry record HKEY_LOCAL_MACHINE\\SOFTWARE\\TARVEKO\\PORTNAME\\ could not be written.\nAccess is denied.", 0), 0u) << refused.text();
}

TEST(PortSetup, UsbRecordsLieInThe64BitViewOn64BitWindows) {
    cfg::MessageBuffer messages;
    PortMachine t;
    t.machine.setWindows(sim::WindowsVersion::Win7, true);
    EngineContext ctx(t.p, true);
    EXPECT_TRUE(WriteUsbPortRecords(ctx, "USB_KLM-C5_3", messages));
    EXPECT_EQ(t.value("HKLM\\SOFTWARE\\TARVEKO\\PORTNAME", "USB_KLM-C5_3"), Bytes({153, 0, 0, 0}));
    EXPECT_TRUE(t.value("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT", "D8"));
    EXPECT_FALSE(t.machine.registry.keyExists("HKLM\\SOFTWARE\\Wow6432Node\\TARVEKO"));
    EXPECT_EQ(t.machine.system.redirectionDisableCount, 1);
    EXPECT_TRUE(t.machine.files.redirectionEnabled()) << "switched back on";
}
