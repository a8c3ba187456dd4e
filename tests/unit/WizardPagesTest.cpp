// The agreement, install-mode, operating-system and printer-type pages of the wizard,
// control by control, on simulated machines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/LanguageFile.h"
#include "config/PackageConfig.h"
#include "platform/sim/SimDialogView.h"
#include "setup/InstallModePage.h"
#include "setup/LicensePage.h"
#include "setup/OsPage.h"
#include "setup/PrinterTypePage.h"
#include "setup/WizardControls.h"
#include "TestMachine.h"

using namespace setup;
using sim::WindowsVersion;
using testing_support::TestMachine;

namespace {

using Items = std::vector<std::string>;

constexpr plat::WindowHandle kPageWindow = 0x5100;

// A machine with setup in C:\PKG, the page's controls and the frame's. Without the sample
// package only the language files are there, so the test writes the rest.
struct PageMachine : TestMachine {
    sim::SimDialogView view;
    sim::SimDialogView frameView;
    setup::SetupState state{p, false};

    explicit PageMachine(bool samplePackage = true) : TestMachine(samplePackage) {
        if (!samplePackage)
            machine.files.mapHostFolder(std::string(testing_support::kProgramFolder) + "\\language",
                                        std::string(SAMPLE_PACKAGE_DIR) + "/language");
        view.setWindow(kPageWindow);
    }
    void setWindows(WindowsVersion version, bool is64) {
        machine.setWindows(version, is64);
        state.is64BitWindows = machine.system.wow64;
    }
    void bind(WizardPage& page) {
        page.attach(&view);
        page.frame = &frameView;
    }
    std::string text(const char* section, const char* key) {
        return cfg::LanguageFile(p, cfg::Program::Setup, section).GetText(key);
    }
    std::vector<int> checked(std::initializer_list<int> group) {
        std::vector<int> ids;
        for (int id : group)
            if (view.IsChecked(id)) ids.push_back(id);
        return ids;
    }
};

// ---------------------------------------------------------------- agreement page

TEST(LicensePage, ShowsLicenseTxtAsItIsAndStartsOnReject) {
    PageMachine m;
    LicensePage page(m.state);
    m.bind(page);
    page.showAgreement = 1;
    m.view.SetCheck(kAcceptRadio, true);

    EXPECT_TRUE(page.OnInitDialog());
    const std::string license = m.machine.files.readFile("C:\\PKG\\License.txt").value_or("");
    ASSERT_NE(license.find("\r\n"), std::string::npos) << "the sample file has CR LF lines";
    EXPECT_EQ(m.view.GetText(kAgreementText), license);
    EXPECT_EQ(m.checked({kAcceptRadio, kRejectRadio}), std::vector<int>{kRejectRadio});
    EXPECT_FALSE(m.frameView.closed());
    EXPECT_TRUE(m.boxes().empty());

    page.OnShowWindow();
    EXPECT_EQ(m.view.GetText(kAgreementGroup), m.text("Legal", "Agreement"));
    EXPECT_EQ(m.view.GetText(kAcceptRadio), m.text("Legal", "Accept"));
    EXPECT_EQ(m.view.GetText(kRejectRadio), m.text("Legal", "Reject"));
    EXPECT_FALSE(m.view.GetText(kAcceptRadio).empty());
}

TEST(LicensePage, MissingUnreadableOrHugeLicenseClosesTheWizardAsByCancel) {
    enum { kMissing, kReadFault, kHuge };
    for (int readFault : {kMissing, kReadFault, kHuge}) {
        PageMachine m(false);
        if (readFault == kReadFault) {
            m.write("License.txt", "terms");
            m.machine.faults.failCall("ReadFile", plat::kErrorAccessDenied);
        }
        if (readFault == kHuge) m.write("License.txt", std::string(1024 * 1024 + 1, 'x'));
        LicensePage page(m.state);
        m.bind(page);
        page.showAgreement = 1;

        EXPECT_FALSE(page.OnInitDialog()) << readFault;
        ASSERT_EQ(m.boxes().size(), 1u);
        EXPECT_EQ(m.boxes()[0].text, m.text("Message", "IDS_ERR_NOLICENSE"));
        EXPECT_FALSE(m.boxes()[0].text.empty());
        EXPECT_EQ(m.boxes()[0].owner, kPageWindow) << "owned by the page";
        EXPECT_TRUE(m.frameView.closed());
        EXPECT_EQ(m.frameView.result(), kCancelButton);
        EXPECT_EQ(m.view.GetText(kAgreementText), "");
    }
}

TEST(LicensePage, WithoutAgreementTheFileIsNeverRead) {
    PageMachine m(false);
    LicensePage page(m.state);
    m.bind(page);
    page.showAgreement = 0;

    EXPECT_TRUE(page.OnInitDialog());
    EXPECT_TRUE(m.boxes().empty());
    EXPECT_FALSE(m.frameView.closed());
    EXPECT_EQ(m.machine.faults.timesCalled("CreateFileA"), 0);
    EXPECT_TRUE(m.view.IsChecked(kRejectRadio));
}

TEST(LicensePage, FileComesFromTheCurrentDirectoryWithItsBytesUnchanged) {
    PageMachine m(false);
    m.write("License.txt", "not this one");
    const std::string gbk = "\xB0\xE6\xC8\xA8\r\nline two\n\tend";  // GBK text, a bare LF, a tab
    m.machine.files.writeFile("D:\\MEDIA\\License.txt", gbk);
    m.machine.process.currentDir = "D:\\MEDIA";
    LicensePage page(m.state);
    m.bind(page);
    page.showAgreement = 1;

    EXPECT_TRUE(page.OnInitDialog());
    EXPECT_EQ(m.view.GetText(kAgreementText), gbk);

    // The edit control is given a C string: text after a NUL byte is not shown.
    m.machine.files.writeFile("D:\\MEDIA\\License.txt", std::string("before\0after", 12));
    LicensePage again(m.state);
    m.bind(again);
    again.showAgreement = 1;
    EXPECT_TRUE(again.OnInitDialog());
    EXPECT_EQ(m.view.GetText(kAgreementText), "before");
}

TEST(LicensePage, EmptyAgreementStillLetsAcceptEnableNextAndRejectDisableIt) {
    PageMachine m(false);
    m.write("License.txt", "");
    LicensePage page(m.state);
    m.bind(page);
    page.showAgreement = 1;
    m.frameView.Enable(kNextButton, false);
    m.view.SetText(kAgreementText, "placeholder");

    ASSERT_TRUE(page.OnInitDialog());
    EXPECT_EQ(m.view.GetText(kAgreementText), "");
    EXPECT_TRUE(m.boxes().empty());

    page.OnCommand(kAcceptRadio, kButtonClicked);
    EXPECT_TRUE(m.frameView.IsEnabled(kNextButton));
    EXPECT_EQ(m.checked({kAcceptRadio, kRejectRadio}), std::vector<int>{kAcceptRadio});
    page.OnCommand(kRejectRadio, kButtonClicked);
    EXPECT_FALSE(m.frameView.IsEnabled(kNextButton));
    EXPECT_EQ(m.checked({kAcceptRadio, kRejectRadio}), std::vector<int>{kRejectRadio});
    page.OnCommand(kAcceptRadio, kButtonClicked);
    EXPECT_TRUE(m.frameView.IsEnabled(kNextButton));
    // Other notifications and controls leave the button alone.
    page.OnCommand(kRejectRadio, kSelectionChanged);
    page.OnCommand(kAgreementText, kButtonClicked);
    EXPECT_TRUE(m.frameView.IsEnabled(kNextButton));
}

// ---------------------------------------------------------------- install-mode page

struct ModeMachine : PageMachine {
    InstallModePage page{state};
    ModeMachine() {
        bind(page);
        // The template hides the second and third note lines.
        view.Show(kModeNote2, false);
        view.Show(kModeNote3, false);
    }
    std::vector<int> checkedMode() { return checked({kTypicalRadio, kAdvancedRadio}); }
};

TEST(InstallModePage, StartsTypicalAndSwitchesNotesWithTheChoice) {
    ModeMachine m;
    ASSERT_TRUE(m.page.OnInitDialog());
    EXPECT_EQ(m.page.typicalMode, 1);
    EXPECT_EQ(m.checkedMode(), std::vector<int>{kTypicalRadio});
    EXPECT_EQ(m.view.GetText(kModeNote1), m.text("Mode", "Note1"));
    EXPECT_TRUE(m.page.SaveData());

    m.page.OnShowWindow();
    EXPECT_EQ(m.view.GetText(kModeGroup), m.text("Mode", "Type"));
    EXPECT_EQ(m.view.GetText(kTypicalRadio), m.text("Mode", "Typical"));
    EXPECT_EQ(m.view.GetText(kAdvancedRadio), m.text("Mode", "Advanced"));
    EXPECT_EQ(m.view.GetText(kRemarksLabel), m.text("Mode", "Remarks"));

    m.page.OnCommand(kAdvancedRadio, kButtonClicked);
    EXPECT_EQ(m.page.typicalMode, 0);
    EXPECT_EQ(m.checkedMode(), std::vector<int>{kAdvancedRadio});
    EXPECT_EQ(m.view.GetText(kModeNote1), m.text("Mode", "Note2"));
    EXPECT_EQ(m.view.GetText(kModeNote2), m.text("Mode", "Note3"));
    EXPECT_TRUE(m.view.IsVisible(kModeNote2));
    EXPECT_FALSE(m.view.IsVisible(kModeNote3));

    m.page.OnCommand(kTypicalRadio, kButtonClicked);
    EXPECT_EQ(m.page.typicalMode, 1);
    EXPECT_EQ(m.checkedMode(), std::vector<int>{kTypicalRadio});
    EXPECT_EQ(m.view.GetText(kModeNote1), m.text("Mode", "Note1"));
    EXPECT_FALSE(m.view.IsVisible(kModeNote2));
    EXPECT_FALSE(m.view.IsVisible(kModeNote3));

    // Typical again while chosen still rewrites the first note and hides the second.
    m.view.SetText(kModeNote1, "stale");
    m.view.Show(kModeNote2, true);
    m.page.OnCommand(kTypicalRadio, kButtonClicked);
    EXPECT_EQ(m.view.GetText(kModeNote1), m.text("Mode", "Note1"));
    EXPECT_FALSE(m.view.IsVisible(kModeNote2));
}

TEST(InstallModePage, ModelRestrictionForcesTypicalAndLiftingItKeepsTheChoice) {
    ModeMachine m;
    ASSERT_TRUE(m.page.OnInitDialog());
    m.page.OnCommand(kAdvancedRadio, kButtonClicked);
    const std::string typicalOnly = m.text("Message", "IDS_TYPICAL_NOTES");
    ASSERT_FALSE(typicalOnly.empty());

    // A model without AdvancedSetup.
    m.page.ApplyModelRestriction(false);
    EXPECT_FALSE(m.view.IsEnabled(kAdvancedRadio));
    EXPECT_EQ(m.checkedMode(), std::vector<int>{kTypicalRadio});
    EXPECT_EQ(m.view.GetText(kModeNote1), typicalOnly);
    EXPECT_FALSE(m.view.IsVisible(kModeNote2));
    EXPECT_FALSE(m.view.IsVisible(kModeNote3));
    EXPECT_EQ(m.page.typicalMode, 1);

    // Then one with AdvancedSetup: the choice and the note stay until a click.
    m.page.ApplyModelRestriction(true);
    EXPECT_TRUE(m.view.IsEnabled(kAdvancedRadio));
    EXPECT_EQ(m.checkedMode(), std::vector<int>{kTypicalRadio});
    EXPECT_EQ(m.view.GetText(kModeNote1), typicalOnly);
    EXPECT_EQ(m.page.typicalMode, 1);

    m.page.OnCommand(kAdvancedRadio, kButtonClicked);
    EXPECT_EQ(m.view.GetText(kModeNote1), m.text("Mode", "Note2"));
    EXPECT_EQ(m.page.typicalMode, 0);
    // Allowed again while Advanced is chosen: nothing moves.
    m.page.ApplyModelRestriction(true);
    EXPECT_EQ(m.checkedMode(), std::vector<int>{kAdvancedRadio});
    EXPECT_TRUE(m.view.IsVisible(kModeNote2));
    EXPECT_EQ(m.page.typicalMode, 0);
}

// ---------------------------------------------------------------- operating-system page

constexpr std::initializer_list<int> kOsChoices = {kOsWin98Radio, kOsNtRadio,    kOsWin2000Radio, kOsXpRadio,
                                                   kOs2003Radio,  kOsVistaRadio, kOs2008Radio,    kOsWin7Radio,
                                                   kOsWin10Radio, kOsServer2012Radio};

struct OsCase {
    WindowsVersion version;
    bool sixtyFour;
    int checkedChoice;  // 0: none
    cfg::OsClass selectedOs;
};

void PrintTo(const OsCase& c, std::ostream* os) {
    *os << sim::windowsVersionName(c.version) << (c.sixtyFour ? " 64-bit" : "");
}

class OsPageTable : public ::testing::TestWithParam<OsCase> {};

TEST_P(OsPageTable, ChecksOnlyTheRunningSystemAndDisablesTheRest) {
    const OsCase& c = GetParam();
    const std::string name = std::string(sim::windowsVersionName(c.version)) + (c.sixtyFour ? " 64-bit" : "");
    PageMachine m;
    m.setWindows(c.version, c.sixtyFour);
    OsPage page(m.state);
    m.bind(page);
    // Whatever was checked before must not stay checked beside the running system.
    for (int id : kOsChoices)
        if (id != c.checkedChoice) m.view.SetCheck(id, c.checkedChoice != 0);

    ASSERT_TRUE(page.OnInitDialog()) << name;
    EXPECT_EQ(m.state.osPage, &page);
    EXPECT_EQ(page.selectedOs, c.selectedOs) << name;
    if (c.checkedChoice) EXPECT_EQ(m.checked(kOsChoices), std::vector<int>{c.checkedChoice}) << name;
    else EXPECT_TRUE(m.checked(kOsChoices).empty()) << name;
    // Only the selected class's choice stays enabled: for class 0 that is the hidden
    // Windows 98/Me choice, even when nothing was checked.
    const int enabledChoice = c.checkedChoice ? c.checkedChoice : kOsWin98Radio;
    for (int id : kOsChoices) EXPECT_EQ(m.view.IsEnabled(id), id == enabledChoice) << name << " " << id;
    EXPECT_EQ(m.view.IsVisible(kOsWin2000Radio), !m.machine.system.wow64) << name;
    EXPECT_TRUE(m.boxes().empty()) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Versions, OsPageTable,
    ::testing::Values(OsCase{WindowsVersion::Win95, false, 0, cfg::kOsWin9x},
                      OsCase{WindowsVersion::Win98, false, kOsWin98Radio, cfg::kOsWin9x},
                      OsCase{WindowsVersion::WinMe, false, kOsWin98Radio, cfg::kOsWin9x},
                      OsCase{WindowsVersion::Nt4, false, kOsNtRadio, cfg::kOsNt4},
                      OsCase{WindowsVersion::Win2000, false, kOsWin2000Radio, cfg::kOsWin2000},
                      OsCase{WindowsVersion::WinXP, false, kOsXpRadio, cfg::kOsWinXP},
                      OsCase{WindowsVersion::WinXP64, true, kOsXpRadio, cfg::kOsWinXP},
                      OsCase{WindowsVersion::Server2003, false, kOs2003Radio, cfg::kOsServer2003},
                      OsCase{WindowsVersion::Server2003, true, kOs2003Radio, cfg::kOsServer2003},
                      OsCase{WindowsVersion::Vista, false, kOsVistaRadio, cfg::kOsVista},
                      OsCase{WindowsVersion::Vista, true, kOsVistaRadio, cfg::kOsVista},
                      OsCase{WindowsVersion::Server2008, false, kOs2008Radio, cfg::kOsServer2008},
                      OsCase{WindowsVersion::Server2008, true, kOs2008Radio, cfg::kOsServer2008},
                      OsCase{WindowsVersion::Win7, false, kOsWin7Radio, cfg::kOsWin7},
                      OsCase{WindowsVersion::Win7, true, kOsWin7Radio, cfg::kOsWin7},
                      OsCase{WindowsVersion::Server2008R2, true, kOs2008Radio, cfg::kOsServer2008},
                      OsCase{WindowsVersion::Win8, false, kOsWin10Radio, cfg::kOsWin10},
                      OsCase{WindowsVersion::Win81, true, kOsWin10Radio, cfg::kOsWin10},
                      OsCase{WindowsVersion::Win10, false, kOsWin10Radio, cfg::kOsWin10},
                      OsCase{WindowsVersion::Win11, true, kOsWin10Radio, cfg::kOsWin10},
                      OsCase{WindowsVersion::Server2012R2, true, kOsServer2012Radio, cfg::kOsServer2012},
                      OsCase{WindowsVersion::Server2022, true, kOsServer2012Radio, cfg::kOsServer2012}));

TEST(OsPage, FivePointTwoWorkstationIsXpOnlyOnAnAmd64Processor) {
    PageMachine m;
    m.setWindows(WindowsVersion::WinXP64, true);
    m.machine.system.nativeArchitecture = plat::kArchIa64;
    OsPage page(m.state);
    m.bind(page);
    ASSERT_TRUE(page.OnInitDialog());
    EXPECT_EQ(page.selectedOs, cfg::kOsServer2003);
    EXPECT_EQ(m.checked(kOsChoices), std::vector<int>{kOs2003Radio});
}

TEST(OsPage, UnknownPlatformIsReportedAndNothingIsChecked) {
    PageMachine m;
    m.machine.system.version.platformId = plat::kPlatformWin32s;
    OsPage page(m.state);
    m.bind(page);
    ASSERT_TRUE(page.OnInitDialog());
    EXPECT_EQ(page.selectedOs, cfg::kOsWin9x);
    EXPECT_TRUE(m.checked(kOsChoices).empty());
    ASSERT_EQ(m.boxes().size(), 1u);
    EXPECT_EQ(m.boxes()[0].text, m.text("Message", "IDS_ERR_SYSTEM"));
    EXPECT_EQ(m.boxes()[0].caption, "setup");
    EXPECT_NE(m.boxes()[0].owner, kPageWindow) << "an application message box";

    page.OnShowWindow();
    EXPECT_EQ(m.view.GetText(kOsGroup), m.text("System", "Select"));
    EXPECT_FALSE(m.view.GetText(kOsGroup).empty());
}

// ---------------------------------------------------------------- printer-type page

constexpr int kRadios[4] = {kReceiptRadio, kTicketRadio, kLabelRadio, kEmbeddedRadio};
constexpr int kLists[4] = {kReceiptList, kTicketList, kLabelList, kEmbeddedList};

struct TypeMachine : PageMachine {
    PrinterTypePage page{state};
    explicit TypeMachine(bool samplePackage = true) : PageMachine(samplePackage) { bind(page); }
    void package(const std::string& deviceName) { write("DRVCONFIG\\setup.ini", "[DEVICENAME]\r\n" + deviceName); }
    Items items(int list) { return view.control(list).items; }
    std::vector<int> enabledLists() {
        std::vector<int> ids;
        for (int list : kLists)
            if (view.IsEnabled(list)) ids.push_back(list);
        return ids;
    }
    std::vector<int> checkedTypes() { return checked({kReceiptRadio, kTicketRadio, kLabelRadio, kEmbeddedRadio}); }
};

TEST(PrinterTypePage, SamplePackageFillsTheListsInEntryOrderAndPresetsTheDefault) {
    TypeMachine m;
    ASSERT_TRUE(m.page.OnInitDialog());
    // Entry 6 has no category and appears nowhere.
    EXPECT_EQ(m.items(kReceiptList), (Items{"KLM-A100", "KLM-A200", "KLM-C5"}));
    EXPECT_EQ(m.items(kTicketList), (Items{"KLM-B200", "KLM-B300"}));
    EXPECT_EQ(m.items(kLabelList), (Items{"KLM-L40", "KLM-L60"}));
    EXPECT_EQ(m.items(kEmbeddedList), (Items{"KLM-E10", "KLM-E20"}));
    for (int list : kLists) EXPECT_EQ(m.view.ListSelection(list), 0) << list;
    for (int radio : kRadios) EXPECT_TRUE(m.view.IsEnabled(radio)) << radio;
    EXPECT_EQ(m.page.hasModels, 1);

    // DEFAULTNAME=2 is KLM-B200-TicketPrinter.
    EXPECT_EQ(m.checkedTypes(), std::vector<int>{kTicketRadio});
    EXPECT_EQ(m.enabledLists(), std::vector<int>{kTicketList});
    EXPECT_EQ(m.page.selectedCategory, 1);
    EXPECT_EQ(m.page.selectedModel, "KLM-B200");

    m.page.OnShowWindow();
    EXPECT_EQ(m.view.GetText(kTypeGroup), m.text("Series", "Select"));
    EXPECT_EQ(m.view.GetText(kReceiptRadio), m.text("Series", "Receipt"));
    EXPECT_EQ(m.view.GetText(kTicketRadio), m.text("Series", "Ticket"));
    EXPECT_EQ(m.view.GetText(kLabelRadio), m.text("Series", "Label"));
    EXPECT_EQ(m.view.GetText(kEmbeddedRadio), m.text("Series", "Embedded"));
    EXPECT_EQ(m.view.GetText(kDefaultPrinterCheck), m.text("Series", "Default"));
    EXPECT_FALSE(m.view.GetText(kDefaultPrinterCheck).empty());

    m.view.SetCheck(kDefaultPrinterCheck, true);
    EXPECT_TRUE(m.page.SaveData());
    EXPECT_EQ(m.page.setAsDefault, 1);
    m.view.SetCheck(kDefaultPrinterCheck, false);
    EXPECT_TRUE(m.page.SaveData());
    EXPECT_EQ(m.page.setAsDefault, 0);
}

TEST(PrinterTypePage, ChoosingACategoryTakesItsListsCurrentModel) {
    TypeMachine m;
    ASSERT_TRUE(m.page.OnInitDialog());

    m.page.OnCommand(kReceiptRadio, kButtonClicked);
    EXPECT_EQ(m.checkedTypes(), std::vector<int>{kReceiptRadio});
    EXPECT_EQ(m.enabledLists(), std::vector<int>{kReceiptList});
    EXPECT_EQ(m.page.selectedCategory, 0);
    EXPECT_EQ(m.page.selectedModel, "KLM-A100");

    m.view.ListSelect(kReceiptList, 2);
    m.page.OnCommand(kReceiptList, kSelectionChanged);
    EXPECT_EQ(m.page.selectedModel, "KLM-C5");
    EXPECT_EQ(m.page.selectedCategory, 0);

    // Label after Receipt.
    m.page.OnCommand(kLabelRadio, kButtonClicked);
    EXPECT_EQ(m.checkedTypes(), std::vector<int>{kLabelRadio});
    EXPECT_EQ(m.enabledLists(), std::vector<int>{kLabelList});
    EXPECT_EQ(m.page.selectedCategory, 2);
    EXPECT_EQ(m.page.selectedModel, "KLM-L40");

    // Back to Receipt: the list kept the user's model.
    m.page.OnCommand(kReceiptRadio, kButtonClicked);
    EXPECT_EQ(m.page.selectedModel, "KLM-C5");

    // A list without a current item leaves no model.
    m.view.ListSelect(kReceiptList, -1);
    m.page.OnCommand(kReceiptList, kSelectionChanged);
    EXPECT_EQ(m.page.selectedModel, "");
    m.page.OnCommand(kEmbeddedRadio, kButtonClicked);
    EXPECT_EQ(m.page.selectedModel, "KLM-E10");
    m.page.OnCommand(kReceiptRadio, kButtonClicked);
    EXPECT_EQ(m.page.selectedModel, "");
    EXPECT_EQ(m.page.selectedCategory, 0);

    // The check box is no category.
    m.page.OnCommand(kDefaultPrinterCheck, kButtonClicked);
    EXPECT_EQ(m.page.selectedCategory, 0);
    EXPECT_EQ(m.enabledLists(), std::vector<int>{kReceiptList});
}

TEST(PrinterTypePage, ModelNameIsCutTo199Bytes) {
    TypeMachine m;
    ASSERT_TRUE(m.page.OnInitDialog());
    const std::string longName(300, 'M');
    const int at = m.view.ListAdd(kTicketList, longName);
    ASSERT_EQ(at, 2);
    m.view.ListSelect(kTicketList, at);
    m.page.OnCommand(kTicketList, kSelectionChanged);
    EXPECT_EQ(m.page.selectedModel, longName.substr(0, 199));
}

TEST(PrinterTypePage, PackageWithoutModelsLeavesEverythingDisabled) {
    struct Case {
        const char* package;  // nullptr: no setup.ini at all
        int category;
    };
    const Case cases[] = {
        {"DEVICENUMBER=0\r\n1=KLM-A100-ReceiptPrinter\r\n", -1},
        {"DEVICENUMBER=2\r\n1=KLM-DIAG-Utility\r\n2=KLM-A100 Receipt\r\nDEFAULTNAME=1\r\n", -1},
        {nullptr, -1},
        // DEFAULTNAME still names a categorised entry beyond DEVICENUMBER: its button is
        // checked (though disabled) and its empty list enabled, with no model to install.
        {"DEVICENUMBER=0\r\n1=KLM-A100-ReceiptPrinter\r\nDEFAULTNAME=1\r\n", 0},
    };
    for (const Case& c : cases) {
        TypeMachine m(false);
        if (c.package) m.package(c.package);
        ASSERT_TRUE(m.page.OnInitDialog());
        const std::string what = c.package ? c.package : "no file";
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(m.items(kLists[i]).empty()) << what;
            EXPECT_EQ(m.view.ListSelection(kLists[i]), -1) << what;
            EXPECT_FALSE(m.view.IsEnabled(kRadios[i])) << what;
        }
        EXPECT_EQ(m.page.hasModels, 0) << what;
        EXPECT_EQ(m.page.selectedCategory, c.category) << what;
        EXPECT_EQ(m.page.selectedModel, "") << what;
        if (c.category < 0) {
            EXPECT_TRUE(m.checkedTypes().empty()) << what;
            EXPECT_TRUE(m.enabledLists().empty()) << what;
        } else {
            EXPECT_EQ(m.checkedTypes(), std::vector<int>{kRadios[c.category]}) << what;
            EXPECT_EQ(m.enabledLists(), std::vector<int>{kLists[c.category]}) << what;
        }
    }
}

