#include "config/BuiltInWording.h"

#include "config/IniValues.h"

namespace cfg {

namespace {

struct Wording {
    Program program;
    const char* section;
    const char* key;
    const char* text;
};

// The English of the sample package, as the language files carry it (line-break markers
// included), for every key the two programs read.
const Wording kWording[] = {
    {Program::Setup, "Setup", "Close", "The printer driver uninstaller is running.\\1Please close it before you start the setup."},
    {Program::Setup, "Setup", "Nonsupport", "This setup does not run on Windows 98, Windows Me or Windows NT 4.0."},
    {Program::Setup, "Setup", "PortNull", "The printer model of this driver package supports no printer port.\\1Setup cannot continue."},
    {Program::Setup, "Setup", "Caption", "Printer Driver Setup"},
    {Program::Setup, "Setup", "Help", "Press F1 for help"},
    {Program::Setup, "Setup", "Back", "< Back"},
    {Program::Setup, "Setup", "Next", "Next >"},
    {Program::Setup, "Setup", "Install", "Install"},
    {Program::Setup, "Setup", "Cancel", "Cancel"},
    {Program::Setup, "Setup", "CaptionName", "USB Driver Installer"},
    {Program::Setup, "About", "Version", "Printer Driver Setup, Version 2.1"},
    {Program::Setup, "About", "Copyright", "Copyright (C) 2011 KLM Printers. All rights reserved."},
    {Program::Setup, "About", "OK", "OK"},
    {Program::Setup, "About", "Caption", "About Printer Driver Setup"},
    {Program::Setup, "Help Guide", "Caption", "Printer Driver Setup Help"},
    {Program::Setup, "Help Guide", "Name", "Help.chm"},
    {Program::Setup, "Legal", "Agreement", "License Agreement"},
    {Program::Setup, "Legal", "Accept", "I accept"},
    {Program::Setup, "Legal", "Reject", "I decline"},
    {Program::Setup, "Mode", "Type", "Installation Mode"},
    {Program::Setup, "Mode", "Typical", "Typical"},
    {Program::Setup, "Mode", "Advanced", "Advanced"},
    {Program::Setup, "Mode", "Remarks", "Remarks:"},
    {Program::Setup, "Mode", "Note1", "Installs with the recommended settings."},
    {Program::Setup, "Mode", "Note2", "Choose the port and its settings yourself."},
    {Program::Setup, "Mode", "Note3", "For experienced users only."},
    {Program::Setup, "System", "Select", "Operating System"},
    {Program::Setup, "Series", "Select", "Printer Type"},
    {Program::Setup, "Series", "Receipt", "Receipt"},
    {Program::Setup, "Series", "Ticket", "Ticket"},
    {Program::Setup, "Series", "Label", "Label"},
    {Program::Setup, "Series", "Embedded", "Embedded"},
    {Program::Setup, "Series", "Default", "Set as default printer"},
    {Program::Setup, "Confirm", "Set", "Printer Port"},
    {Program::Setup, "Confirm", "Ports", "Ports:"},
    {Program::Setup, "Confirm", "Com", "Serial Port Settings"},
    {Program::Setup, "Confirm", "BaudRate", "Baud Rate:"},
    {Program::Setup, "Confirm", "Parity", "Parity:"},
    {Program::Setup, "Confirm", "ByteSize", "Byte Size:"},
    {Program::Setup, "Confirm", "StopBits", "Stop Bits:"},
    {Program::Setup, "Confirm", "Protocol", "Protocol:"},
    {Program::Setup, "Confirm", "Raster", "Raster Graphic Printing"},
    {Program::Setup, "Confirm", "Parity.Even", "Even"},
    {Program::Setup, "Confirm", "Parity.Mark", "Mark"},
    {Program::Setup, "Confirm", "Parity.None", "None"},
    {Program::Setup, "Confirm", "Parity.Odd", "Odd"},
    {Program::Setup, "Confirm", "Parity.Space", "Space"},
    {Program::Setup, "Confirm", "Protocol.None", "None"},
    {Program::Setup, "Confirm", "Protocol.Xonoff", "Xon/Xoff"},
    {Program::Setup, "Confirm", "Protocol.Hardware", "Hardware"},
    {Program::Setup, "Progress", "Wait", "Installing the printer driver. Please wait..."},
    {Program::Setup, "Message", "IDS_X64", "This driver package is for 32-bit Windows only.\\1It cannot be installed on 64-bit Windows."},
    {Program::Setup, "Message", "IDS_X32", "This driver package is for 64-bit Windows only.\\1It cannot be installed on 32-bit Windows."},
    {Program::Setup, "Message", "IDS_ERR_SYSTEM", "The operating system platform is not supported."},
    {Program::Setup, "Message", "IDS_ABOUTBOX", "&About Printer Driver Setup..."},
    {Program::Setup, "Message", "IDS_ERR_NOLEFT", "The side picture Left.bmp of the driver package cannot be loaded.\\1Setup cannot continue."},
    {Program::Setup, "Message", "IDS_ADMIN", "You need administrator rights to install a printer driver.\\1Please log on as an administrator and start the setup again."},
    {Program::Setup, "Message", "IDS_TYPICAL_NOTES", "This model installs in typical mode only."},
    {Program::Setup, "Message", "IDS_NOTSUPPORTNT", "The selected printer model does not support Windows NT 4.0."},
    {Program::Setup, "Message", "IDS_NOTSUPPORT2003", "The selected printer model does not support Windows Server 2003."},
    {Program::Setup, "Message", "IDS_NOTSUPPORTVISTA", "The selected printer model does not support Windows Vista."},
    {Program::Setup, "Message", "IDS_NOTSUPPORT2008", "The selected printer model does not support Windows Server 2008."},
    {Program::Setup, "Message", "IDS_NOTSUPPORTWin7", "The selected printer model does not support Windows 7."},
    {Program::Setup, "Message", "IDS_ERR_NOLICENSE", "The license agreement file License.txt cannot be found.\\1Setup cannot continue."},
    {Program::Setup, "Message", "IDS_ERR_UPDATEUSB", "Please make sure that the USB device driver is installed and up to date."},
    {Program::Setup, "Message", "IDS_ERR_UNSUPPORTCOM", "This printer model does not support serial ports."},
    {Program::Setup, "Message", "IDS_ERR_SELPRINTER", "Please select a printer model."},
    {Program::Setup, "Message", "IDS_ERR_FIRSTSETUPUSB", "The USB device driver is missing or out of date.\\1Please install the printer once in typical mode, then try again."},
    {Program::Setup, "Message", "IDS_ERR_IPADDRISNULL", "Please enter the IP address of the network printer."},
    {Program::Setup, "Message", "IDS_ERR_ADDPORTERROR", "The network port could not be created."},
    {Program::Setup, "Message", "IDS_ERR_NOUSBDEVICE", "No USB printer was found.\\1Please connect the printer, switch it on and try again."},
    {Program::Setup, "Message", "IDS_INF_CHANGEID", "The ID of the connected USB printer does not match the selected port.\\1Do you want to change the printer ID?"},
    {Program::Setup, "Message", "IDS_ERR_NOSUPPORTUSB", "Windows NT 4.0 does not support USB printers."},
    {Program::Setup, "Message", "IDS_INF_NTRESTART", "The printer driver has been installed successfully.\\1If the printer does not work, please restart Windows."},
    {Program::Setup, "Message", "IDS_INF_RESTART", "Windows must be restarted before the printer can be used.\\1Do you want to restart Windows now?"},
    {Program::Setup, "Message", "IDS_ERR_EXITWIN", "Windows could not be restarted. Please restart Windows yourself."},
    {Program::Setup, "Message", "IDS_ERR_NOSUPPORTINTERFACE", "The selected port is not supported. Please select another port."},
    {Program::Setup, "Message", "IDS_ERR_GETCURDIR", "The current folder cannot be determined."},
    {Program::Setup, "Message", "IDS_ERR_COPYFIEL", "A driver file could not be copied:\\1"},
    {Program::Setup, "Message", "IDS_ERR_COPYFIEL1", "\\1Please check the driver package and try again."},
    {Program::Setup, "Message", "IDS_ERR_GETPRODIR", "The print processor folder cannot be determined."},
    {Program::Setup, "Message", "IDS_ERR_NEEDRESTART", "A file of the printer driver is in use.\\1Please restart Windows and run the setup again."},
    {Program::Setup, "Message", "IDS_INF_USBRESTART", "The printer driver has been installed successfully.\\1Please switch the USB printer off and on again.\\2If the printer does not work, please restart Windows."},
    {Program::Setup, "Message", "IDS_ERR_LOSTDRIVERFILE", "A printer driver file is missing from the driver package.\\1Setup cannot continue."},
    {Program::Setup, "Message", "IDS_ERR_ADDPROCESSOR", "The print processor could not be installed."},
    {Program::Setup, "Message", "IDS_ERR_GETDRIVERDIR", "The printer driver folder cannot be determined."},
    {Program::Setup, "Message", "IDS_ERR_GETSYSDIR", "The system folder cannot be determined."},
    {Program::Setup, "Message", "IDS_ERR_GETWINDIR", "The Windows folder cannot be determined."},
    {Program::Setup, "Message", "IDS_ERR_DIRTYPE", "Unknown target folder type."},
    {Program::Setup, "Message", "IDS_ERR_ALLOCMEMORY", "Not enough memory."},
    {Program::Setup, "Message", "IDS_ERR_TOOMANY", "A printer of this name already exists.\\1Please remove it first or choose another port."},
    {Program::Setup, "Message", "IDS_ERR_ADDPRINTER", "The printer could not be added."},
    {Program::Setup, "Message", "IDS_ERR_ADDPRNDRV3", "The printer driver could not be added."},
    {Program::Setup, "Message", "IDS_ERR_ADDMONITOR", "The port monitor could not be added."},
    {Program::Setup, "Message", "IDS_ERR_ONEPRINTER", "More than one USB printer is connected.\\1Please connect only the printer that you want to install."},
    {Program::Setup, "Message", "IDS_ERR_INSTALLFAILED", "The printer driver could not be installed."},
    {Program::Setup, "Message", "IDS_ERR_STARTINSTALL", "The installation could not be started."},
    {Program::Setup, "Message", "IDS_ERR_DEPENDENTFILES", "The list of dependent files of the driver %s is longer than 200 characters."},
    {Program::Setup, "Message", "IDS_ERR_WRITEREG", "The registry record %s could not be written."},
    {Program::Setup, "Message", "IDS_ERR_REDIRECTION", "File system redirection could not be switched off."},
    {Program::Uninstall, "Uninstall", "Close", "The printer driver setup is running.\\nPlease close it before you start the uninstaller."},
    {Program::Uninstall, "Uninstall", "Title", "Uninstall"},
    {Program::Uninstall, "Uninstall", "Note", "Check the printers, port monitors and print processors that you want to remove."},
    {Program::Uninstall, "Uninstall", "Uninstall", "Uninstall"},
    {Program::Uninstall, "Uninstall", "Select", "Select All"},
    {Program::Uninstall, "Uninstall", "Exit", "Exit"},
    {Program::Uninstall, "Uninstall", "USBuninstall", "Also remove the USB device driver"},
    {Program::Uninstall, "Uninstall", "CaptionName", "USB Driver Installer"},
    {Program::Uninstall, "Reboot", "Title", "Restart Windows"},
    {Program::Uninstall, "Reboot", "Note1", "The selected items have been removed."},
    {Program::Uninstall, "Reboot", "Note2", "Windows must restart to complete the removal."},
    {Program::Uninstall, "Reboot", "Note3", "Do you want to restart Windows now?"},
    {Program::Uninstall, "Reboot", "Yes", "Yes"},
    {Program::Uninstall, "Reboot", "No", "No"},
    {Program::Uninstall, "About", "Version", "Printer Driver Uninstaller, Version 2.1"},
    {Program::Uninstall, "About", "Copyright", "Copyright (C) 2011 KLM Printers. All rights reserved."},
    {Program::Uninstall, "About", "OK", "OK"},
    {Program::Uninstall, "About", "Title", "About Uninstall"},
    {Program::Uninstall, "Message", "IDS_ABOUTBOX", "&About Uninstall..."},
    {Program::Uninstall, "Message", "IDS_ADMIN", "You need administrator rights to remove printer drivers.\\nPlease log on as an administrator and start the uninstaller again."},
    {Program::Uninstall, "Message", "IDS_ERR_GETSYSDIR", "The program folder cannot be determined."},
    {Program::Uninstall, "Message", "IDS_ERR_INVALID", "The program folder cannot be searched."},
    {Program::Uninstall, "Message", "IDS_ERR_NOINI", "The file Uninstall.ini cannot be found.\\nThe uninstaller cannot continue."},
    {Program::Uninstall, "Message", "IDS_SELECTPRN1", "Select the items to remove, then click Uninstall."},
    {Program::Uninstall, "Message", "IDS_DELETING1", "Removing %s ..."},
    {Program::Uninstall, "Message", "IDS_DELETING2", "Removing the printer %s ..."},
    {Program::Uninstall, "Message", "IDS_DELETING3", "Removing the USB device driver ..."},
    {Program::Uninstall, "Message", "IDS_USING", "%s is in use and cannot be removed now."},
    {Program::Uninstall, "Message", "IDS_ERR_UNINSTALL", "%s could not be removed."},
    {Program::Uninstall, "Message", "IDS_SUCCESS", "%s has been removed."},
    {Program::Uninstall, "Message", "IDS_ERR_DELPRINTER", "The printer could not be deleted."},
    {Program::Uninstall, "Message", "IDS_DRVDELETING", "Removing the printer driver of %s ..."},
    {Program::Uninstall, "Message", "IDS_ERR_DRVUSING", "The printer driver is still used by another printer and was kept."},
    {Program::Uninstall, "Message", "IDS_ERR_DRVDEL", "The printer driver could not be removed."},
    {Program::Uninstall, "Message", "IDS_DRV_SUCCESS", "The printer driver has been removed."},
    {Program::Uninstall, "Message", "IDS_DRV_SUCCESS1", "The USB device driver installer has finished."},
    {Program::Uninstall, "Message", "IDS_ERR_OPENPRN", "The printer %s cannot be opened."},
    {Program::Uninstall, "Message", "IDS_ERR_ALLOC", "Not enough memory."},
    {Program::Uninstall, "Message", "IDS_ERR_GETPRNINFO", "The printer information cannot be read."},
    {Program::Uninstall, "Message", "IDS_ERR_HAVEJOB1", "%s is still in use by a printer or has print jobs waiting."},
    {Program::Uninstall, "Message", "IDS_ERR_HAVEJOB2", "The printer %s has print jobs waiting. Please let them finish or delete them first."},
    {Program::Uninstall, "Message", "IDS_ERR_SPOOLER", "The print spooler could not be restarted. Restart Windows to finish the removal."},
    {Program::Uninstall, "Message", "IDS_ERR_DELFILE", "The file %s could not be deleted."},
    {Program::Uninstall, "Message", "IDS_ERR_USBDRIVER", "The USB device driver installer %s could not be started; the USB device driver was not removed."},
    {Program::Uninstall, "Message", "IDS_ERR_DELRECORD", "The registry records %s could not be removed."},
    {Program::Uninstall, "Message", "IDS_ERR_BADNAME", "%s in Uninstall.ini is not a plain file name; nothing was removed for it."},
};

}  // namespace

const char* BuiltInText(Program program, const std::string& section, const std::string& key) {
    // Sections and keys are matched as the profile reader matches them: without regard to case.
    for (const Wording& w : kWording)
        if (w.program == program && EqualsNoCase(w.section, section) && EqualsNoCase(w.key, key)) return w.text;
    return nullptr;
}

std::vector<BuiltInEntry> BuiltInEntries() {
    std::vector<BuiltInEntry> all;
    for (const Wording& w : kWording) all.push_back({w.program, w.section, w.key});
    return all;
}

}  // namespace cfg
