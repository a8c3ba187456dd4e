// Template numbers and control ids of setup's dialogs, shared by the dialog logic, the
// resource script and the programs that drive the windows from outside.
#pragma once

namespace setup {

// Templates and resources.
enum : int {
    kAboutTemplate = 100,
    kWizardTemplate = 102,
    kApplicationIcon = 128,
    kOsPageTemplate = 130,
    kPrinterTypePageTemplate = 131,
    kPortPageTemplate = 132,
    kLicensePageTemplate = 133,
    kRasterToolTipString = 134,
    kInstallModePageTemplate = 137,
    kProgressTemplate = 141,
};

// Wizard frame (template 102). 1 and 2 are IDOK and IDCANCEL.
enum : int {
    kNextButton = 1,
    kCancelButton = 2,
    kPageArea = 1001,
    kBackButton = 1002,
    kSidePicture = 1087,
    kHelpHint = 1093,
    kAboutCommand = 16,  // system-menu entry
};

// About box (template 100).
enum : int { kAboutVersion = 1091, kAboutCopyright = 1092, kAboutOk = 1 };

// Agreement page (133).
enum : int { kAgreementGroup = 1090, kAgreementText = 1081, kAcceptRadio = 1057, kRejectRadio = 1058 };

// Install-mode page (137).
enum : int {
    kModeGroup = 1103,
    kTypicalRadio = 1066,
    kAdvancedRadio = 1067,
    kRemarksLabel = 1104,
    kModeNote1 = 1068,
    kModeNote2 = 1069,
    kModeNote3 = 1070,
};

// Operating-system page (130).
enum : int {
    kOsGroup = 1094,
    kOsWin98Radio = 1026,
    kOsNtRadio = 1027,
    kOsWin2000Radio = 1028,
    kOsXpRadio = 1029,
    kOs2003Radio = 1075,
    kOsVistaRadio = 1076,
    kOs2008Radio = 1077,
    kOsWin7Radio = 1078,
    kOsWin10Radio = 1079,       // Windows 8, 8.1, 10 and 11
    kOsServer2012Radio = 1080,  // Windows Server 2012 and later
};

// Printer-type page (131).
enum : int {
    kTypeGroup = 1094,
    kReceiptRadio = 1019,
    kTicketRadio = 1020,
    kLabelRadio = 1021,
    kEmbeddedRadio = 1073,
    kReceiptList = 1030,
    kTicketList = 1031,
    kLabelList = 1032,
    kEmbeddedList = 1074,
    kDefaultPrinterCheck = 1046,
};

// Port page (132).
enum : int {
    kPortList = 1049,
    kBaudRateList = 1041,
    kByteSizeList = 1042,
    kParityList = 1043,
    kStopBitsList = 1044,
    kProtocolList = 1045,
    kRasterCheck = 1052,
    kIpAddress = 1106,
    kUsbDriverNote = 1065,
    kSerialNote = 1105,
    kPortGroup = 1095,
    kSerialGroup = 1097,
    kPortsLabel = 1096,
    kBaudRateLabel = 1098,
    kParityLabel = 1099,
    kByteSizeLabel = 1100,
    kStopBitsLabel = 1101,
    kProtocolLabel = 1102,
    kIpLabel = 1103,
};

// Progress window (141).
enum : int { kProgressBar = 1079 };

// Page indexes, in the order start-up adds the pages.
enum : int {
    kLicensePageIndex = 0,
    kPrinterTypePageIndex = 1,
    kInstallModePageIndex = 2,
    kOsPageIndex = 3,
    kPortPageIndex = 4,
};

}  // namespace setup
