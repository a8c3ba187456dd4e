// The wizard's frame on the simulated machine: which page opens, Back and Next with and
// without the agreement page, the hand-over when a page is left (AdvancedSetup, the
// model's BaudRate, the system support check), the refusals when it opens, help.
#include <gtest/gtest.h>

#include "WizardMachine.h"

using namespace testing_support;
using namespace setup;
using sim::WindowsVersion;

namespace {

// Receipt KLM-A200: AdvancedSetup 1, BaudRate 115200. Ticket KLM-B300: AdvancedSetup 0,
// BaudRate 9600 (sample package).
void toPortPage(WizardMachine& t) {
    while (t.wizard->currentPage < kPortPageIndex) t.next();
}

}  // namespace

TEST(WizardFrame, OpensOnTheTypePageWithoutAgreementAndBackNeverReachesIt) {
    WizardMachine t;
    SetupWizardDialog& w = t.open(0);
    ASSERT_TRUE(t.opened);
    EXPECT_EQ(w.currentPage, kPrinterTypePageIndex);
    EXPECT_TRUE(t.visible(*t.printerType));
    EXPECT_FALSE(t.visible(*t.license));
    EXPECT_TRUE(t.frame.control(kNextButton).enabled);
    EXPECT_FALSE(t.frame.control(kBackButton).enabled);
    EXPECT_EQ(t.frame.control(kNextButton).text, "Next >");
    EXPECT_EQ(t.frame.caption(), "Printer Driver Setup") << "a second setup looks for this title";
    EXPECT_EQ(t.frame.control(kHelpHint).text, "Press F1 for help");
    EXPECT_EQ(t.window->aboutEntry, t.message("IDS_ABOUTBOX"));

    t.next();
    EXPECT_EQ(w.currentPage, kInstallModePageIndex);
    EXPECT_TRUE(t.frame.control(kBackButton).enabled);
    t.back();
    EXPECT_EQ(w.currentPage, kPrinterTypePageIndex);
    EXPECT_FALSE(t.frame.control(kBackButton).enabled) << "page 0 is not reachable";
    EXPECT_TRUE(t.frame.control(kNextButton).focused);
    EXPECT_TRUE(t.frame.control(kNextButton).enabled);
}

TEST(WizardFrame, AgreementPageGatesNextAndStaysAcceptedOnReturn) {
    WizardMachine t;
    SetupWizardDialog& w = t.open(1);
    ASSERT_TRUE(t.opened);
    EXPECT_EQ(w.currentPage, kLicensePageIndex);
    EXPECT_FALSE(t.frame.control(kNextButton).enabled);
    t.click(*t.license, kAcceptRadio);
    EXPECT_TRUE(t.frame.control(kNextButton).enabled);
    t.next();
    EXPECT_EQ(w.currentPage, kPrinterTypePageIndex);
    EXPECT_TRUE(t.frame.control(kBackButton).enabled);
    t.back();
    EXPECT_EQ(w.currentPage, kLicensePageIndex);
    EXPECT_FALSE(t.frame.control(kBackButton).enabled);
    EXPECT_TRUE(t.frame.control(kNextButton).enabled) << "Accept is still chosen";
}

TEST(WizardFrame, LeavingTheAgreementWithNoModelsKeepsNextDisabled) {
    WizardMachine t;
    t.write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\nDEVICENUMBER=1\r\n1=KLM-DIAG-Utility\r\n");
    t.open(1);
    t.click(*t.license, kAcceptRadio);
    t.next();
    EXPECT_EQ(t.wizard->currentPage, kPrinterTypePageIndex);
    EXPECT_FALSE(t.frame.control(kNextButton).enabled);
    // Back gives Next back: the agreement is still accepted.
    t.back();
    EXPECT_EQ(t.wizard->currentPage, kLicensePageIndex);
    EXPECT_TRUE(t.frame.control(kNextButton).enabled);
}

