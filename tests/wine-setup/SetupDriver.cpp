// setup_driver: drives setup's wizard from another process in the same Wine prefix and
// checks what the installation left in the spooler and the registry.
//
//   setup_driver [--title TITLE] [--package DIR] COMMAND ARGS [; COMMAND ARGS]...
//
// Commands run in order in one process (a ";" argument separates them); the first that
// fails ends the run with exit code 1. Usage errors give 2.
//
// The wizard:
//   wait-frame SECONDS        the frame (a visible top-level window titled TITLE) with a visible page
//   wait-page NAME SECONDS    until the visible page is NAME: license, type, mode, os, port
//   page                      prints the visible page's name
//   dump                      every page and control of the frame with its state
//   click ID                  BM_CLICK to control ID (visible page first, then the frame)
//   select ID TEXT            makes TEXT the current item of combo box ID and tells the page
//   set-ip ID A.B.C.D         the address of IP address control ID
//   text ID | items ID        prints the control's text | the combo box's items, one a line
//   expect-text ID TEXT       TEXT, or @Section/Key for the text of setup's language file
//   expect-enabled ID 0|1     also expect-checked, expect-visible
//   expect-selected ID TEXT   the combo box's current item ("" for none)
//   expect-items ID A,B,...   the combo box's items, in order
//   wait-enabled ID SECONDS
//   wait-box KEY SECONDS      a message box of setup.exe, captioned with the program's name,
//                             whose text is the language text KEY (Section/Key), or any for "*"
//   answer KEY BUTTON SECONDS wait-box, then BUTTON is pressed (1 OK, 6 Yes, 7 No): a box
//                             without that button fails
//   no-box SECONDS            no message box of setup.exe appears within SECONDS
//   wait-progress SECONDS     setup's progress window with its bar (control 1079) is shown
//   wait-gone SECONDS         no window titled TITLE is left
//   frames N                  exactly N top-level windows are titled TITLE
//   close                     asks the frame to close (as its Cancel button would)
// The machine:
//   expect-printer NAME PORT [DRIVER]   a printer on that port (and driver)
//   expect-no-printer NAME
//   expect-port NAME | expect-default NAME
//   expect-monitor NAME       listed, and its DLL in the real system folder
//   expect-driver NAME        registered for this Windows' environment ("Windows x64" on
//                             64-bit Windows, where the x86 records are the test harness's
//                             twins), every file it names in that environment's folder
//   expect-processor NAME DLL registered for this Windows' environment with DLL, which is
//                             in that environment's processor folder
//   expect-serial PORT LINE   the serial settings line of PORT (e.g. COM1:)
//   expect-value KEY NAME [DATA]  a value under HKLM\KEY (64-bit view on 64-bit Windows)
//   inventory                 printers (port, driver), drivers, monitors, ports, the default
// Other:
//   wait-window TITLE SECONDS a visible top-level window with that title
//   bench EXE DIR TITLE RUNS [EXE2 TITLE2]  start-up time until the first page is visible
//   sleep MS
//
// TITLE defaults to "Printer Driver Setup"; a Chinese title is passed as an argument, which
// Wine hands over in the ANSI code page, as the wizard sets its caption. DIR of --package
// is the package folder whose language\setup.ini gives the @ and answer texts.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SpoolerInventory.h"
#include "WindowDriver.h"

namespace {

using namespace spooler_inventory;
using namespace window_driver;

const DWORD kPollMs = 20;
const UINT kSendTimeoutMs = 1500;
const UINT kClickTimeoutMs = 200;
const int kMessageBoxText = 0xFFFF;

std::string gTitle = "Printer Driver Setup";
std::string gPackage = ".";
const std::string gSetupExe = "setup.exe";

struct Deadline {
    explicit Deadline(double seconds) : end(::GetTickCount() + static_cast<DWORD>(seconds * 1000)) {}
    bool passed() const { return static_cast<int>(::GetTickCount() - end) >= 0; }
    DWORD end;
};

std::string secondsText(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", s);
    return text;
}

bool fail(const char* format, const std::string& a = "", const std::string& b = "") {
    std::printf("FAIL ");
    std::printf(format, a.c_str(), b.c_str());
    std::printf("\n");
    return false;
}

// Lines of a multi-line text compared and printed alike, whatever the line ends.
std::string oneLine(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;
        out += text[i] == '\n' ? std::string(" | ") : std::string(1, text[i]);
    }
    return out;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> out(static_cast<size_t>(n) + 1, 0);
    ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out.data();
}

std::wstring widen(const std::string& text) {
    int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> out(static_cast<size_t>(n) + 1, 0);
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
    return out.data();
}

