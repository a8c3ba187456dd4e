// A printer's level-2 record, read the way GetPrinter asks to be called: once for the
// size, then with a buffer of that size.
#pragma once
#include "platform/Platform.h"

namespace cfg {

// True when `info` holds the record of the open printer; false when either call fails
// (the last error then says why) or the size call fails for another reason than the size.
bool ReadPrinterRecord(plat::Platform& p, plat::PrinterHandle printer, plat::PrinterInfo2* info);

}  // namespace cfg