// The page reads as many entries as start-up does, never more: a DEVICENUMBER of
// 2147483647 once kept it reading (and overflowing its counter) for ever.
TEST(PrinterTypePage, EntryCountsOutOfBoundsEndAndMatchStartUp) {
    for (const char* count : {"2147483647", "-3", "10001"}) {
        TypeMachine m(false);
        m.package(std::string("DEVICENUMBER=") + count + "\r\n1=KLM-A100-ReceiptPrinter\r\n9999=KLM-T9-TicketPrinter\r\n"
                  "10000=KLM-L1-LabelPrinter\r\n");
        ASSERT_TRUE(m.page.OnInitDialog()) << count;
        const bool negative = count[0] == '-';
        EXPECT_EQ(m.items(kReceiptList), negative ? Items{} : Items{"KLM-A100"}) << count;
        EXPECT_EQ(m.items(kTicketList), negative ? Items{} : Items{"KLM-T9"}) << count;
        EXPECT_TRUE(m.items(kLabelList).empty()) << count << ": beyond the bound start-up reads";
        EXPECT_EQ(cfg::PackageConfig(m.p).modelEntryCount(), negative ? 0 : cfg::kMaxModelEntries);
    }
}

TEST(PrinterTypePage, OnlyTheEmptyCategoriesAreDisabled) {
    TypeMachine m(false);
    m.package("DEVICENUMBER=2\r\n1=KLM-L40-LabelPrinter\r\n2=KLM-A100-ReceiptPrinter\r\nDEFAULTNAME=1\r\n");
    ASSERT_TRUE(m.page.OnInitDialog());
    EXPECT_TRUE(m.view.IsEnabled(kReceiptRadio));
    EXPECT_FALSE(m.view.IsEnabled(kTicketRadio));
    EXPECT_TRUE(m.view.IsEnabled(kLabelRadio));
    EXPECT_FALSE(m.view.IsEnabled(kEmbeddedRadio));
    EXPECT_EQ(m.page.hasModels, 1);
    EXPECT_EQ(m.checkedTypes(), std::vector<int>{kLabelRadio});
    EXPECT_EQ(m.enabledLists(), std::vector<int>{kLabelList});
    EXPECT_EQ(m.page.selectedModel, "KLM-L40");
}