TEST(WizardFrame, AdvancedSetupIsReadEachTimeTheTypePageIsLeft) {
    WizardMachine t;
    t.open();
    t.chooseModel(0, "KLM-A200");
    t.next();
    EXPECT_TRUE(t.view(*t.installMode).control(kAdvancedRadio).enabled);
    t.click(*t.installMode, kAdvancedRadio);
    EXPECT_EQ(t.installMode->typicalMode, 0);

    t.back();
    t.chooseModel(1, "KLM-B300");
    t.next();
    EXPECT_FALSE(t.view(*t.installMode).control(kAdvancedRadio).enabled);
    EXPECT_EQ(t.installMode->typicalMode, 1);
    EXPECT_EQ(t.view(*t.installMode).control(kModeNote1).text, t.message("IDS_TYPICAL_NOTES"));
    EXPECT_EQ(t.state->portSection, "KLM-B300.PORT");
    EXPECT_EQ(t.state->modelFile, "C:\\PKG\\DRVCONFIG\\setup_Ticket.ini");
}

TEST(WizardFrame, BaudRateIsReloadedOnlyAfterGoingBackBeforeTheModePage) {
    WizardMachine t;
    t.open();
    t.chooseModel(0, "KLM-A200");  // BaudRate 115200
    toPortPage(t);
    EXPECT_EQ(t.port->baudRate, 115200);
    EXPECT_EQ(t.view(*t.port).control(kBaudRateList).selection, 9);
    t.choose(*t.port, kBaudRateList, "4800");
    EXPECT_EQ(t.port->baudRate, 4800);

    t.back();  // port -> OS page; leaving it again keeps the user's choice
    t.next();
    EXPECT_EQ(t.port->baudRate, 4800);

    t.back();
    t.back();  // mode page
    t.next();
    t.next();
    EXPECT_EQ(t.port->baudRate, 4800) << "the mode page is not below itself";

    t.back();
    t.back();
    t.back();  // type page: the next departure from the OS page reloads
    toPortPage(t);
    EXPECT_EQ(t.port->baudRate, 115200);
    EXPECT_EQ(t.view(*t.port).control(kBaudRateList).selection, 9);
}

TEST(WizardFrame, SystemSupportIsCheckedWhenTheOsPageIsLeft) {
    WizardMachine t;
    t.write("DRVCONFIG\\setup_receipt.ini", "[KLM-A100.PORT]\r\nLPTSUPPORTED=1\r\nSystemVistaSupported=1\r\n");
    t.open();
    t.chooseModel(0, "KLM-A100");
    t.next();
    t.next();
    ASSERT_EQ(t.wizard->currentPage, kOsPageIndex);
    t.next();
    EXPECT_EQ(t.wizard->currentPage, kOsPageIndex) << "Windows 7 has no support key";
    EXPECT_TRUE(t.visible(*t.osPage));
    EXPECT_FALSE(t.visible(*t.port));
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_NOTSUPPORTWin7")});
    EXPECT_EQ(t.view(*t.port).control(kBaudRateList).selection, 7) << "no BaudRate key: 38400 shown";

    // Back and forward again keep the choices: same model, same refusal.
    t.back();
    t.back();
    EXPECT_EQ(t.printerType->selectedModel, "KLM-A100");
    t.next();
    t.next();
    t.next();
    EXPECT_EQ(t.boxTexts().size(), 2u);
}

TEST(WizardFrame, XpAndVistaTargets) {
    const std::string section = "[KLM-A100.PORT]\r\nLPTSUPPORTED=1\r\n";
    {
        WizardMachine xp(WindowsVersion::WinXP);
        xp.write("DRVCONFIG\\setup_receipt.ini", section);
        xp.open();
        xp.chooseModel(0, "KLM-A100");
        toPortPage(xp);
        EXPECT_EQ(xp.wizard->currentPage, kPortPageIndex) << "XP has no support key";
        EXPECT_TRUE(xp.boxes().empty());
    }
    WizardMachine vista(WindowsVersion::Vista);
    vista.write("DRVCONFIG\\setup_receipt.ini", section);
    vista.open();
    vista.chooseModel(0, "KLM-A100");
    vista.next();
    vista.next();
    vista.next();
    EXPECT_EQ(vista.wizard->currentPage, kOsPageIndex);
    EXPECT_EQ(vista.boxTexts(), std::vector<std::string>{vista.message("IDS_NOTSUPPORTVISTA")});
}

