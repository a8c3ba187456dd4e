// ui_driver: drives the uninstaller's windows from another process in the same Wine prefix
// and reports what the spooler and the registry hold afterwards. One command per run:
//
//   wait-window TITLE SECONDS      a visible top-level window with that (ANSI) title
//   gone-window TITLE SECONDS      until no window has that title
//   rows                           the component list: "[x] text" / "[ ] text", one a line
//   check-row TEXT [0|1]           set (default) or clear the check box of the row with TEXT
//   click ID                       BM_CLICK posted to control ID of the main window
//   wait-enabled ID SECONDS        until control ID is enabled
//   close-while-busy SECONDS       once the removal runs, post every way of closing the
//                                  main window; it must still be open SECONDS later
//   close                          WM_CLOSE posted to the main window
//   enabled ID                     prints 1 or 0
//   answer TITLE BUTTON SECONDS    wait for dialog TITLE, press its button BUTTON
//   notes                          the note list box, one line per entry
//   expect present|absent KIND NAME
//        KIND: printer, driver, x86-driver, monitor, monitor-key, processor, processor-key,
//        processor-file, key64, key32, key, file. driver and processor* are looked up in the
//        environment setup registers them for: "Windows x64" on 64-bit Windows, where the
//        x86 records of the same names are the test harness's twins (spooler_twins).
//   add-foreign PRINTER DRIVER PORT   a printer on a driver the package does not list
//   driver-of PRINTER              the printer's driver name
//   inventory                      printers (with drivers), drivers, monitors, processors
//
// The main window is found by its title: "Uninstall" unless the command is preceded by
// --title TITLE (an argument, not an environment variable: Wine hands arguments over in
// the ANSI code page, which is how the uninstaller sets its title).
// Exit 0 on success, 1 when an expectation or a wait fails, 2 on a usage error.
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SpoolerInventory.h"
#include "WindowDriver.h"
#include "resource.h"

namespace {

using namespace spooler_inventory;
using namespace window_driver;

const DWORD kPollMs = 50;

std::string gMainTitle = "Uninstall";

std::string mainTitle() { return gMainTitle; }

HWND findVisible(const std::string& title) {
    HWND w = ::FindWindowA(nullptr, title.c_str());
    return (w && ::IsWindowVisible(w)) ? w : nullptr;
}

HWND waitWindow(const std::string& title, double seconds) {
    const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        if (HWND w = findVisible(title)) return w;
        if (static_cast<int>(::GetTickCount() - deadline) >= 0) return nullptr;
        ::Sleep(kPollMs);
    }
}

HWND mainWindow() {
    HWND w = findVisible(mainTitle());
    if (!w) std::fprintf(stderr, "no visible window titled \"%s\"\n", mainTitle().c_str());
    return w;
}

// The list view is in the uninstaller's address space: every LVITEM and text buffer it
// reads or writes has to live there too.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    bool ok() const { return address_ != nullptr; }
    char* at(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool write(SIZE_T offset, const void* data, SIZE_T size) {
        SIZE_T done = 0;
        return ::WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }
    bool read(SIZE_T offset, void* data, SIZE_T size) {
        SIZE_T done = 0;
        return ::ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    SIZE_T size_;
};

const int kTextSize = 512;

bool rowText(HWND list, RemoteBuffer& remote, int row, std::string* text) {
    LVITEMA item = {};
    item.iSubItem = 0;
    item.cchTextMax = kTextSize - 1;
    item.pszText = remote.at(sizeof item);
    char zero = 0;
    if (!remote.write(0, &item, sizeof item) || !remote.write(sizeof item, &zero, 1)) return false;
    ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.at(0)));
    char buffer[kTextSize] = {};
    if (!remote.read(sizeof item, buffer, kTextSize - 1)) return false;
    *text = buffer;
    return true;
}

