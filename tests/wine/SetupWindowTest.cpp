// The setup wizard's window code against real windows: its templates carry the controls the
// page logic reaches, the pages land on the frame's page area, messages reach the logic,
// the custom controls get their colours, and the waits keep the thread answering.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "WineTestSupport.h"
#include "platform/win32/WindowsHeaders.h"

#include <commctrl.h>

#include "setup/ProgressDialog.h"
#include "setup/SetupState.h"
#include "setup/WizardControls.h"
#include "setup/WizardPage.h"
#include "setup/win32/Win32WizardWindow.h"

using namespace setup;
using winetest::Real;

namespace {

HINSTANCE module() { return ::GetModuleHandleA(nullptr); }

void pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

std::string className(HWND w) {
    char name[64] = {};
    ::GetClassNameA(w, name, sizeof name);
    return name;
}

std::string textOf(HWND w) {
    char text[256] = {};
    ::GetWindowTextA(w, text, sizeof text);
    return text;
}

// A page that records what reaches it.
class RecordingPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    bool OnInitDialog() override {
        ++inits;
        boundAtInit = attached();
        if (boundAtInit) visibleAtInit = ::IsWindowVisible(reinterpret_cast<HWND>(view().Window())) != FALSE;
        return true;
    }
    void OnShowWindow() override { ++shows; }
    void OnCommand(int control, int notification) override { commands.push_back({control, notification}); }

    int inits = 0, shows = 0;
    bool boundAtInit = false, visibleAtInit = true;
    std::vector<std::pair<int, int>> commands;
};

// The wizard frame from its template, modeless, painting as the program's frame does.
class TestFrame {
public:
    TestFrame() : state(Real(), false), window(module(), Real().shell) {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        hwnd = ::CreateDialogParamA(module(), MAKEINTRESOURCEA(kWizardTemplate), nullptr, proc,
                                    reinterpret_cast<LPARAM>(&window));
    }
    ~TestFrame() {
        if (hwnd) ::DestroyWindow(hwnd);
        pump();
    }
    HWND item(int id) const { return ::GetDlgItem(hwnd, id); }

    SetupState state;
    Win32WizardWindow window;
    HWND hwnd = nullptr;

private:
    static INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
        auto* w = reinterpret_cast<Win32WizardWindow*>(::GetWindowLongPtrA(dialog, DWLP_USER));
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            reinterpret_cast<Win32WizardWindow*>(lParam)->setFrame(dialog);
            return TRUE;
        }
        if (message == WM_PAINT && w) {
            w->PaintFrame();
            return TRUE;
        }
        if (message == WM_DESTROY && w) w->ReleaseFrameResources();
        return FALSE;
    }
};

INT_PTR CALLBACK plainProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct Expected {
    int id;
    const char* cls;
    DWORD required;   // style bits that must be set
    DWORD forbidden;  // style bits that must be clear
    const char* text; // exact template text, or null
};

constexpr DWORD kDropList = CBS_DROPDOWNLIST;

// Controls may trade the template's WS_BORDER for an edge of the three-dimensional look.
bool hasBorder(HWND control) {
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    const LONG ex = ::GetWindowLongA(control, GWL_EXSTYLE);
    return (style & WS_BORDER) || (ex & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
}

void checkControls(HWND dialog, const std::vector<Expected>& expected, const char* what) {
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string(what) + " control " + std::to_string(e.id));
        HWND c = ::GetDlgItem(dialog, e.id);
        ASSERT_NE(nullptr, c);
        EXPECT_TRUE(winetest::EqualsNoCase(e.cls, className(c))) << className(c);
        const DWORD style = static_cast<DWORD>(::GetWindowLongA(c, GWL_STYLE));
        EXPECT_EQ(e.required, style & e.required);
        EXPECT_EQ(0u, style & e.forbidden);
        if (e.text) {
            EXPECT_EQ(e.text, textOf(c));
        }
    }
}

}  // namespace

// ------------------------------------------------------------------------------ templates

