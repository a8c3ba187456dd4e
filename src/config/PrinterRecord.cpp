#include "config/PrinterRecord.h"

namespace cfg {

bool ReadPrinterRecord(plat::Platform& p, plat::PrinterHandle printer, plat::PrinterInfo2* info) {
    std::uint32_t needed = 0;
    if (p.spooler.GetPrinter2(printer, 0, info, &needed)) return true;
    if (p.process.GetLastError() != plat::kErrorInsufficientBuffer || needed == 0) return false;
    return p.spooler.GetPrinter2(printer, needed, info, &needed);
}

}  // namespace cfg