bool rowChecked(HWND list, int row) {
    // The state image is 1 for unchecked and 2 for checked.
    const LRESULT state = ::SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

struct Rows {
    HWND list = nullptr;
    std::vector<std::string> texts;
};

bool readRows(Rows* rows) {
    HWND main = mainWindow();
    if (!main) return false;
    rows->list = ::GetDlgItem(main, IDC_COMPONENT_LIST);
    if (!rows->list) {
        std::fprintf(stderr, "the window has no control %d\n", IDC_COMPONENT_LIST);
        return false;
    }
    RemoteBuffer remote(rows->list, sizeof(LVITEMA) + kTextSize);
    if (!remote.ok()) {
        std::fprintf(stderr, "no memory in the uninstaller's process (error %lu)\n", ::GetLastError());
        return false;
    }
    const int count = static_cast<int>(::SendMessageA(rows->list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        std::string text;
        if (!rowText(rows->list, remote, row, &text)) {
            std::fprintf(stderr, "row %d could not be read\n", row);
            return false;
        }
        rows->texts.push_back(text);
    }
    return true;
}

int cmdRows() {
    Rows rows;
    if (!readRows(&rows)) return 1;
    for (size_t i = 0; i < rows.texts.size(); ++i)
        std::printf("[%c] %s\n", rowChecked(rows.list, static_cast<int>(i)) ? 'x' : ' ', rows.texts[i].c_str());
    return 0;
}

int cmdCheckRow(const std::string& text, bool check) {
    Rows rows;
    if (!readRows(&rows)) return 1;
    int found = -1;
    for (size_t i = 0; i < rows.texts.size(); ++i)
        if (rows.texts[i] == text) found = static_cast<int>(i);
    if (found < 0) {
        std::fprintf(stderr, "no row \"%s\"\n", text.c_str());
        return 1;
    }
    RemoteBuffer remote(rows.list, sizeof(LVITEMA));
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(check ? 2 : 1);
    if (!remote.ok() || !remote.write(0, &item, sizeof item)) return 1;
    ::SendMessageA(rows.list, LVM_SETITEMSTATE, found, reinterpret_cast<LPARAM>(remote.at(0)));
    if (rowChecked(rows.list, found) != check) {
        std::fprintf(stderr, "row \"%s\" did not take the new check state\n", text.c_str());
        return 1;
    }
    return 0;
}

HWND control(int id) {
    HWND main = mainWindow();
    if (!main) return nullptr;
    HWND c = ::GetDlgItem(main, id);
    if (!c) std::fprintf(stderr, "no control %d\n", id);
    return c;
}

int cmdClick(int id) {
    HWND c = control(id);
    if (!c) return 1;
    if (!::IsWindowEnabled(c)) {
        std::fprintf(stderr, "control %d is disabled\n", id);
        return 1;
    }
    // Posted: the click may open a modal box, which would hold a sent message until closed.
    return ::PostMessageA(c, BM_CLICK, 0, 0) ? 0 : 1;
}

int cmdWaitEnabled(int id, double seconds) {
    const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        HWND main = findVisible(mainTitle());
        HWND c = main ? ::GetDlgItem(main, id) : nullptr;
        if (c && ::IsWindowEnabled(c)) return 0;
        if (static_cast<int>(::GetTickCount() - deadline) >= 0) {
            std::fprintf(stderr, "control %d not enabled within %.0f s\n", id, seconds);
            return 1;
        }
        ::Sleep(kPollMs);
    }
}

// A removal is running once it has disabled the Uninstall button. Then the dialog gets
// what the Exit button and Esc send (IDCANCEL), WM_CLOSE, and what the close box and Alt+F4
// send (SC_CLOSE): while the worker drives the dialog's controls none may end it.
int cmdCloseWhileBusy(double seconds) {
    HWND main = mainWindow();
    HWND uninstall = main ? ::GetDlgItem(main, IDC_UNINSTALL) : nullptr;
    if (!uninstall) return 1;
    const DWORD deadline = ::GetTickCount() + 30000;
    while (::IsWindowEnabled(uninstall)) {
        if (static_cast<int>(::GetTickCount() - deadline) >= 0) {
            std::fprintf(stderr, "the removal did not start: Uninstall is still enabled\n");
            return 1;
        }
        ::Sleep(kPollMs);
    }
    const bool posted =
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(main, IDCANCEL))) &&
        ::PostMessageA(main, WM_CLOSE, 0, 0) && ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!posted) {
        std::fprintf(stderr, "posting to the main window failed: %lu\n", ::GetLastError());
        return 1;
    }
    ::Sleep(static_cast<DWORD>(seconds * 1000));
    if (!::IsWindow(main) || !::IsWindowVisible(main)) {
        std::fprintf(stderr, "the main window closed while the removal ran\n");
        return 1;
    }
    std::printf("still open after IDCANCEL, WM_CLOSE and SC_CLOSE (Uninstall %s)\n",
                ::IsWindowEnabled(uninstall) ? "enabled again" : "still disabled");
    return 0;
}