TEST(PrinterTypePage, DefaultThatNamesNoCategorisedEntryChoosesNothing) {
    for (const char* defaultName : {"", "DEFAULTNAME=0\r\n", "DEFAULTNAME=2\r\n", "DEFAULTNAME=9\r\n"}) {
        TypeMachine m(false);
        m.package(std::string("DEVICENUMBER=3\r\n1=KLM-A100-ReceiptPrinter\r\n2=KLM-DIAG-Utility\r\n"
                              "3=KLM-B200-TicketPrinter\r\n") +
                  defaultName);
        m.view.SetCheck(kTicketRadio, false);
        ASSERT_TRUE(m.page.OnInitDialog());
        EXPECT_EQ(m.page.selectedCategory, -1) << defaultName;
        EXPECT_TRUE(m.checkedTypes().empty()) << defaultName;
        EXPECT_TRUE(m.enabledLists().empty()) << defaultName;
        EXPECT_EQ(m.page.selectedModel, "") << defaultName;
        EXPECT_EQ(m.page.hasModels, 1) << defaultName;

        // The user's click is what chooses then.
        m.page.OnCommand(kTicketRadio, kButtonClicked);
        EXPECT_EQ(m.page.selectedCategory, 1);
        EXPECT_EQ(m.page.selectedModel, "KLM-B200");
    }
}