TEST(SetupTemplates, FrameHasItsButtonsPictureAndPageArea) {
    TestFrame f;
    ASSERT_NE(nullptr, f.hwnd);
    checkControls(f.hwnd,
                  {{kSidePicture, "Static", WS_VISIBLE, 0, nullptr},
                   {kPageArea, "Static", 0, WS_VISIBLE, nullptr},
                   {kHelpHint, "Static", WS_VISIBLE, 0, nullptr},
                   {kBackButton, "Button", WS_DISABLED, 0, nullptr},
                   {kNextButton, "Button", WS_DISABLED | BS_DEFPUSHBUTTON, 0, nullptr},
                   {kCancelButton, "Button", 0, WS_DISABLED, nullptr}},
                  "frame");
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(f.hwnd, GWL_STYLE));
    EXPECT_EQ(static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
}

// Every id the page logic reaches exists on its page, of the kind it is treated as: the
// logic selects list items by position, so only the port list may sort.
TEST(SetupTemplates, PagesCarryTheControlsTheirLogicReaches) {
    TestFrame f;
    RecordingPage license(f.state), mode(f.state), os(f.state), type(f.state), port(f.state);
    f.window.CreatePage(license, kLicensePageTemplate);
    f.window.CreatePage(mode, kInstallModePageTemplate);
    f.window.CreatePage(os, kOsPageTemplate);
    f.window.CreatePage(type, kPrinterTypePageTemplate);
    f.window.CreatePage(port, kPortPageTemplate);

    checkControls(f.window.pageWindow(license),
                  {{kAgreementGroup, "Button", BS_GROUPBOX, 0, nullptr},
                   {kAgreementText, "Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, nullptr},
                   {kAcceptRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kRejectRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr}},
                  "agreement");
    EXPECT_TRUE(hasBorder(::GetDlgItem(f.window.pageWindow(license), kAgreementText)));
    checkControls(f.window.pageWindow(mode),
                  {{kModeGroup, "Button", BS_GROUPBOX, 0, nullptr},
                   {kTypicalRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kAdvancedRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kRemarksLabel, "Static", WS_VISIBLE, 0, nullptr},
                   {kModeNote1, "Static", WS_VISIBLE, 0, nullptr},
                   {kModeNote2, "Static", 0, WS_VISIBLE, nullptr},
                   {kModeNote3, "Static", 0, WS_VISIBLE, nullptr}},
                  "install mode");
    checkControls(f.window.pageWindow(os),
                  {{kOsGroup, "Button", BS_GROUPBOX, 0, nullptr},
                   {kOsWin2000Radio, "Button", WS_VISIBLE, 0, "Windows 2000"},
                   {kOsXpRadio, "Button", WS_VISIBLE, 0, "Windows XP"},
                   {kOs2003Radio, "Button", WS_VISIBLE, 0, "Windows Server 2003 "},
                   {kOsVistaRadio, "Button", WS_VISIBLE, 0, "Windows Vista"},
                   {kOs2008Radio, "Button", WS_VISIBLE, 0, "Windows Server 2008"},
                   {kOsWin7Radio, "Button", WS_VISIBLE, 0, "Windows 7"},
                   {kOsWin10Radio, "Button", WS_VISIBLE, 0, "Windows 8 / 10 / 11"},
                   {kOsServer2012Radio, "Button", WS_VISIBLE, 0, "Windows Server 2012 or later"},
                   {kOsWin98Radio, "Button", 0, WS_VISIBLE, "Windows 98/Me"},
                   {kOsNtRadio, "Button", 0, WS_VISIBLE, "Windows NT"}},
                  "operating system");
    checkControls(f.window.pageWindow(type),
                  {{kTypeGroup, "Button", BS_GROUPBOX, 0, nullptr},
                   {kReceiptRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kTicketRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kLabelRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kEmbeddedRadio, "Button", BS_AUTORADIOBUTTON, 0, nullptr},
                   {kReceiptList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kTicketList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kLabelList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kEmbeddedList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kDefaultPrinterCheck, "Button", BS_AUTOCHECKBOX, 0, nullptr}},
                  "printer type");
    checkControls(f.window.pageWindow(port),
                  {{kPortList, "ComboBox", kDropList | CBS_SORT, 0, nullptr},
                   {kBaudRateList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kByteSizeList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kParityList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kStopBitsList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kProtocolList, "ComboBox", kDropList, CBS_SORT, nullptr},
                   {kRasterCheck, "Button", BS_AUTOCHECKBOX | WS_DISABLED, 0, nullptr},
                   {kIpAddress, "SysIPAddress32", WS_VISIBLE, 0, nullptr},
                   {kUsbDriverNote, "Static", 0, WS_VISIBLE, nullptr},
                   {kSerialNote, "Static", 0, WS_VISIBLE, nullptr},
                   {kPortGroup, "Button", BS_GROUPBOX, 0, nullptr},
                   {kSerialGroup, "Button", BS_GROUPBOX, 0, nullptr},
                   {kPortsLabel, "Static", 0, 0, nullptr},
                   {kBaudRateLabel, "Static", 0, 0, nullptr},
                   {kParityLabel, "Static", 0, 0, nullptr},
                   {kByteSizeLabel, "Static", 0, 0, nullptr},
                   {kStopBitsLabel, "Static", 0, 0, nullptr},
                   {kProtocolLabel, "Static", 0, 0, nullptr},
                   {kIpLabel, "Static", 0, 0, nullptr}},
                  "port");
}

// A page is cut to the page area; whatever lies beyond it would never be seen.
TEST(SetupTemplates, EveryPageFitsThePageArea) {
    TestFrame f;
    // The printer-type page's check box is laid out one dialog unit past the bottom; its
    // box and text sit well inside, so one unit of slack is allowed.
    RECT slack = {0, 0, 1, 1};
    ::MapDialogRect(f.hwnd, &slack);
    for (int id : {kLicensePageTemplate, kInstallModePageTemplate, kOsPageTemplate, kPrinterTypePageTemplate,
                   kPortPageTemplate}) {
        SCOPED_TRACE("template " + std::to_string(id));
        RecordingPage page(f.state);
        f.window.CreatePage(page, id);
        HWND w = f.window.pageWindow(page);
        ASSERT_NE(nullptr, w);
        RECT client;
        ::GetClientRect(w, &client);
        for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (::GetParent(c) != w) continue;  // owned pop-ups such as the tool tip
            RECT r;
            ::GetWindowRect(c, &r);
            ::MapWindowPoints(HWND_DESKTOP, w, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_GE(r.left, client.left) << "control " << ::GetDlgCtrlID(c);
            EXPECT_GE(r.top, client.top) << "control " << ::GetDlgCtrlID(c);
            EXPECT_LE(r.right, client.right) << "control " << ::GetDlgCtrlID(c);
            EXPECT_LE(r.bottom, client.bottom + slack.bottom) << "control " << ::GetDlgCtrlID(c);
        }
        f.window.DestroyPage(page);
    }
}

TEST(SetupTemplates, ProgressAboutAndRasterHint) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    HWND progress = ::CreateDialogParamA(module(), MAKEINTRESOURCEA(kProgressTemplate), nullptr, plainProc, 0);
    ASSERT_NE(nullptr, progress);
    checkControls(progress, {{kProgressBar, "msctls_progress32", 0, 0, nullptr}}, "progress");
    EXPECT_EQ(0u, static_cast<DWORD>(::GetWindowLongA(progress, GWL_STYLE)) & WS_CAPTION) << "no title bar";
    ::DestroyWindow(progress);

    HWND about = ::CreateDialogParamA(module(), MAKEINTRESOURCEA(kAboutTemplate), nullptr, plainProc, 0);
    ASSERT_NE(nullptr, about);
    checkControls(about,
                  {{kAboutVersion, "Static", 0, 0, nullptr},
                   {kAboutCopyright, "Static", 0, 0, nullptr},
                   {kAboutOk, "Button", BS_DEFPUSHBUTTON, 0, nullptr}},
                  "about");
    ::DestroyWindow(about);

    wchar_t hint[64] = {};
    ASSERT_GT(::LoadStringW(module(), kRasterToolTipString, hint, 64), 0);
    EXPECT_EQ(std::wstring(L"\u6309\u201CF1\u201D\u67E5\u770B\u5E2E\u52A9"), hint);
}

