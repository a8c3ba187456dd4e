// setup.exe: the Win32 host of the setup wizard. Start-up decides whether the wizard may
// run; the frame, its pages and the install command are the portable logic classes; this
// file creates the frame and the About box from their templates and forwards their
// messages. Win32WizardWindow does what the logic asks of the windows.
#include "platform/win32/WindowsHeaders.h"

#include <commctrl.h>

#include <memory>

#include "config/ChineseUiFont.h"
#include "platform/win32/Win32DialogHost.h"
#include "platform/win32/Win32DialogView.h"
#include "platform/win32/Win32Platform.h"
#include "setup/InstallModePage.h"
#include "setup/LicensePage.h"
#include "setup/OsPage.h"
#include "setup/PortPage.h"
#include "setup/PrinterTypePage.h"
#include "setup/SetupProgram.h"
#include "setup/SetupStartup.h"
#include "setup/SetupState.h"
#include "setup/SetupWizardDialog.h"
#include "setup/WizardControls.h"
#include "setup/win32/Win32WizardWindow.h"
#include "setup/win32/resource.h"

namespace {

using namespace setup;

// resource.h serves the resource compiler; WizardControls.h the code. One value each.
static_assert(IDD_SETUP_ABOUT == kAboutTemplate && IDD_SETUP_WIZARD == kWizardTemplate &&
                  IDI_SETUP == kApplicationIcon && IDD_OS_PAGE == kOsPageTemplate &&
                  IDD_PRINTER_TYPE_PAGE == kPrinterTypePageTemplate && IDD_PORT_PAGE == kPortPageTemplate &&
                  IDD_LICENSE_PAGE == kLicensePageTemplate && IDS_RASTER_TOOLTIP == kRasterToolTipString &&
                  IDD_INSTALL_MODE_PAGE == kInstallModePageTemplate && IDD_PROGRESS == kProgressTemplate,
              "templates");
static_assert(IDOK == kNextButton && IDCANCEL == kCancelButton && IDC_PAGE_AREA == kPageArea &&
                  IDC_BACK == kBackButton && IDC_SIDE_PICTURE == kSidePicture && IDC_HELP_HINT == kHelpHint,
              "frame");
static_assert(IDC_ABOUT_VERSION == kAboutVersion && IDC_ABOUT_COPYRIGHT == kAboutCopyright && IDOK == kAboutOk,
              "about box");
static_assert(IDC_AGREEMENT_GROUP == kAgreementGroup && IDC_AGREEMENT_TEXT == kAgreementText &&
                  IDC_ACCEPT == kAcceptRadio && IDC_REJECT == kRejectRadio,
              "agreement page");
static_assert(IDC_MODE_GROUP == kModeGroup && IDC_TYPICAL == kTypicalRadio && IDC_ADVANCED == kAdvancedRadio &&
                  IDC_REMARKS == kRemarksLabel && IDC_MODE_NOTE1 == kModeNote1 && IDC_MODE_NOTE2 == kModeNote2 &&
                  IDC_MODE_NOTE3 == kModeNote3,
              "install-mode page");
static_assert(IDC_OS_GROUP == kOsGroup && IDC_OS_WIN98 == kOsWin98Radio && IDC_OS_NT == kOsNtRadio &&
                  IDC_OS_WIN2000 == kOsWin2000Radio && IDC_OS_XP == kOsXpRadio && IDC_OS_2003 == kOs2003Radio &&
                  IDC_OS_VISTA == kOsVistaRadio && IDC_OS_2008 == kOs2008Radio && IDC_OS_WIN7 == kOsWin7Radio &&
                  IDC_OS_WIN10 == kOsWin10Radio && IDC_OS_2012 == kOsServer2012Radio,
              "operating-system page");
static_assert(IDC_TYPE_GROUP == kTypeGroup && IDC_RECEIPT == kReceiptRadio && IDC_TICKET == kTicketRadio &&
                  IDC_LABEL == kLabelRadio && IDC_EMBEDDED == kEmbeddedRadio && IDC_RECEIPT_LIST == kReceiptList &&
                  IDC_TICKET_LIST == kTicketList && IDC_LABEL_LIST == kLabelList &&
                  IDC_EMBEDDED_LIST == kEmbeddedList && IDC_DEFAULT_PRINTER == kDefaultPrinterCheck,
              "printer-type page");
static_assert(IDC_PORT_LIST == kPortList && IDC_BAUD_RATE == kBaudRateList && IDC_BYTE_SIZE == kByteSizeList &&
                  IDC_PARITY == kParityList && IDC_STOP_BITS == kStopBitsList && IDC_PROTOCOL == kProtocolList &&
                  IDC_RASTER == kRasterCheck && IDC_IP_ADDRESS == kIpAddress &&
                  IDC_USB_DRIVER_NOTE == kUsbDriverNote && IDC_SERIAL_NOTE == kSerialNote &&
                  IDC_PORT_GROUP == kPortGroup && IDC_SERIAL_GROUP == kSerialGroup &&
                  IDC_PORTS_LABEL == kPortsLabel && IDC_BAUD_RATE_LABEL == kBaudRateLabel &&
                  IDC_PARITY_LABEL == kParityLabel && IDC_BYTE_SIZE_LABEL == kByteSizeLabel &&
                  IDC_STOP_BITS_LABEL == kStopBitsLabel && IDC_PROTOCOL_LABEL == kProtocolLabel &&
                  IDC_IP_LABEL == kIpLabel,
              "port page");
static_assert(IDC_PROGRESS_BAR == kProgressBar, "progress window");

plat::Win32Platform* gPlatform = nullptr;

struct FrameHost {
    SetupWizardDialog* logic = nullptr;
    Win32WizardWindow* window = nullptr;
    std::unique_ptr<plat::Win32DialogView> view;
};

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    return plat::AboutBoxMessage(dialog, message, wParam, cfg::kChineseUiFont, [](plat::Win32DialogView& view) {
        SetupAboutDialog about(gPlatform->platform());
        about.attach(&view);
        about.OnInitDialog();
        return about.useChineseFont != 0;
    });
}