int cmdAnswer(const std::string& title, int button, double seconds) {
    const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds * 1000);
    for (;;) {
        HWND w = ::FindWindowA("#32770", title.c_str());
        if (w && ::IsWindowVisible(w)) {
            HWND b = ::GetDlgItem(w, button);
            if (!b) {
                std::fprintf(stderr, "dialog \"%s\" has no button %d\n", title.c_str(), button);
                return 1;
            }
            ::PostMessageA(b, BM_CLICK, 0, 0);
            return 0;
        }
        if (static_cast<int>(::GetTickCount() - deadline) >= 0) {
            std::fprintf(stderr, "no dialog \"%s\" within %.0f s\n", title.c_str(), seconds);
            return 1;
        }
        ::Sleep(kPollMs);
    }
}

int cmdNotes() {
    HWND box = control(IDC_NOTE_LIST);
    if (!box) return 1;
    const int count = static_cast<int>(::SendMessageA(box, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        // Wine passes a cross-process LB_GETTEXTA to the Unicode list box unconverted: ask
        // for the wide text and convert it here.
        const LRESULT length = ::SendMessageW(box, LB_GETTEXTLEN, i, 0);
        if (length < 0) return 1;
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 2, 0);
        ::SendMessageW(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::vector<char> text(wide.size() * 4, 0);
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
        std::printf("%s\n", text.data());
    }
    return 0;
}

// --- what the machine holds ---------------------------------------------------------

bool printerDriver(const std::string& printer, std::string* driver) {
    HANDLE h = nullptr;
    if (!::OpenPrinterA(const_cast<char*>(printer.c_str()), &h, nullptr)) return false;
    DWORD needed = 0;
    ::GetPrinterA(h, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 16);
    const bool ok = needed && ::GetPrinterA(h, 2, buffer.data(), static_cast<DWORD>(buffer.size()), &needed);
    if (ok) {
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        *driver = info->pDriverName ? info->pDriverName : "";
    }
    ::ClosePrinter(h);
    return ok;
}


std::vector<std::string> driverNamesIn(const char* environment) {
    std::vector<BYTE> s;
    std::vector<std::string> names;
    for (const auto& i : enumerate<DRIVER_INFO_1A>(
             [environment](BYTE* b, DWORD n, DWORD* need, DWORD* c) {
                 return ::EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, b, n, need, c);
             },
             &s))
        names.push_back(text(i.pName));
    return names;
}

std::vector<std::string> processorNamesIn(const char* environment) {
    std::vector<BYTE> s;
    std::vector<std::string> names;
    for (const auto& i : enumerate<PRINTPROCESSOR_INFO_1A>(
             [environment](BYTE* b, DWORD n, DWORD* need, DWORD* c) {
                 return ::EnumPrintProcessorsA(nullptr, const_cast<char*>(environment), 1, b, n, need, c);
             },
             &s))
        names.push_back(text(i.pName));
    return names;
}

std::string processorFolder(const char* environment) {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    ::GetPrintProcessorDirectoryA(nullptr, const_cast<char*>(environment), 1, reinterpret_cast<BYTE*>(dir), sizeof dir,
                                  &needed);
    return dir;
}