// ------------------------------------------------------------------------------ pages

TEST(Win32WizardWindow, PageIsCreatedBoundHiddenAndOnThePageArea) {
    TestFrame f;
    RecordingPage page(f.state);
    f.window.CreatePage(page, kInstallModePageTemplate);
    HWND w = f.window.pageWindow(page);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(1, page.inits);
    EXPECT_TRUE(page.boundAtInit);
    EXPECT_FALSE(page.visibleAtInit);
    EXPECT_EQ(f.hwnd, ::GetParent(w));
    EXPECT_FALSE(::IsWindowVisible(w));

    RECT area;
    ::GetWindowRect(f.item(kPageArea), &area);
    RECT placed;
    ::GetWindowRect(w, &placed);
    EXPECT_TRUE(::EqualRect(&area, &placed)) << placed.left << "," << placed.top << " " << placed.right << ","
                                              << placed.bottom;

    ::ShowWindow(f.hwnd, SW_SHOW);
    f.window.ShowPage(page, true);
    EXPECT_TRUE(::IsWindowVisible(w));
    f.window.ShowPage(page, false);
    EXPECT_FALSE(::IsWindowVisible(w));
    EXPECT_EQ(2, page.shows) << "shown and hidden: the page sets its texts each time";

    f.window.DestroyPage(page);
    EXPECT_FALSE(::IsWindow(w));
    EXPECT_FALSE(page.attached());
    EXPECT_EQ(nullptr, f.window.pageWindow(page));
}