INT_PTR CALLBACK frameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* host = plat::DialogHostOf<FrameHost>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG: {
            host->window->setFrame(dialog);
            host->view = std::make_unique<plat::Win32DialogView>(reinterpret_cast<plat::WindowHandle>(dialog));
            host->logic->attach(host->view.get());
            // False when the wizard refused to open; it has closed itself already.
            return host->logic->OnInitDialog() ? TRUE : FALSE;
        }
        case WM_SHOWWINDOW:
            if (host) host->logic->OnShowWindow();
            return FALSE;
        case WM_PAINT:
            if (!host) return FALSE;
            host->window->PaintFrame();
            return TRUE;
        case WM_QUERYDRAGICON:
            return host ? reinterpret_cast<INT_PTR>(host->window->icon()) : 0;
        case WM_SYSCOMMAND:
            if (SetupWizardDialog::IsAboutCommand(static_cast<unsigned>(wParam))) {
                ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAboutTemplate), dialog, aboutProc, 0);
                return TRUE;
            }
            return FALSE;
        case WM_HELP:
            if (host) host->logic->OnHelp();
            return TRUE;
        case WM_COMMAND:
            if (!host) return FALSE;
            switch (LOWORD(wParam)) {
                case kBackButton: host->logic->OnBack(); return TRUE;
                case IDOK: host->logic->OnOk(); return TRUE;
                case IDCANCEL: host->logic->OnCancel(); return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            if (host) {
                host->logic->OnDestroy();
                host->window->ReleaseFrameResources();
                host->logic->attach(nullptr);
                host->view.reset();
            }
            return FALSE;
    }
    return FALSE;
}

// The wizard in its real windows.
class Win32Host : public WizardHost {
public:
    Win32Host(HINSTANCE instance, plat::Platform& p) : instance_(instance), window_(instance, p.shell) {}
    WizardWindow& window() override { return window_; }
    void Run(SetupWizardDialog& frame) override {
        FrameHost host;
        host.logic = &frame;
        host.window = &window_;
        ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(kWizardTemplate), nullptr, frameProc,
                          reinterpret_cast<LPARAM>(&host));
    }

private:
    HINSTANCE instance_;
    Win32WizardWindow window_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // The IP address control of the port page, the progress bar and the tool tip.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    plat::Win32Platform platform;
    gPlatform = &platform;
    Win32Host host(instance, platform.platform());
    // /quiet shows no window at all: the wizard's logic runs on memory instead.
    return RunSetup(platform.platform(), ::GetCommandLineA(), host);
}