int cmdExpect(const std::string& want, const std::string& kind, const std::string& name) {
    if (want != "present" && want != "absent") return 2;
    bool present = false;
    std::string detail;
    if (kind == "printer") {
        HANDLE h = nullptr;
        present = ::OpenPrinterA(const_cast<char*>(name.c_str()), &h, nullptr) != FALSE;
        if (present) ::ClosePrinter(h);
        // The spooler may still list a printer it can no longer open: that is not "gone".
        if (!present && contains(printerNames(), name)) {
            present = true;
            detail = " (listed, but OpenPrinter fails)";
        }
    } else if (kind == "driver") {
        present = contains(driverNamesIn(nativeEnvironment()), name);
    } else if (kind == "x86-driver") {
        present = contains(driverNamesIn("Windows NT x86"), name);
    } else if (kind == "monitor") {
        present = contains(monitorNames(), name);
    } else if (kind == "monitor-key") {
        present = keyExists("SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + name, 0);
    } else if (kind == "processor") {
        present = contains(processorNamesIn(nativeEnvironment()), name);
    } else if (kind == "processor-key") {
        present = keyExists(std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
                                nativeEnvironment() + "\\Print Processors\\" + name,
                            0);
    } else if (kind == "processor-file") {
        const std::string path = processorFolder(nativeEnvironment()) + "\\" + name;
        present = ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        detail = " (" + path + ")";
    } else if (kind == "key64") {
        present = keyExists(name, isWow64() ? KEY_WOW64_64KEY : 0);
    } else if (kind == "key32") {
        present = keyExists(name, isWow64() ? KEY_WOW64_32KEY : 0);
    } else if (kind == "key") {
        present = keyExists(name, 0);
    } else if (kind == "file") {
        present = fileExistsNative(name);
    } else {
        return 2;
    }
    const bool ok = present == (want == "present");
    std::printf("  %s %s %s: %s%s\n", ok ? "ok  " : "FAIL", kind.c_str(), name.c_str(),
                present ? "present" : "absent", detail.c_str());
    return ok ? 0 : 1;
}

int cmdInventory() {
    for (const auto& p : printerNames()) {
        std::string driver = "?";
        printerDriver(p, &driver);
        std::printf("printer   %s  (driver %s)\n", p.c_str(), driver.c_str());
    }
    // By environment: on 64-bit Windows setup's are the x64 ones, the x86 ones are twins.
    std::vector<const char*> environments{nativeEnvironment()};
    if (isWow64()) environments.push_back("Windows NT x86");
    for (const char* environment : environments)
        for (const auto& d : driverNamesIn(environment)) std::printf("driver    %s  (%s)\n", d.c_str(), environment);
    for (const auto& m : monitorNames()) std::printf("monitor   %s\n", m.c_str());
    for (const char* environment : environments)
        for (const auto& p : processorNamesIn(environment)) std::printf("processor %s  (%s)\n", p.c_str(), environment);
    return 0;
}

// A driver under a name the package does not list, made from the package's universal
// driver files, and a printer on it: the uninstaller must neither offer nor touch it.
int cmdAddForeign(const std::string& printer, const std::string& driver, const std::string& port) {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    if (!::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed)) {
        std::fprintf(stderr, "GetPrinterDriverDirectory failed: %lu\n", ::GetLastError());
        return 1;
    }
    const char* files[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "STDNAMES.GPD"};
    for (const char* f : files) {
        const std::string from = std::string("C:\\pkg\\W32\\") + f, to = std::string(dir) + "\\" + f;
        if (!::CopyFileA(from.c_str(), to.c_str(), FALSE)) {
            std::fprintf(stderr, "copy %s -> %s failed: %lu\n", from.c_str(), to.c_str(), ::GetLastError());
            return 1;
        }
    }
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = const_cast<char*>(driver.c_str());
    info.pEnvironment = const_cast<char*>("Windows NT x86");
    info.pDriverPath = const_cast<char*>("UNIDRV.DLL");
    info.pDataFile = const_cast<char*>("STDNAMES.GPD");
    info.pConfigFile = const_cast<char*>("UNIDRVUI.DLL");
    if (!::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info))) {
        std::fprintf(stderr, "AddPrinterDriver failed: %lu\n", ::GetLastError());
        return 1;
    }
    PRINTER_INFO_2A p = {};
    p.pPrinterName = const_cast<char*>(printer.c_str());
    p.pPortName = const_cast<char*>(port.c_str());
    p.pDriverName = const_cast<char*>(driver.c_str());
    p.pPrintProcessor = const_cast<char*>("WinPrint");
    p.pDatatype = const_cast<char*>("RAW");
    p.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&p));
    if (!h) {
        std::fprintf(stderr, "AddPrinter failed: %lu\n", ::GetLastError());
        return 1;
    }
    ::ClosePrinter(h);
    return 0;
}

