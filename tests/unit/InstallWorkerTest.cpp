#include <gtest/gtest.h>

#include "config/LanguageFile.h"
#include "config/PackageFiles.h"
#include "engine/ComponentUpdates.h"
#include "EngineMachine.h"

using namespace engine;
using sim::WindowsVersion;
using testing_support::EngineMachine;

namespace {

std::string text(EngineMachine& m, const char* key) { return cfg::MessageTexts(m.p, cfg::Program::Setup).GetText(key); }

struct MatrixCase {
    WindowsVersion version;
    bool sixtyFour;
    const char* port;
    int variant;
};

std::string caseName(const ::testing::TestParamInfo<MatrixCase>& info) {
    std::string port = info.param.port;
    for (char& c : port)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return std::string(sim::windowsVersionName(info.param.version)) + (info.param.sixtyFour ? "_64_" : "_32_") + port +
           (info.param.variant ? "_GDI" : "_STD");
}

std::vector<MatrixCase> matrix() {
    std::vector<MatrixCase> cases;
    for (auto v : {WindowsVersion::Win98, WindowsVersion::Win2000, WindowsVersion::WinXP, WindowsVersion::Server2003,
                   WindowsVersion::Vista, WindowsVersion::Server2008, WindowsVersion::Win7, WindowsVersion::Win10,
                   WindowsVersion::Win11})
        for (bool is64 : {false, true}) {
            if (is64 && (v == WindowsVersion::Win98 || v == WindowsVersion::Win2000 || v == WindowsVersion::WinXP))
                continue;
            for (const char* port : {"COM1:", "LPT1:", "USB_KLM-A100_1", "NET"})
                for (int variant : {0, 1}) cases.push_back({v, is64, port, variant});
        }
    cases.push_back({WindowsVersion::WinXP64, true, "USB_KLM-A100_2", 1});
    cases.push_back({WindowsVersion::Nt4, false, "LPT1:", 1});
    cases.push_back({WindowsVersion::Server2022, true, "USB_KLM-A100_1", 1});
    cases.push_back({WindowsVersion::Win81, false, "COM1:", 1});
    return cases;
}

}  // namespace

class FullInstallation : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(FullInstallation, EndsWithTheWorkingPrinterAndTheRestartNotice) {
    const MatrixCase& c = GetParam();
    EngineMachine m(c.version, c.sixtyFour);
    InstallChoices choices = m.choices("KLM-A100", cfg::kReceipt, c.port);
    choices.variant = c.variant;
    choices.setAsDefault = true;
    EngineMachine::Result r = m.install(choices);
    ASSERT_EQ(r.state, kSucceeded) << r.messages;

    const auto* printer = m.machine.spooler.printer(r.printerName);
    ASSERT_NE(printer, nullptr) << r.printerName;
    const std::string port = *printer->info.portName;
    const int kind = PortKindOf(c.port);
    static const char* const kMarks[] = {"(S)", "(P)", "(U) ", "(E)"};
    EXPECT_NE(r.printerName.find(kMarks[kind]), std::string::npos) << r.printerName;
    EXPECT_TRUE(m.machine.spooler.hasDriver(*printer->info.driverName, m.os == 0 ? "Windows 4.0" : ""));
    if (m.os == cfg::kOsNt4) {  // NT 4.0 keeps the default printer as a WIN.INI line
        EXPECT_EQ(m.p.profile.GetProfileString("windows", "device", "", 260),
                  r.printerName + "," + *printer->info.driverName + "," + port);
    } else {
        EXPECT_EQ(m.machine.spooler.defaultPrinter(), r.printerName);
    }
    EXPECT_EQ(m.machine.services.currentState("Spooler"), plat::kServiceRunning);

    if (m.os == cfg::kOsWin9x) {
        EXPECT_EQ(r.messages, "") << "Windows 98 shows its own notice";
    } else {
        EXPECT_EQ(r.messages, text(m, kind == kPortUsb ? "IDS_INF_USBRESTART" : "IDS_INF_NTRESTART"));
    }

    // The monitor of the port, and nothing for LPT or NET.
    const bool serialMonitor = kind == kPortCom && !m.is64 && m.os != cfg::kOsWin9x;
    EXPECT_EQ(m.machine.spooler.monitor("KLM COM Port") != nullptr, serialMonitor);
    EXPECT_EQ(m.machine.spooler.monitor("KLM USB Port") != nullptr, kind == kPortUsb && m.os != cfg::kOsNt4);
    if (kind == kPortCom && m.os != cfg::kOsWin9x) {
        auto line = m.machine.registry.peek("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:");
        ASSERT_TRUE(line.has_value());
        EXPECT_EQ(std::string(line->data.begin(), line->data.end() - 1), "9600,n,8,1, ");
    }
    if (kind == kPortUsb) {
        EXPECT_TRUE(m.machine.registry.peek("HKLM\\SOFTWARE\\TARVEKO\\PRINTERPORT", port).has_value());
    }
    if (kind == kPortNet) {
        EXPECT_EQ(port, "IP_192.168.1.20");
    }
    // Windows 8 to 11 read the model's own ".Win10" section, which has no control font;
    // Server 2012 and later fall back to its ".2008" section, which has one.
    if (m.os != cfg::kOsWin9x) {
        const std::string font = m.machine.spooler.driverDirectory() + "\\3\\KLMCTRL.TTF";
        EXPECT_EQ(m.machine.files.fileExistsNative(font), m.os != cfg::kOsWin10) << font;
    }
}

INSTANTIATE_TEST_SUITE_P(Matrix, FullInstallation, ::testing::ValuesIn(matrix()), caseName);