TEST(Win32WizardWindow, CommandsReachThePageButItsOwnOkAndCancelDoNothing) {
    TestFrame f;
    RecordingPage page(f.state);
    f.window.CreatePage(page, kPrinterTypePageTemplate);
    HWND w = f.window.pageWindow(page);
    ASSERT_NE(nullptr, w);
    ::SendMessageA(::GetDlgItem(w, kTicketRadio), BM_CLICK, 0, 0);
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(kTicketList, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(::GetDlgItem(w, kTicketList)));
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    const std::vector<std::pair<int, int>> expected = {{kTicketRadio, kButtonClicked},
                                                        {kTicketList, kSelectionChanged}};
    EXPECT_EQ(expected, page.commands);
    EXPECT_TRUE(::IsWindow(w)) << "a page never closes itself";
}

TEST(Win32WizardWindow, ChineseFontGoesOnEveryControlOfAChinesePageOnly) {
    TestFrame f;
    RecordingPage chinese(f.state), english(f.state);
    chinese.useChineseFont = 1;
    f.window.CreatePage(chinese, kOsPageTemplate);
    f.window.CreatePage(english, kOsPageTemplate);
    const WPARAM font = reinterpret_cast<WPARAM>(f.window.chineseFont());
    ASSERT_NE(0u, font);
    int controls = 0;
    for (HWND c = ::GetWindow(f.window.pageWindow(chinese), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT), ++controls)
        EXPECT_EQ(font, static_cast<WPARAM>(::SendMessageA(c, WM_GETFONT, 0, 0))) << ::GetDlgCtrlID(c);
    EXPECT_EQ(9, controls);
    for (HWND c = ::GetWindow(f.window.pageWindow(english), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        EXPECT_NE(font, static_cast<WPARAM>(::SendMessageA(c, WM_GETFONT, 0, 0))) << ::GetDlgCtrlID(c);

    // Made again: the pages move to the new font before the old one is deleted.
    f.window.ApplyChineseFont();
    const WPARAM renewed = reinterpret_cast<WPARAM>(f.window.chineseFont());
    EXPECT_EQ(renewed, static_cast<WPARAM>(
                           ::SendMessageA(::GetDlgItem(f.window.pageWindow(chinese), kOsXpRadio), WM_GETFONT, 0, 0)));
    EXPECT_EQ(renewed, static_cast<WPARAM>(::SendMessageA(f.item(kNextButton), WM_GETFONT, 0, 0)));
}

TEST(Win32WizardWindow, PortPageNoteAndAgreementTextAnswerTheirOwnColours) {
    TestFrame f;
    RecordingPage license(f.state), port(f.state);
    f.window.CreatePage(license, kLicensePageTemplate);
    f.window.CreatePage(port, kPortPageTemplate);
    HWND page = f.window.pageWindow(port);
    HDC dc = ::GetDC(page);

    ::SetTextColor(dc, 0x123456);
    const LRESULT noteBrush = ::SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(::GetDlgItem(page, kUsbDriverNote)));
    EXPECT_NE(0, noteBrush);
    EXPECT_EQ(0xFF0000u, ::GetTextColor(dc));
    LOGBRUSH brush = {};
    ASSERT_NE(0, ::GetObjectA(reinterpret_cast<HBRUSH>(noteBrush), sizeof brush, &brush));
    EXPECT_EQ(0xFDCAFFu, brush.lbColor);
    LOGFONTA face = {};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof face, &face);
    EXPECT_STREQ("Arial", face.lfFaceName);
    EXPECT_EQ(-14, face.lfHeight);

    // Any other static gets the dialog's default colours.
    EXPECT_NE(noteBrush, ::SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(::GetDlgItem(page, kPortsLabel))));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), ::GetTextColor(dc));
    ::ReleaseDC(page, dc);

    // The read-only agreement text: the system's window colours.
    HWND agreement = f.window.pageWindow(license);
    dc = ::GetDC(agreement);
    const LRESULT textBrush = ::SendMessageA(agreement, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                             reinterpret_cast<LPARAM>(::GetDlgItem(agreement, kAgreementText)));
    ASSERT_NE(0, textBrush);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), ::GetTextColor(dc));
    ASSERT_NE(0, ::GetObjectA(reinterpret_cast<HBRUSH>(textBrush), sizeof brush, &brush));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), brush.lbColor);
    ::ReleaseDC(agreement, dc);
}

