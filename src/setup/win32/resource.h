/* Template numbers and control ids of setup.rc, for the resource compiler, which cannot
   read the C++ enums of setup/WizardControls.h. SetupMain.cpp checks at compile time that
   every value here equals its name there, so the two cannot drift apart. Plain #defines
   only: windres reads this file too. */
#ifndef SETUP_WIN32_RESOURCE_H
#define SETUP_WIN32_RESOURCE_H

/* Templates and resources */
#define IDD_SETUP_ABOUT 100
#define IDD_SETUP_WIZARD 102
#define IDI_SETUP 128
#define IDD_OS_PAGE 130
#define IDD_PRINTER_TYPE_PAGE 131
#define IDD_PORT_PAGE 132
#define IDD_LICENSE_PAGE 133
#define IDS_RASTER_TOOLTIP 134
#define IDD_INSTALL_MODE_PAGE 137
#define IDD_PROGRESS 141

/* Wizard frame */
#define IDC_PAGE_AREA 1001
#define IDC_BACK 1002
#define IDC_SIDE_PICTURE 1087
#define IDC_HELP_HINT 1093

/* About box */
#define IDC_ABOUT_VERSION 1091
#define IDC_ABOUT_COPYRIGHT 1092

/* Agreement page */
#define IDC_AGREEMENT_GROUP 1090
#define IDC_AGREEMENT_TEXT 1081
#define IDC_ACCEPT 1057
#define IDC_REJECT 1058

/* Install-mode page */
#define IDC_MODE_GROUP 1103
#define IDC_TYPICAL 1066
#define IDC_ADVANCED 1067
#define IDC_REMARKS 1104
#define IDC_MODE_NOTE1 1068
#define IDC_MODE_NOTE2 1069
#define IDC_MODE_NOTE3 1070

/* Operating-system page */
#define IDC_OS_GROUP 1094
#define IDC_OS_WIN98 1026
#define IDC_OS_NT 1027
#define IDC_OS_WIN2000 1028
#define IDC_OS_XP 1029
#define IDC_OS_2003 1075
#define IDC_OS_VISTA 1076
#define IDC_OS_2008 1077
#define IDC_OS_WIN7 1078
#define IDC_OS_WIN10 1079
#define IDC_OS_2012 1080

/* Printer-type page */
#define IDC_TYPE_GROUP 1094
#define IDC_RECEIPT 1019
#define IDC_TICKET 1020
#define IDC_LABEL 1021
#define IDC_EMBEDDED 1073
#define IDC_RECEIPT_LIST 1030
#define IDC_TICKET_LIST 1031
#define IDC_LABEL_LIST 1032
#define IDC_EMBEDDED_LIST 1074
#define IDC_DEFAULT_PRINTER 1046

/* Port page */
#define IDC_PORT_LIST 1049
#define IDC_BAUD_RATE 1041
#define IDC_BYTE_SIZE 1042
#define IDC_PARITY 1043
#define IDC_STOP_BITS 1044
#define IDC_PROTOCOL 1045
#define IDC_RASTER 1052
#define IDC_IP_ADDRESS 1106
#define IDC_USB_DRIVER_NOTE 1065
#define IDC_SERIAL_NOTE 1105
#define IDC_PORT_GROUP 1095
#define IDC_SERIAL_GROUP 1097
#define IDC_PORTS_LABEL 1096
#define IDC_BAUD_RATE_LABEL 1098
#define IDC_PARITY_LABEL 1099
#define IDC_BYTE_SIZE_LABEL 1100
#define IDC_STOP_BITS_LABEL 1101
#define IDC_PROTOCOL_LABEL 1102
#define IDC_IP_LABEL 1103

/* Progress window */
#define IDC_PROGRESS_BAR 1079

#endif