// Windows 8 and later are refused by their own key, or by the older class's when the model
// has none of its own, and the refusal names the running Windows.
TEST(WizardFrame, NewerWindowsAreCheckedByTheirOwnKeyOrTheOlderOne) {
    struct Row {
        WindowsVersion version;
        const char* portSection;
        const char* refusal;  // null: the port page is reached
    };
    for (const Row& r : {Row{WindowsVersion::Win10, "SystemWin7Supported=1\r\n", nullptr},
                         Row{WindowsVersion::Win11, "SystemWin7Supported=0\r\n", "IDS_NOTSUPPORTWin10"},
                         Row{WindowsVersion::Win10, "SystemWin7Supported=1\r\nSystemWin10Supported=0\r\n",
                             "IDS_NOTSUPPORTWin10"},
                         Row{WindowsVersion::Server2019, "System2008Supported=1\r\n", nullptr},
                         Row{WindowsVersion::Server2022, "SystemWin7Supported=1\r\n", "IDS_NOTSUPPORT2012"}}) {
        WizardMachine t(r.version, true);
        t.write("DRVCONFIG\\setup_receipt_64.ini", std::string("[KLM-A100.PORT]\r\nLPTSUPPORTED=1\r\n") + r.portSection);
        t.open();
        t.chooseModel(0, "KLM-A100");
        for (int step = 0; step < 3; ++step) t.next();  // the type, mode and system pages
        const std::string name = std::string(sim::windowsVersionName(r.version)) + " " + r.portSection;
        EXPECT_EQ(t.wizard->currentPage, r.refusal ? kOsPageIndex : kPortPageIndex) << name;
        EXPECT_EQ(t.boxTexts(), r.refusal ? std::vector<std::string>{t.message(r.refusal)} : std::vector<std::string>{})
            << name;
    }
}

TEST(WizardFrame, ArrivingAtThePortPageHandsTheChoicesOver) {
    WizardMachine t;
    t.open();
    t.chooseModel(0, "KLM-A100");
    toPortPage(t);
    EXPECT_EQ(t.frame.control(kNextButton).text, "Install");
    EXPECT_EQ(t.wizard->request.modelName, "KLM-A100");
    EXPECT_EQ(t.wizard->request.category, 0);
    EXPECT_EQ(t.wizard->request.targetOs, cfg::kOsWin7);
    EXPECT_GT(t.view(*t.port).control(kPortList).items.size(), 0u);
    t.back();
    EXPECT_EQ(t.frame.control(kNextButton).text, "Next >");
}

TEST(WizardFrame, MissingSidePictureIsTheOnlyMessageEvenForANonAdministrator) {
    WizardMachine t;
    t.machine.security.setUser(false);
    t.sidePictureUnreadable = true;
    t.open();
    EXPECT_FALSE(t.opened);
    EXPECT_TRUE(t.frame.closed());
    EXPECT_EQ(t.frame.result(), plat::kIdCancel);
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_ERR_NOLEFT")});
    EXPECT_EQ(t.window->views.size(), 5u) << "the pages exist before the refusal";
}

TEST(WizardFrame, NonAdministratorIsRefusedFromWindows2000On) {
    WizardMachine t;
    t.machine.security.setUser(false);
    t.open();
    EXPECT_FALSE(t.opened);
    EXPECT_EQ(t.boxTexts(), std::vector<std::string>{t.message("IDS_ADMIN")});
}

TEST(WizardFrame, HelpOpensTheFileOnceAndThenBringsItsWindowForward) {
    WizardMachine t;
    t.open();
    t.wizard->OnHelp();
    ASSERT_EQ(t.machine.shell.starts().size(), 1u);
    EXPECT_EQ(t.machine.shell.starts()[0].verb, "open");
    EXPECT_EQ(t.machine.shell.starts()[0].file, ".\\Help.chm");
    const plat::WindowHandle help = t.machine.windows.addWindow("Printer Driver Setup Help", true);
    t.wizard->OnHelp();
    EXPECT_EQ(t.machine.shell.starts().size(), 1u);
    EXPECT_EQ(t.machine.windows.foreground(), help);
    EXPECT_FALSE(t.machine.windows.window(help)->iconic) << "restored";
}

TEST(WizardFrame, ChineseWordingPutsTheFontOnTheFrame) {
    WizardMachine t;
    t.open(0, 1);
    EXPECT_EQ(t.window->chineseFontApplied, 1);
    EXPECT_EQ(t.printerType->useChineseFont, 1);
}