int usage() {
    std::fprintf(stderr, "usage: ui_driver COMMAND ARGS (see the head of UiDriver.cpp)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--title") {
        gMainTitle = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) return usage();
    const std::string c = argv[1];
    auto arg = [&](int i) { return std::string(i < argc ? argv[i] : ""); };
    auto seconds = [&](int i) { return i < argc ? std::atof(argv[i]) : 10.0; };
    int rc = 2;
    if (c == "wait-window" && argc >= 3) {
        rc = waitWindow(arg(2), seconds(3)) ? 0 : 1;
        if (rc) std::fprintf(stderr, "no window \"%s\"\n", arg(2).c_str());
    } else if (c == "gone-window" && argc >= 3) {
        const DWORD deadline = ::GetTickCount() + static_cast<DWORD>(seconds(3) * 1000);
        rc = 0;
        while (::FindWindowA(nullptr, arg(2).c_str())) {
            if (static_cast<int>(::GetTickCount() - deadline) >= 0) {
                std::fprintf(stderr, "window \"%s\" still there\n", arg(2).c_str());
                rc = 1;
                break;
            }
            ::Sleep(kPollMs);
        }
    } else if (c == "rows") {
        rc = cmdRows();
    } else if (c == "check-row" && argc >= 3) {
        rc = cmdCheckRow(arg(2), argc < 4 || arg(3) != "0");
    } else if (c == "click" && argc >= 3) {
        rc = cmdClick(std::atoi(argv[2]));
    } else if (c == "wait-enabled" && argc >= 3) {
        rc = cmdWaitEnabled(std::atoi(argv[2]), seconds(3));
    } else if (c == "close-while-busy") {
        rc = cmdCloseWhileBusy(seconds(2));
    } else if (c == "close") {
        HWND main = mainWindow();
        rc = main && ::PostMessageA(main, WM_CLOSE, 0, 0) ? 0 : 1;
    } else if (c == "enabled" && argc >= 3) {
        HWND h = control(std::atoi(argv[2]));
        if (h) std::printf("%d\n", ::IsWindowEnabled(h) ? 1 : 0);
        rc = h ? 0 : 1;
    } else if (c == "answer" && argc >= 4) {
        rc = cmdAnswer(arg(2), std::atoi(argv[3]), seconds(4));
    } else if (c == "notes") {
        rc = cmdNotes();
    } else if (c == "expect" && argc >= 5) {
        rc = cmdExpect(arg(2), arg(3), arg(4));
    } else if (c == "driver-of" && argc >= 3) {
        std::string d;
        rc = printerDriver(arg(2), &d) ? 0 : 1;
        if (rc == 0) std::printf("%s\n", d.c_str());
    } else if (c == "inventory") {
        rc = cmdInventory();
    } else if (c == "add-foreign" && argc >= 5) {
        rc = cmdAddForeign(arg(2), arg(3), arg(4));
    }
    if (rc == 2) return usage();
    std::fflush(stdout);
    return rc;
}