TEST(Win32WizardWindow, RasterCheckBoxCarriesTheHint) {
    TestFrame f;
    RecordingPage port(f.state);
    f.window.CreatePage(port, kPortPageTemplate);
    HWND page = f.window.pageWindow(port);
    // A pop-up made for a child window belongs to that window's top-level window.
    auto findTip = [&f] {
        HWND tip = nullptr;
        for (HWND w = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w;
             w = ::FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
            if (::GetWindow(w, GW_OWNER) == f.hwnd) tip = w;
        return tip;
    };
    HWND tip = findTip();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(1, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(200, ::SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0));
    wchar_t text[64] = {};
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = page;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(page, kRasterCheck));
    tool.lpszText = text;
    ::SendMessageW(tip, TTM_GETTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(L"\u6309\u201CF1\u201D\u67E5\u770B\u5E2E\u52A9"), text);

    f.window.DestroyPage(port);
    EXPECT_EQ(nullptr, findTip()) << "the hint goes with its page";
}

// ------------------------------------------------------------------------------ frame

TEST(Win32WizardWindow, SidePictureIsStretchedOverItsControl) {
    winetest::TempFolder folder;
    // A 2 by 2, 24-bit, all red bitmap file.
    std::string bmp("BM", 2);
    auto put32 = [&bmp](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&bmp](std::uint16_t v) {
        bmp.push_back(static_cast<char>(v & 0xFF));
        bmp.push_back(static_cast<char>(v >> 8));
    };
    put32(54 + 16), put32(0), put32(54), put32(40), put32(2), put32(2), put16(1), put16(24), put32(0), put32(16),
        put32(2835), put32(2835), put32(0), put32(0);
    for (int row = 0; row < 2; ++row) bmp += std::string("\x00\x00\xFF\x00\x00\xFF\x00\x00", 8);
    folder.Write("side.bmp", bmp);

    TestFrame f;
    EXPECT_FALSE(f.window.LoadSidePicture(folder.File("missing.bmp")));
    ASSERT_TRUE(f.window.LoadSidePicture(folder.File("side.bmp")));
    ::ShowWindow(f.hwnd, SW_SHOW);
    ::UpdateWindow(f.hwnd);
    pump();
    HWND picture = f.item(kSidePicture);
    RECT r;
    ::GetClientRect(picture, &r);
    HDC dc = ::GetDC(picture);
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(dc, r.right / 2, r.bottom / 2));
    EXPECT_EQ(RGB(255, 0, 0), ::GetPixel(dc, r.right / 4, 3 * r.bottom / 4));
    ::ReleaseDC(picture, dc);
}

