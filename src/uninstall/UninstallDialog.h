// The uninstaller's main window and its About box, as logic over a DialogView: what they
// check when they open, which components they offer for removal, and how they answer
// their buttons, the system menu and F1. The window code creates the font, the icon and
// the menu entry they ask for and forwards the messages.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "config/OsClass.h"
#include "platform/DialogView.h"
#include "platform/Platform.h"
#include "uninstall/RemovalWorker.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// The spooler environment whose print processors are offered: Windows 9x has its own;
// a 32-bit program on 64-bit Windows passes none, so the spooler answers for its native
// one, where setup put the package's processor.
plat::OptText ProcessorEnvironment(cfg::OsClass os, bool is64BitWindows);

// The spooler's lists, each asked for its size first. A list the spooler refuses is empty.
std::vector<std::string> EnumerateLocalPrinters(plat::Platform& p);
std::vector<std::string> EnumerateMonitors(plat::Platform& p);
std::vector<std::string> EnumerateProcessors(plat::Platform& p, const UninstallState& state);

// The items the package may remove, in the order the component list shows them: printers
// (by their driver), then port monitors, then print processors. Uninstall.ini is read
// once for the whole listing, however many printers there are. `kinds`, when given,
// receives each item's kind, in the same order.
std::vector<std::string> ListRemovableComponents(plat::Platform& p, const UninstallState& state,
                                                 std::vector<ComponentKind>* kinds = nullptr);

class UninstallDialog {
public:
    UninstallDialog(plat::Platform& p, UninstallState& state, plat::DialogView& view);
    // Releases the spooler library the initialisation loaded.
    ~UninstallDialog();
    UninstallDialog(const UninstallDialog&) = delete;
    UninstallDialog& operator=(const UninstallDialog&) = delete;

    // 1 when the package's wording is Chinese (set by the start-up before the dialog opens).
    int useChineseFont = 0;
    // How the Uninstall button's removal runs, wired in by the program: the starter puts
    // the job on the worker thread, and once the job has returned the program calls
    // OnRemovalFinished on the dialog's thread (at once when the worker could not start).
    WorkerStarter startWorker;
    RestartQuestion askRestart;
    // The item the removal is working on; empty until a removal starts.
    std::string currentItemName;

    enum class InitOutcome {
        Ready,
        Closed,                  // rights or Uninstall.ini missing: the box was shown, the dialog closed
        NoSpoolerLibrary,        // stays open; the USB removal was not decided
        RedirectionUnavailable,  // stays open; the USB driver files could not be looked for
    };
    // Runs when the window exists; `self` owns the message boxes.
    InitOutcome OnInitDialog(plat::WindowHandle self);

    // Decided by OnInitDialog for the window code: put ChineseUiFont on the dialog and its
    // children, and the text of the About entry it appends to the system menu.
    bool applyChineseFont() const { return applyChineseFont_; }
    const std::string& aboutMenuText() const { return aboutMenuText_; }

    // Whether a system command opens the About box (the window code shows it modally);
    // any other goes to the default handling.
    static bool IsAboutCommand(unsigned commandId);

    // Runs the removal: the pre-check here, the rest on the worker. A press while a removal
    // runs starts nothing.
    void OnUninstall();
    // The worker has returned and touches the dialog no more.
    void OnRemovalFinished();

    // How a request to close the dialog arrives: the Exit button, Esc and a posted IDCANCEL
    // as IDCANCEL; WM_CLOSE; the close box, Alt+F4 and the system menu as SC_CLOSE.
    enum class CloseRoute { Cancel, CloseMessage, SystemClose };
    // While a removal runs every request is swallowed (answers true): the worker drives
    // the dialog's controls up to its last step, and the window must outlive it. Otherwise
    // IDCANCEL and WM_CLOSE end the dialog with the Exit button's id, and SC_CLOSE is left
    // to the window's default handling (answers false), which turns it into WM_CLOSE.
    bool OnCloseRequest(CloseRoute route);

    void OnSelect();  // checks every row, never clears one
    void OnHelp();

private:
    void buildComponentList();
    bool loadSpoolerLibrary();
    InitOutcome decideUsbRemoval();
    void markCompatibility();

    plat::Platform& p_;
    UninstallState& state_;
    plat::DialogView& view_;
    plat::WindowHandle self_ = 0;
    plat::ModuleHandle spoolerLibrary_ = 0;
    bool applyChineseFont_ = false;
    bool removalRunning_ = false;  // from just before the worker starts until OnRemovalFinished
    std::string aboutMenuText_;
};

class UninstallAboutDialog {
public:
    UninstallAboutDialog(plat::Platform& p, plat::DialogView& view) : p_(p), view_(view) {}

    void OnInitDialog();
    // Set when LANGUAGE reads 0: the box makes its own font with ChineseUiFont's parameters.
    bool useChineseFont = false;

private:
    plat::Platform& p_;
    plat::DialogView& view_;
};

}  // namespace uninstall
