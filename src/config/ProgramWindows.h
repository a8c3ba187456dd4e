// The main windows of the two programs, as the other program and a second instance look
// for them. Each program sets its caption from its language file as ANSI text: on a
// Windows whose code page is not the language file's (a Chinese package on an English
// Windows) that caption is not the Chinese title in Unicode. Every title is therefore
// looked for in both forms: the fixed titles as Unicode, and the language file's caption
// bytes through the ANSI call, which the same code page turns into the same text.
#pragma once
#include "platform/Platform.h"

namespace cfg {

// Setup's wizard: "Printer Driver Setup" or "打印机驱动安装程序", or its language file's
// caption; any window class.
plat::WindowHandle FindSetupWindow(plat::Platform& p);

// The uninstaller's dialog, as setup looks for it before it starts: "Uninstall" or
// "打印机卸载程序", or the uninstaller's language file's title; any window class.
plat::WindowHandle FindUninstallWindow(plat::Platform& p);

// The first instance of the uninstaller, as a second one looks for it: only a dialog
// (the help viewer is titled "Uninstall" too) titled "打印机卸载程序" or as the language
// file says.
plat::WindowHandle FindUninstallDialog(plat::Platform& p);

}  // namespace cfg
