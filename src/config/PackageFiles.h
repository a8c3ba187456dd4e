// Where the configuration files are: DRVCONFIG beside the program, one model file per
// printer category and processor width.
#pragma once
#include <string>

#include "platform/Platform.h"

namespace cfg {

enum PrinterCategory : int { kReceipt = 0, kTicket = 1, kLabel = 2, kEmbedded = 3 };

extern const char* const kPackageFile;  // "DRVCONFIG\setup.ini"

// The folder of the running program's executable, with its trailing backslash
// (the path is read into 200 bytes).
std::string ProgramFolder(plat::Platform& p);

// "DRVCONFIG\setup_receipt.ini", "DRVCONFIG\setup_lable_64.ini", ...; with `capitalised`
// the spelling some readers use ("DRVCONFIG\setup_Lable_64.ini"), which names the same
// file. "" for a category outside 0 to 3.
std::string ModelFileName(int category, bool is64BitWindows, bool capitalised = false);

}  // namespace cfg