TEST(Win32WizardWindow, MinimizeTopmostLeavesTheFrameIconicAndOnTop) {
    TestFrame f;
    ::ShowWindow(f.hwnd, SW_SHOW);
    RECT before;
    ::GetWindowRect(f.hwnd, &before);
    f.window.MinimizeTopmost();
    pump();
    EXPECT_TRUE(::IsIconic(f.hwnd));
    EXPECT_NE(0, ::GetWindowLongA(f.hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ::ShowWindow(f.hwnd, SW_RESTORE);
    RECT after;
    ::GetWindowRect(f.hwnd, &after);
    EXPECT_EQ(before.right - before.left, after.right - after.left) << "not resized";
}

// ------------------------------------------------------------------------------ waits and threads

namespace {

// A hidden window that counts the messages it is sent or posted.
class Counter {
public:
    static constexpr UINT kMessage = WM_APP + 7;
    Counter() {
        static ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = proc;
            wc.hInstance = module();
            wc.lpszClassName = "KlmSetupWaitCounter";
            return ::RegisterClassA(&wc);
        }();
        EXPECT_NE(0, atom);
        hwnd = ::CreateWindowA("KlmSetupWaitCounter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module(), nullptr);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Counter() { ::DestroyWindow(hwnd); }
    HWND hwnd;
    std::atomic<int> count{0};

private:
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == kMessage) {
            reinterpret_cast<Counter*>(::GetWindowLongPtrA(w, GWLP_USERDATA))->count++;
            return 42;
        }
        return ::DefWindowProcA(w, m, wp, lp);
    }
};

}  // namespace

TEST(WaitDispatching, HandlesMessagesForTheWholeWait) {
    Counter counter;
    ::PostMessageA(counter.hwnd, Counter::kMessage, 0, 0);
    ::SetTimer(counter.hwnd, 1, 20, nullptr);  // keeps waking the wait before its end
    const DWORD start = ::GetTickCount();
    WaitDispatching(150);
    const DWORD elapsed = ::GetTickCount() - start;
    ::KillTimer(counter.hwnd, 1);
    EXPECT_EQ(1, counter.count.load());
    EXPECT_GE(elapsed, 140u) << "waking early must not end the wait";
    EXPECT_LT(elapsed, 1000u);
}

TEST(WaitDispatching, QuitEndsTheWaitAndStaysQueued) {
    ::PostQuitMessage(3);
    const DWORD start = ::GetTickCount();
    WaitDispatching(2000);
    EXPECT_LT(::GetTickCount() - start, 500u);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
}

TEST(Win32WizardWindow, WorkerRunsOnItsOwnThreadAndIsWaitedFor) {
    TestFrame f;
    std::atomic<DWORD> thread{0};
    std::atomic<bool> finished{false};
    ASSERT_TRUE(f.window.StartWorker([&] {
        thread = ::GetCurrentThreadId();
        ::Sleep(150);
        finished = true;
    }));
    f.window.WaitForWorker();
    EXPECT_TRUE(finished.load());
    EXPECT_NE(::GetCurrentThreadId(), thread.load());
    f.window.WaitForWorker();  // nothing left to wait for
}

// A worker that sends to one of the wizard's windows (a message box it owns does) must get
// its answer while the wizard waits; posted messages and input wait till later, so the
// wizard cannot be driven again meanwhile.
TEST(Win32WizardWindow, WaitingForTheWorkerAnswersWhatItSendsOnly) {
    TestFrame f;
    Counter counter;
    ::PostMessageA(counter.hwnd, Counter::kMessage, 0, 0);
    std::atomic<bool> answered{false};
    ASSERT_TRUE(f.window.StartWorker([&] {
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutA(counter.hwnd, Counter::kMessage, 0, 0, SMTO_NORMAL, 3000, &result) &&
                   result == 42;
    }));
    f.window.WaitForWorker();
    EXPECT_TRUE(answered.load());
    EXPECT_EQ(1, counter.count.load()) << "only the sent message";
    pump();
    EXPECT_EQ(2, counter.count.load());
}

namespace {

BOOL CALLBACK findProgressWindow(HWND w, LPARAM found) {
    if (::GetDlgItem(w, kProgressBar) && ::IsWindowVisible(w)) *reinterpret_cast<HWND*>(found) = w;
    return TRUE;
}

}  // namespace

// The progress window keeps answering while it animates, shrugs off Esc and close, and
// closes itself once the worker has reported.
TEST(Win32WizardWindow, ProgressWindowClosesItselfOnlyAfterTheWorkerReports) {
    TestFrame f;
    ProgressDialog progress(Real());
    progress.targetOsClass = cfg::kOsWin7;
    progress.completionState = 0;
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> openAfterCancel{false};
    std::atomic<int> climbing{-1};
    ASSERT_TRUE(f.window.StartWorker([&] {
        HWND window = nullptr;
        for (int i = 0; i < 200 && !window; ++i) {
            ::Sleep(10);
            ::EnumThreadWindows(uiThread, findProgressWindow, reinterpret_cast<LPARAM>(&window));
        }
        if (window) {
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            ::PostMessageA(window, WM_CLOSE, 0, 0);
            ::Sleep(500);
            openAfterCancel = ::IsWindow(window) && ::IsWindowVisible(window);
            DWORD_PTR position = 0;
            if (::SendMessageTimeoutA(::GetDlgItem(window, kProgressBar), PBM_GETPOS, 0, 0, SMTO_NORMAL, 2000,
                                      &position))
                climbing = static_cast<int>(position);
        }
        progress.completionState = 2;
    }));
    const DWORD start = ::GetTickCount();
    f.window.RunProgress(progress);
    const DWORD elapsed = ::GetTickCount() - start;
    f.window.WaitForWorker();
    EXPECT_TRUE(openAfterCancel.load());
    EXPECT_GT(climbing.load(), 0) << "the bar climbs, and the window answers while it does";
    EXPECT_GE(elapsed, 500u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_FALSE(progress.attached());
}

namespace {

LRESULT CALLBACK slowWindowProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ::Sleep(300);
    return ::DefWindowProcA(w, message, wParam, lParam);
}

}  // namespace

// A busy thread finds the first tick already due when the modal loop starts: the window
// must be on screen for the animation all the same.
TEST(Win32WizardWindow, ProgressWindowIsShownEvenWhenTheFirstTickIsAlreadyDue) {
    TestFrame f;
    WNDCLASSA cls = {};
    cls.lpfnWndProc = slowWindowProc;
    cls.hInstance = ::GetModuleHandleA(nullptr);
    cls.lpszClassName = "KlmSlowWindow";
    ::RegisterClassA(&cls);
    HWND slow = ::CreateWindowA("KlmSlowWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(slow, nullptr);
    ::PostMessageA(slow, WM_APP, 0, 0);

    ProgressDialog progress(Real());
    progress.targetOsClass = cfg::kOsWin7;
    progress.completionState = 0;
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> seen{false};
    ASSERT_TRUE(f.window.StartWorker([&] {
        for (int i = 0; i < 150 && !seen; ++i) {
            ::Sleep(10);
            HWND window = nullptr;
            ::EnumThreadWindows(uiThread, findProgressWindow, reinterpret_cast<LPARAM>(&window));
            seen = window != nullptr;
        }
        progress.completionState = 2;
    }));
    f.window.RunProgress(progress);
    f.window.WaitForWorker();
    ::DestroyWindow(slow);
    EXPECT_TRUE(seen.load());
}
