#include "config/ProgramWindows.h"

#include <initializer_list>

#include "config/LanguageFile.h"

namespace cfg {

namespace {

const char kDialogClass[] = "#32770";

plat::WindowHandle firstOf(plat::Platform& p, const char* className, std::initializer_list<const char*> unicodeTitles,
                           const std::string& captionBytes) {
    for (const char* title : unicodeTitles) {
        const auto found = p.windows.FindWindows(className, title, std::string());
        if (!found.empty()) return found.front();
    }
    if (captionBytes.empty()) return 0;
    const auto found = p.windows.FindWindows(className, std::string(), captionBytes);
    return found.empty() ? 0 : found.front();
}

std::string setupCaption(plat::Platform& p) { return LanguageFile(p, Program::Setup, "Setup").GetText("Caption"); }
std::string uninstallTitle(plat::Platform& p) {
    return LanguageFile(p, Program::Uninstall, "Uninstall").GetText("Title");
}

}  // namespace

plat::WindowHandle FindSetupWindow(plat::Platform& p) {
    return firstOf(p, "", {"Printer Driver Setup", "打印机驱动安装程序"}, setupCaption(p));
}

plat::WindowHandle FindUninstallWindow(plat::Platform& p) {
    return firstOf(p, "", {"Uninstall", "打印机卸载程序"}, uninstallTitle(p));
}

plat::WindowHandle FindUninstallDialog(plat::Platform& p) {
    return firstOf(p, kDialogClass, {"打印机卸载程序"}, uninstallTitle(p));
}

}  // namespace cfg