// Messages to another process go out with a time limit: a handler that opens a modal box
// does not return until the box is closed, and closing it may be the next command.
LRESULT send(HWND w, UINT message, WPARAM wParam, LPARAM lParam, bool* timedOut = nullptr,
             UINT timeoutMs = kSendTimeoutMs) {
    DWORD_PTR result = 0;
    const LRESULT ok = ::SendMessageTimeoutW(w, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result);
    if (timedOut) *timedOut = !ok;
    return ok ? static_cast<LRESULT>(result) : 0;
}

std::string windowText(HWND w) {
    const LRESULT length = send(w, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 2, 0);
    send(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return narrow(text.data());
}

std::string className(HWND w) {
    char name[64] = {};
    ::GetClassNameA(w, name, sizeof name);
    return name;
}

// --- the language file --------------------------------------------------------------

// The text the wizard shows for Section/Key: the line-break markers \1, \2 and \3 become
// line ends, each its first occurrence only, as setup's reader does.
bool languageText(const std::string& ref, std::string* text) {
    const auto slash = ref.find('/');
    if (slash == std::string::npos) return false;
    const std::string section = ref.substr(0, slash), key = ref.substr(slash + 1);
    const std::string file = gPackage + "\\language\\setup.ini";
    char buffer[2048] = {};
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "\x01", buffer, sizeof buffer, file.c_str());
    if (std::strcmp(buffer, "\x01") == 0) {
        fail("no %s in %s", ref, file);
        return false;
    }
    std::string t = buffer;
    for (const char* marker : {"\\1", "\\2", "\\3"}) {
        const auto at = t.find(marker);
        if (at != std::string::npos) t.replace(at, 2, "\r\n");
    }
    *text = t;
    return true;
}

// "@Section/Key" is a language text; anything else is meant literally.
bool expectedText(const std::string& arg, std::string* text) {
    if (!arg.empty() && arg[0] == '@') return languageText(arg.substr(1), text);
    *text = arg;
    return true;
}

// --- the wizard's windows -----------------------------------------------------------

