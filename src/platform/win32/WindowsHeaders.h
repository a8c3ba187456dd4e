// <windows.h> for code that also sees the platform interfaces. The SDK turns names such as
// GetModuleFileName or RegOpenKeyEx into macros for their A/W forms; left alone they would
// rename our interface methods in one translation unit and not in another. Include this
// instead of <windows.h> and call the A forms by their full names.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <setupapi.h>
#include <shellapi.h>
#include <winspool.h>
#include <winver.h>

#undef GetPrivateProfileString
#undef RegOpenKeyEx
#undef RegCreateKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegDeleteKey
#undef RegEnumKeyEx
#undef GetVersionEx
#undef GetModuleFileName
#undef GetCurrentDirectory
#undef GetSystemDirectory
#undef GetWindowsDirectory
#undef CreateMutex
#undef LoadLibrary
#undef GetModuleHandle
#undef OpenSCManager
#undef OpenService
#undef StartService
#undef MessageBox
#undef GetPrivateProfileInt
#undef WriteProfileString
#undef GetProfileString
#undef FormatMessage
#undef SendMessageTimeout
#undef SendNotifyMessage
#undef AddPrinter
#undef OpenPrinter
#undef GetPrinter
#undef SetPrinter
#undef AddPrinterDriver
#undef AddMonitor
#undef AddPrintProcessor
#undef EnumPorts
#undef GetPrinterDriverDirectory
#undef GetPrintProcessorDirectory
#undef DeletePrinter
#undef CopyFile
#undef DeleteFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef CreateDirectory
#undef FindFirstFile
#undef FindNextFile
#undef GetTempPath
#undef SetupIterateCabinet
#undef GetFileVersionInfoSize
#undef GetFileVersionInfo
#undef VerQueryValue
#undef ShellExecute
#undef EnumPrinters
#undef EnumMonitors
#undef EnumPrintProcessors
#undef DeleteMonitor
#undef DeletePrintProcessor
#undef DeletePrinterDriver
#undef LookupPrivilegeValue
