/* Template numbers and control ids of uninstall.rc, for the resource compiler, which cannot
   read the C++ constants of uninstall/UninstallControls.h. UninstallMain.cpp checks at
   compile time that every value here equals its name there, so the two cannot drift apart;
   the window driver of the end-to-end tests reads this file too. Plain #defines only:
   windres reads this file. */
#ifndef UNINSTALL_WIN32_RESOURCE_H
#define UNINSTALL_WIN32_RESOURCE_H

/* Templates and icons */
#define IDD_UNINSTALL_ABOUT 100
#define IDD_UNINSTALL 102
#define IDI_UNINSTALL 128
#define IDD_RESTART 129
#define IDI_RESTART 130

/* Main dialog; its Exit button is IDCANCEL */
#define IDC_UNINSTALL 1002
#define IDC_NOTE_TEXT 1006
#define IDC_NOTE_LIST 1008
#define IDC_COMPONENT_LIST 1010
#define IDC_SELECT 1012
#define IDC_USB_REMOVAL 1019

/* About box; its button is IDOK */
#define IDC_ABOUT_VERSION 1017
#define IDC_ABOUT_COPYRIGHT 1018

/* Restart question; Yes is IDOK, No is IDCANCEL */
#define IDC_RESTART_NOTE1 1014
#define IDC_RESTART_NOTE2 1015
#define IDC_RESTART_NOTE3 1016

#endif