struct TitleSearch {
    std::string title;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTitled(HWND w, LPARAM lParam) {
    auto* search = reinterpret_cast<TitleSearch*>(lParam);
    // For another process's window GetWindowText reads the stored caption and sends no
    // message, so a window whose thread is busy does not hold the search up.
    std::vector<wchar_t> wide(512, 0);
    ::GetWindowTextW(w, wide.data(), static_cast<int>(wide.size()));
    if (narrow(wide.data()) == search->title) search->found.push_back(w);
    return TRUE;
}

std::vector<HWND> windowsTitled(const std::string& title) {
    TitleSearch search{title, {}};
    ::EnumWindows(collectTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND frame() {
    for (HWND w : windowsTitled(gTitle))
        if (::IsWindowVisible(w)) return w;
    return nullptr;
}

struct PageSearch {
    HWND parent;
    HWND page;
};

BOOL CALLBACK findVisiblePage(HWND w, LPARAM lParam) {
    auto* search = reinterpret_cast<PageSearch*>(lParam);
    if (::GetParent(w) == search->parent && ::IsWindowVisible(w) && className(w) == "#32770") {
        search->page = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findAnyPage(HWND w, LPARAM lParam) {
    auto* search = reinterpret_cast<PageSearch*>(lParam);
    if (::GetParent(w) == search->parent && className(w) == "#32770") {
        search->page = w;
        return FALSE;
    }
    return TRUE;
}

HWND visiblePage(HWND frameWindow) {
    PageSearch search{frameWindow, nullptr};
    if (frameWindow) ::EnumChildWindows(frameWindow, findVisiblePage, reinterpret_cast<LPARAM>(&search));
    return search.page;
}

// Each page is known by a control that only it has.
struct PageMark {
    const char* name;
    int id;
};
const PageMark kPages[] = {{"license", 1081}, {"type", 1030}, {"mode", 1066}, {"os", 1078}, {"port", 1049}};

std::string pageName(HWND page) {
    if (!page) return "none";
    for (const auto& p : kPages)
        if (::GetDlgItem(page, p.id)) return p.name;
    return "unknown";
}

HWND control(int id, bool quiet = false) {
    HWND f = frame();
    if (!f) {
        if (!quiet) fail("no visible window \"%s\"", gTitle);
        return nullptr;
    }
    HWND page = visiblePage(f);
    HWND c = page ? ::GetDlgItem(page, id) : nullptr;
    if (!c) c = ::GetDlgItem(f, id);
    if (!c && !quiet) fail("no control %s on the %s page or the frame", std::to_string(id), pageName(page));
    return c;
}

bool waitFrame(double seconds) {
    Deadline d(seconds);
    for (;;) {
        HWND f = frame();
        if (f && visiblePage(f)) return true;
        if (d.passed()) return fail("no window \"%s\" with a visible page within %s s", gTitle, secondsText(seconds));
        ::Sleep(kPollMs);
    }
}

bool waitPage(const std::string& name, double seconds) {
    Deadline d(seconds);
    for (;;) {
        if (pageName(visiblePage(frame())) == name) return true;
        if (d.passed()) return fail("the %s page is not shown (shown: %s)", name, pageName(visiblePage(frame())));
        ::Sleep(kPollMs);
    }
}

bool click(int id) {
    HWND c = control(id);
    if (!c) return false;
    if (!::IsWindowEnabled(c) || !::IsWindowVisible(c))
        return fail("control %s cannot be clicked: %s", std::to_string(id),
                    ::IsWindowVisible(c) ? "disabled" : "hidden");
    // A click that times out stays queued and is handled once the window's thread is free,
    // as a user's would be; meanwhile the next command may answer the box it opened. The
    // wait is short: a click that opens the progress window must leave time to see it,
    // which lives for only a second when the installation is quick. Later messages to the
    // same thread are still handled after this one.
    bool timedOut = false;
    send(c, BM_CLICK, 0, 0, &timedOut, kClickTimeoutMs);
    if (timedOut) std::printf("click %d: still busy (a modal window?)\n", id);
    return true;
}

std::vector<std::string> comboItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = send(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = send(combo, CB_GETLBTEXTLEN, i, 0);
        std::vector<wchar_t> text(static_cast<size_t>(length < 0 ? 0 : length) + 2, 0);
        // Cross-process, only the wide form comes back converted.
        send(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        items.push_back(narrow(text.data()));
    }
    return items;
}

std::string comboSelection(HWND combo) {
    const LRESULT at = send(combo, CB_GETCURSEL, 0, 0);
    const auto items = comboItems(combo);
    return at >= 0 && static_cast<size_t>(at) < items.size() ? items[static_cast<size_t>(at)] : std::string();
}

std::string joined(const std::vector<std::string>& items) {
    std::string s;
    for (const auto& i : items) s += (s.empty() ? "" : ",") + i;
    return s;
}

bool select(int id, const std::string& text) {
    HWND c = control(id);
    if (!c) return false;
    if (!::IsWindowEnabled(c)) return fail("combo box %s is disabled", std::to_string(id));
    const std::wstring wide = widen(text);
    const LRESULT at = send(c, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
    if (at == CB_ERR) return fail("no item \"%s\" in %s", text, joined(comboItems(c)));
    send(c, CB_SETCURSEL, at, 0);
    // What a user's choice would make the combo box send its dialog.
    bool timedOut = false;
    send(::GetParent(c), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c), &timedOut);
    if (timedOut) std::printf("select %d: still busy (a modal window?)\n", id);
    return true;
}

bool setIp(int id, const std::string& address) {
    HWND c = control(id);
    if (!c) return false;
    unsigned a = 0, b = 0, cc = 0, d = 0;
    char tail = 0;
    if (std::sscanf(address.c_str(), "%u.%u.%u.%u%c", &a, &b, &cc, &d, &tail) != 4 || a > 255 || b > 255 ||
        cc > 255 || d > 255)
        return fail("not an address: %s", address);
    if (!::IsWindowEnabled(c)) return fail("the address control %s is disabled", std::to_string(id));
    send(c, IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, cc, d));
    return true;
}

bool expectFlag(const char* what, int id, bool want, bool (*probe)(HWND)) {
    HWND c = control(id);
    if (!c) return false;
    const bool is = probe(c);
    if (is != want)
        return fail("control %s: %s", std::to_string(id), std::string(what) + (is ? " is 1" : " is 0"));
    return true;
}

bool isEnabled(HWND c) { return ::IsWindowEnabled(c) != FALSE; }
bool isVisible(HWND c) { return ::IsWindowVisible(c) != FALSE; }
bool isChecked(HWND c) { return send(c, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool waitEnabled(int id, double seconds) {
    Deadline d(seconds);
    for (;;) {
        HWND c = control(id, true);
        if (c && ::IsWindowEnabled(c)) return true;
        if (d.passed()) return fail("control %s not enabled within %s s", std::to_string(id), secondsText(seconds));
        ::Sleep(kPollMs);
    }
}

// Every page and control of the frame with its state: what a failed step leaves in the log.
BOOL CALLBACK dumpControl(HWND w, LPARAM lParam) {
    HWND page = reinterpret_cast<HWND>(lParam);
    const std::string cls = className(w);
    if (::GetParent(w) != page || cls == "#32770") return TRUE;
    std::string text = oneLine(windowText(w));
    if (text.size() > 60) text = text.substr(0, 57) + "...";
    std::printf("    %5d %-14s %s%s", ::GetDlgCtrlID(w), cls.c_str(), ::IsWindowVisible(w) ? "" : "hidden ",
                ::IsWindowEnabled(w) ? "" : "disabled ");
    if (lstrcmpiA(cls.c_str(), "Button") == 0 && send(w, BM_GETCHECK, 0, 0) == BST_CHECKED) std::printf("checked ");
    if (lstrcmpiA(cls.c_str(), "ComboBox") == 0) std::printf("[%s] ", comboSelection(w).c_str());
    std::printf("\"%s\"\n", text.c_str());
    return TRUE;
}

BOOL CALLBACK dumpPage(HWND w, LPARAM lParam) {
    if (::GetParent(w) != reinterpret_cast<HWND>(lParam) || className(w) != "#32770") return TRUE;
    std::printf("  page %s%s\n", pageName(w).c_str(), ::IsWindowVisible(w) ? " (shown)" : "");
    ::EnumChildWindows(w, dumpControl, reinterpret_cast<LPARAM>(w));
    return TRUE;
}

bool dump() {
    HWND f = frame();
    if (!f) return fail("no visible window \"%s\"", gTitle);
    std::printf("frame \"%s\"%s\n", windowText(f).c_str(), ::IsIconic(f) ? " (minimised)" : "");
    ::EnumChildWindows(f, dumpControl, reinterpret_cast<LPARAM>(f));
    ::EnumChildWindows(f, dumpPage, reinterpret_cast<LPARAM>(f));
    return true;
}

// --- message boxes ------------------------------------------------------------------

std::string processName(DWORD pid) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return {};
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    std::string name;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == pid) {
            name = entry.szExeFile;
            break;
        }
    }
    ::CloseHandle(snapshot);
    const auto slash = name.find_last_of("\\/");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

BOOL CALLBACK findSetupBox(HWND w, LPARAM lParam) {
    if (!::IsWindowVisible(w) || className(w) != "#32770" || !::GetDlgItem(w, kMessageBoxText)) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (lstrcmpiA(processName(pid).c_str(), gSetupExe.c_str()) != 0) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = w;
    return FALSE;
}

HWND setupBox() {
    HWND box = nullptr;
    ::EnumWindows(findSetupBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

// Waits for a message box of setup and checks its caption and text; 0 when none came or
// it is not the expected one.
HWND waitBox(const std::string& key, double seconds) {
    std::string want;
    if (key != "*" && !languageText(key, &want)) return nullptr;
    Deadline d(seconds);
    HWND box = nullptr;
    while (!(box = setupBox())) {
        if (d.passed()) {
            fail("no message box of %s within %s s", gSetupExe, secondsText(seconds));
            return nullptr;
        }
        ::Sleep(kPollMs);
    }
    const std::string text = windowText(::GetDlgItem(box, kMessageBoxText));
    const std::string caption = windowText(box);
    std::printf("box \"%s\": %s\n", caption.c_str(), oneLine(text).c_str());
    // The caption is the program's name, whatever the message.
    const std::string base = gSetupExe.substr(0, gSetupExe.rfind('.'));
    if (lstrcmpiA(caption.c_str(), base.c_str()) != 0) {
        fail("the box's caption is \"%s\", not \"%s\"", caption, base);
        return nullptr;
    }
    if (key != "*" && oneLine(text) != oneLine(want)) {
        fail("expected the text of %s: %s", key, oneLine(want));
        return nullptr;
    }
    return box;
}

bool answer(const std::string& key, int button, double seconds) {
    HWND box = waitBox(key, seconds);
    if (!box) return false;
    HWND b = ::GetDlgItem(box, button);
    if (!b) return fail("the box has no button %s", std::to_string(button));
    bool timedOut = false;
    send(b, BM_CLICK, 0, 0, &timedOut);
    Deadline gone(10);
    while (::IsWindow(box) && ::IsWindowVisible(box)) {
        if (gone.passed()) return fail("the box stays open after button %s", std::to_string(button));
        ::Sleep(kPollMs);
    }
    return true;
}

BOOL CALLBACK findProgress(HWND w, LPARAM lParam) {
    if (!::IsWindowVisible(w) || className(w) != "#32770") return TRUE;
    HWND bar = ::GetDlgItem(w, 1079);
    if (!bar || !::IsWindowVisible(bar)) return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (lstrcmpiA(processName(pid).c_str(), gSetupExe.c_str()) != 0) return TRUE;
    *reinterpret_cast<HWND*>(lParam) = w;
    return FALSE;
}

bool waitProgress(double seconds) {
    Deadline d(seconds);
    for (;;) {
        HWND w = nullptr;
        ::EnumWindows(findProgress, reinterpret_cast<LPARAM>(&w));
        if (w) return true;
        if (d.passed()) return fail("no progress window within %s s", secondsText(seconds));
        ::Sleep(kPollMs);
    }
}

bool noBox(double seconds) {
    Deadline d(seconds);
    for (;;) {
        if (HWND box = setupBox())
            return fail("unexpected message box: %s", oneLine(windowText(::GetDlgItem(box, kMessageBoxText))));
        if (d.passed()) return true;
        ::Sleep(kPollMs);
    }
}

bool waitGone(double seconds) {
    Deadline d(seconds);
    while (!windowsTitled(gTitle).empty()) {
        if (d.passed()) return fail("the window \"%s\" is still there after %s s", gTitle, secondsText(seconds));
        ::Sleep(kPollMs);
    }
    return true;
}

// --- what the machine holds -----------------------------------------------------------

std::string defaultPrinter() {
    char name[512] = {};
    DWORD size = sizeof name;
    return ::GetDefaultPrinterA(name, &size) ? name : "";
}

// A value under HKLM in the view setup writes: the 64-bit one on 64-bit Windows.
bool readValue(const std::string& key, const std::string& name, std::string* text) {
    HKEY h = nullptr;
    const REGSAM view = isWow64() ? KEY_WOW64_64KEY : 0;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | view, &h) != ERROR_SUCCESS) return false;
    BYTE data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    const bool ok = ::RegQueryValueExA(h, name.c_str(), nullptr, &type, data, &size) == ERROR_SUCCESS;
    ::RegCloseKey(h);
    if (ok && text) {
        if (type == REG_DWORD)
            *text = std::to_string(*reinterpret_cast<DWORD*>(data));
        else
            *text = reinterpret_cast<char*>(data);
    }
    return ok;
}

bool expectPrinter(const std::string& name, const std::string& port, const std::string& driver) {
    for (const auto& p : printers()) {
        if (p.name != name) continue;
        if (p.port != port) return fail("printer %s is on port %s", name, p.port);
        if (!driver.empty() && p.driver != driver) return fail("printer %s has driver %s", name, p.driver);
        HANDLE h = nullptr;
        if (!::OpenPrinterA(const_cast<char*>(name.c_str()), &h, nullptr)) return fail("printer %s cannot be opened", name);
        ::ClosePrinter(h);
        std::printf("printer %s on %s, driver %s\n", name.c_str(), p.port.c_str(), p.driver.c_str());
        return true;
    }
    std::string names;
    for (const auto& p : printers()) names += " [" + p.name + "]";
    return fail("no printer %s; there are:%s", name, names);
}

bool expectSerial(const std::string& port, const std::string& line) {
    std::string value;
    const bool found = readValue("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", port, &value);
    char profile[256] = {};
    ::GetProfileStringA("Ports", port.c_str(), "", profile, sizeof profile);
    std::printf("serial %s: registry \"%s\", WIN.INI \"%s\"\n", port.c_str(), value.c_str(), profile);
    if (!found) return fail("no value %s under ...\\Windows NT\\CurrentVersion\\Ports", port);
    if (value != line) return fail("the settings of %s are \"%s\"", port, value);
    return true;
}

std::string upper(std::string s) {
    if (!s.empty()) ::CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

bool fileThere(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool expectDriver(const std::string& name) {
    const char* environment = nativeEnvironment();
    std::vector<BYTE> s;
    const auto records = enumerate<DRIVER_INFO_3A>(
        [environment](BYTE* b, DWORD n, DWORD* need, DWORD* c) {
            return ::EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 3, b, n, need, c);
        },
        &s);
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    ::GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed);
    const std::string folder = upper(std::string(dir) + "\\3\\");
    for (const auto& r : records) {
        if (lstrcmpiA(r.pName, name.c_str()) != 0) continue;
        if (lstrcmpiA(text(r.pEnvironment).c_str(), environment) != 0)
            return fail("driver %s reports environment %s", name, text(r.pEnvironment));
        std::vector<std::string> files;
        for (const char* f : {r.pDriverPath, r.pDataFile, r.pConfigFile, r.pHelpFile})
            if (f && *f) files.push_back(f);
        for (const char* f = r.pDependentFiles; f && *f; f += std::strlen(f) + 1) files.push_back(f);
        for (const auto& f : files) {
            const std::string u = upper(f);
            if (u.compare(0, folder.size(), folder) != 0 || u.size() == folder.size()) {
                // An empty help file may come back as the bare folder.
                if (u == folder) continue;
                return fail("driver %s names %s", name, f + ", outside " + folder);
            }
            if (!fileThere(f)) return fail("driver %s names %s, which is not there", name, f);
        }
        std::printf("driver %s: %u files in %s\n", name.c_str(), static_cast<unsigned>(files.size()), folder.c_str());
        return true;
    }
    return fail("no driver %s registered for %s", name, environment);
}

bool expectProcessor(const std::string& name, const std::string& dll) {
    const char* environment = nativeEnvironment();
    const std::string key =
        std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") + environment + "\\Print Processors\\" + name;
    std::string value;
    HKEY h = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) == ERROR_SUCCESS) {
        char data[MAX_PATH] = {};
        DWORD size = sizeof data - 1;
        if (::RegQueryValueExA(h, "Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
            value = data;
        ::RegCloseKey(h);
    }
    if (lstrcmpiA(value.c_str(), dll.c_str()) != 0)
        return fail("print processor %s is not registered for %s", name, std::string(environment) + " with " + dll + " (\"" + value + "\")");
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    ::GetPrintProcessorDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir), sizeof dir,
                                  &needed);
    const std::string path = std::string(dir) + "\\" + dll;
    if (!fileThere(path)) return fail("print processor %s: no %s", name, path);
    std::printf("print processor %s: %s\n", name.c_str(), path.c_str());
    return true;
}

// Listed by the spooler, and the DLL its key names in the real system folder (redirection
// off on 64-bit Windows), where setup copies it.
bool expectMonitor(const std::string& name) {
    if (!contains(monitorNames(), name)) return fail("no monitor %s", name);
    std::string dll;
    HKEY h = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, ("SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + name).c_str(), 0,
                        KEY_READ, &h) == ERROR_SUCCESS) {
        char data[MAX_PATH] = {};
        DWORD size = sizeof data - 1;
        if (::RegQueryValueExA(h, "Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
            dll = data;
        ::RegCloseKey(h);
    }
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, sizeof system);
    const bool there = !dll.empty() && fileExistsNative(std::string(system) + "\\" + dll);
    if (!there) return fail("monitor %s: its DLL \"%s\" is not in the real system folder", name, dll);
    return true;
}

void inventory() {
    for (const auto& p : printers())
        std::printf("printer   %s  (port %s, driver %s)\n", p.name.c_str(), p.port.c_str(), p.driver.c_str());
    for (const auto& d : driverNames()) std::printf("driver    %s\n", d.c_str());
    for (const auto& m : monitorNames()) std::printf("monitor   %s\n", m.c_str());
    for (const auto& p : portNames()) std::printf("port      %s\n", p.c_str());
    const std::string d = defaultPrinter();
    std::printf("default   %s\n", d.empty() ? "(none)" : d.c_str());
}

// --- other windows and programs -------------------------------------------------------

struct Shown {
    DWORD pid;
    std::string title;
    HWND window;
};

BOOL CALLBACK findShown(HWND w, LPARAM lParam) {
    auto* s = reinterpret_cast<Shown*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    if (pid != s->pid || !::IsWindowVisible(w)) return TRUE;
    std::vector<wchar_t> wide(256, 0);
    ::GetWindowTextW(w, wide.data(), static_cast<int>(wide.size()));
    if (narrow(wide.data()) != s->title) return TRUE;
    s->window = w;
    return FALSE;
}

// Milliseconds from CreateProcess until the program's window titled TITLE is visible with
// a visible child dialog (the wizard's first page) or, for a program without pages, a
// visible first control; then the window is closed and the program must end.
double startOnce(const std::string& exe, const std::string& dir, const std::string& title, bool* ok) {
    *ok = false;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + exe + "\"";
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        fail("%s does not start (error %s)", exe, std::to_string(::GetLastError()));
        return 0;
    }
    double ms = 0;
    Deadline d(30);
    for (;;) {
        Shown s{pi.dwProcessId, title, nullptr};
        ::EnumWindows(findShown, reinterpret_cast<LPARAM>(&s));
        HWND inner = nullptr;
        if (s.window) {
            // A program with pages is ready when one of them shows; one without, when its
            // first control does.
            PageSearch any{s.window, nullptr};
            ::EnumChildWindows(s.window, findAnyPage, reinterpret_cast<LPARAM>(&any));
            HWND first = ::GetWindow(s.window, GW_CHILD);
            inner = any.page ? visiblePage(s.window) : (first && ::IsWindowVisible(first) ? first : nullptr);
        }
        if (inner) {
            ::QueryPerformanceCounter(&now);
            ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
            ::PostMessageA(s.window, WM_COMMAND, IDCANCEL, 0);
            break;
        }
        if (d.passed() || ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            fail("%s showed no window \"%s\"", exe, title);
            ::TerminateProcess(pi.hProcess, 1);
            ::CloseHandle(pi.hThread);
            ::CloseHandle(pi.hProcess);
            return 0;
        }
        ::Sleep(1);
    }
    *ok = ::WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0;
    if (!*ok) {
        fail("%s did not end after Cancel", exe);
        ::TerminateProcess(pi.hProcess, 1);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The two programs take turns, after one unmeasured start of each, so that both meet the
// same state of the machine.
bool bench(const std::vector<std::string>& args) {
    const std::string dir = args[1];
    const int runs = std::atoi(args[3].c_str());
    struct Program {
        std::string exe, title;
        std::vector<double> ms;
    };
    std::vector<Program> programs{{args[0], args[2], {}}};
    if (args.size() >= 6) programs.push_back({args[4], args[5], {}});
    bool ok = true;
    for (int run = -1; run < runs && ok; ++run) {
        for (auto& p : programs) {
            const double ms = startOnce(p.exe, dir, p.title, &ok);
            if (!ok) break;
            if (run >= 0) p.ms.push_back(ms);
            ::Sleep(200);
        }
    }
    if (!ok) return false;
    for (const auto& p : programs) {
        std::printf("%-28s", p.exe.substr(p.exe.find_last_of("\\/") + 1).c_str());
        for (double ms : p.ms) std::printf(" %6.1f", ms);
        std::printf("   median %.1f ms\n", median(p.ms));
    }
    if (programs.size() == 2)
        std::printf("ratio %.2f\n", median(programs[0].ms) / median(programs[1].ms));
    return true;
}

// --- commands -----------------------------------------------------------------------

int usage() {
    std::fprintf(stderr, "usage: setup_driver [--title T] [--package DIR] COMMAND ARGS [; COMMAND ARGS]... (see SetupDriver.cpp)\n");
    return 2;
}

// 1 done, 0 failed, -1 usage error.
int run(const std::vector<std::string>& a) {
    const std::string& c = a[0];
    const size_t n = a.size() - 1;
    auto num = [&](size_t i) { return std::atoi(a[i].c_str()); };
    auto secs = [&](size_t i) { return i <= n ? std::atof(a[i].c_str()) : 10.0; };
    auto flag = [&](size_t i) { return a[i] == "1"; };
    if (c == "wait-frame" && n >= 1) return waitFrame(secs(1));
    if (c == "wait-page" && n >= 1) return waitPage(a[1], secs(2));
    if (c == "dump") return dump();
    if (c == "page") {
        std::printf("%s\n", pageName(visiblePage(frame())).c_str());
        return 1;
    }
    if (c == "click" && n == 1) return click(num(1));
    if (c == "select" && n == 2) return select(num(1), a[2]);
    if (c == "set-ip" && n == 2) return setIp(num(1), a[2]);
    if (c == "text" && n == 1) {
        HWND w = control(num(1));
        if (w) std::printf("%s\n", oneLine(windowText(w)).c_str());
        return w != nullptr;
    }
    if (c == "items" && n == 1) {
        HWND w = control(num(1));
        if (w)
            for (const auto& i : comboItems(w)) std::printf("%s\n", i.c_str());
        return w != nullptr;
    }
    if (c == "expect-text" && n == 2) {
        std::string want;
        HWND w = control(num(1));
        if (!w || !expectedText(a[2], &want)) return 0;
        const std::string is = windowText(w);
        if (oneLine(is) != oneLine(want)) return fail("control %s reads \"%s\"", a[1], oneLine(is) + "\", expected \"" + oneLine(want));
        return 1;
    }
    if (c == "expect-enabled" && n == 2) return expectFlag("enabled", num(1), flag(2), isEnabled);
    if (c == "expect-visible" && n == 2) return expectFlag("visible", num(1), flag(2), isVisible);
    if (c == "expect-checked" && n == 2) return expectFlag("checked", num(1), flag(2), isChecked);
    if (c == "expect-selected" && n == 2) {
        HWND w = control(num(1));
        if (!w) return 0;
        const std::string is = comboSelection(w);
        if (is != a[2]) return fail("combo box %s shows \"%s\"", a[1], is + "\", expected \"" + a[2]);
        return 1;
    }
    if (c == "expect-items" && n == 2) {
        HWND w = control(num(1));
        if (!w) return 0;
        const std::string is = joined(comboItems(w));
        if (is != a[2]) return fail("combo box %s holds %s", a[1], is + ", expected " + a[2]);
        return 1;
    }
    if (c == "wait-enabled" && n >= 1) return waitEnabled(num(1), secs(2));
    if (c == "answer" && n >= 2) return answer(a[1], num(2), secs(3));
    if (c == "wait-box" && n >= 1) return waitBox(a[1], secs(2)) != nullptr;
    if (c == "wait-window" && n >= 1) {
        Deadline d(secs(2));
        for (;;) {
            for (HWND w : windowsTitled(a[1]))
                if (::IsWindowVisible(w)) return 1;
            if (d.passed()) return fail("no visible window \"%s\"", a[1]);
            ::Sleep(kPollMs);
        }
    }
    if (c == "no-box" && n == 1) return noBox(secs(1));
    if (c == "wait-progress" && n == 1) return waitProgress(secs(1));
    if (c == "wait-gone" && n >= 1) return waitGone(secs(1));
    if (c == "frames" && n == 1) {
        const size_t count = windowsTitled(gTitle).size();
        if (count != static_cast<size_t>(num(1)))
            return fail("%s windows titled \"%s\"", std::to_string(count), gTitle + "\", expected " + a[1]);
        return 1;
    }
    if (c == "close") {
        HWND f = frame();
        if (!f) return fail("no visible window \"%s\"", gTitle);
        return ::PostMessageA(f, WM_COMMAND, IDCANCEL, 0) != FALSE;
    }
    if (c == "expect-printer" && (n == 2 || n == 3)) return expectPrinter(a[1], a[2], n == 3 ? a[3] : "");
    if (c == "expect-no-printer" && n == 1) {
        for (const auto& p : printers())
            if (p.name == a[1]) return fail("printer %s exists (port %s)", a[1], p.port);
        return 1;
    }
    if (c == "expect-port" && n == 1) return contains(portNames(), a[1]) ? 1 : fail("no port %s", a[1]);
    if (c == "expect-monitor" && n == 1) return expectMonitor(a[1]);
    if (c == "expect-driver" && n == 1) return expectDriver(a[1]);
    if (c == "expect-processor" && n == 2) return expectProcessor(a[1], a[2]);
    if (c == "expect-default" && n == 1) {
        const std::string is = defaultPrinter();
        return is == a[1] ? 1 : fail("the default printer is \"%s\", not %s", is, a[1]);
    }
    if (c == "expect-serial" && n == 2) return expectSerial(a[1], a[2]);
    if (c == "expect-value" && (n == 2 || n == 3)) {
        std::string v;
        if (!readValue(a[1], a[2], &v)) return fail("no value %s under HKLM\\%s", a[2], a[1]);
        std::printf("HKLM\\%s %s = %s\n", a[1].c_str(), a[2].c_str(), v.c_str());
        if (n == 3 && v != a[3]) return fail("the value is %s, not %s", v, a[3]);
        return 1;
    }
    if (c == "inventory") {
        inventory();
        return 1;
    }
    if (c == "bench" && (n == 4 || n == 6)) return bench(std::vector<std::string>(a.begin() + 1, a.end()));
    if (c == "sleep" && n == 1) {
        ::Sleep(static_cast<DWORD>(num(1)));
        return 1;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int i = 1;
    for (; i + 1 < argc; i += 2) {
        const std::string o = argv[i];
        if (o == "--title") gTitle = argv[i + 1];
        else if (o == "--package") gPackage = argv[i + 1];
        else break;
    }
    if (i >= argc) return usage();
    std::vector<std::vector<std::string>> commands(1);
    for (; i < argc; ++i) {
        if (std::strcmp(argv[i], ";") == 0) commands.emplace_back();
        else commands.back().push_back(argv[i]);
    }
    for (const auto& command : commands) {
        if (command.empty()) return usage();
        const int rc = run(command);
        std::fflush(stdout);
        if (rc < 0) {
            std::fprintf(stderr, "unknown command or wrong arguments: %s\n", command[0].c_str());
            return usage();
        }
        if (rc == 0) {
            std::printf("  (in: %s)\n", command[0].c_str());
            return 1;
        }
    }
    return 0;
}