// The default model is found as a drop-down list finds a prefix: without regard to case,
// from the second item on and round to the first.
TEST(PrinterTypePage, DefaultModelIsFoundByPrefixFromTheSecondItemRound) {
    struct Case {
        const char* entries;
        int current;
        const char* model;
    };
    const Case cases[] = {
        // The default's own item, not the earlier one it is a prefix of.
        {"DEVICENUMBER=3\r\n1=KLM-A100 Plus-ReceiptPrinter\r\n2=KLM-A200-ReceiptPrinter\r\n"
         "3=KLM-A100-ReceiptPrinter\r\nDEFAULTNAME=3\r\n",
         2, "KLM-A100"},
        // A default outside DEVICENUMBER matches item 0 last, in other case, by prefix.
        {"DEVICENUMBER=2\r\n1=KLM-A100-ReceiptPrinter\r\n2=KLM-A200-ReceiptPrinter\r\n"
         "3=klm-a1-ReceiptPrinter\r\nDEFAULTNAME=3\r\n",
         0, "KLM-A100"},
        // An earlier item of the same name is found only after the later ones.
        {"DEVICENUMBER=3\r\n1=KLM-A100-ReceiptPrinter\r\n2=KLM-A200-ReceiptPrinter\r\n"
         "3=KLM-A100-ReceiptPrinter\r\nDEFAULTNAME=1\r\n",
         2, "KLM-A100"},
        // Nothing matches: the category is still chosen, with no model.
        {"DEVICENUMBER=2\r\n1=KLM-A100-ReceiptPrinter\r\n2=KLM-A200-ReceiptPrinter\r\n"
         "3=KLM-Z9-ReceiptPrinter\r\nDEFAULTNAME=3\r\n",
         -1, ""},
    };
    for (const Case& c : cases) {
        TypeMachine m(false);
        m.package(c.entries);
        ASSERT_TRUE(m.page.OnInitDialog());
        EXPECT_EQ(m.view.ListSelection(kReceiptList), c.current) << c.entries;
        EXPECT_EQ(m.page.selectedModel, c.model) << c.entries;
        EXPECT_EQ(m.page.selectedCategory, 0) << c.entries;
        EXPECT_EQ(m.checkedTypes(), std::vector<int>{kReceiptRadio}) << c.entries;
        EXPECT_EQ(m.enabledLists(), std::vector<int>{kReceiptList}) << c.entries;
    }
}

}  // namespace
