// Putting one file of the package (or of Windows' own universal printer driver) into the
// folder its kind names, with the in-use rules the callers answer by installing under a
// new name.
#pragma once
#include <string>

#include "config/MessageBuffer.h"
#include "config/OsClass.h"
#include "engine/EngineContext.h"

namespace engine {

enum FileInstallKind : int {
    KindInf = 100,
    KindDriverVersion3 = 999,
    KindPrinterDriver = 66000,
    KindPrintProcessor = 66001,
    KindSystem = 66002,
    KindSystemIfAbsent = 66003,
    KindWbemIfAbsent = 66004,
};

// A file of the universal printer driver family (UNIDRV*, STDNAMES*, TTFSUB*, UNIRES*).
bool IsUniversalDriverFile(const std::string& upperCaseName);

// InstallSystemFile's answers for a target in use and a refused copy: the Windows error
// numbers, which also name the system's text for them.
constexpr int kFileInUse = static_cast<int>(plat::kErrorSharingViolation);
constexpr int kFileRefused = static_cast<int>(plat::kErrorAccessDenied);
// A copy that may be written beside the file under its "n" name instead.
inline bool IsHeldFile(int result) { return result == kFileInUse || result == kFileRefused; }

// Upper-cases `fileName` in place. 1 in place; kFileInUse or kFileRefused, both without a
// message and only when a copy of the file is already there; 0 otherwise, with the reason
// in `messages` (except a name that stands for no file, which is skipped silently).
int InstallSystemFile(EngineContext& ctx, std::string& fileName, int kind, cfg::OsClass os, bool newName,
                      cfg::MessageBuffer& messages);

// A file the running spooler may hold (a monitor or processor DLL): installed under its own
// name or, when that is in use or refused, beside it as "n" and its name. Answers the name
// really written (upper case); empty when neither copy was written, with the reason in
// `messages`. Nothing may record or register a name this did not answer.
std::string InstallReplaceableFile(EngineContext& ctx, const std::string& fileName, int kind, cfg::OsClass os,
                                   cfg::MessageBuffer& messages);

// Unpacks the universal-driver files of the Driver Cache cabinets into the temporary
// folder; non-zero when the last cabinet iterated succeeded.
int ExtractFromDriverCache(EngineContext& ctx);

// The generic files a universal-driver model depends on; on Windows 98 the universal
// driver itself from the system's backup folder.
void RestoreGenericDriverFiles(EngineContext& ctx, cfg::OsClass os, bool usesGenericFiles,
                               cfg::MessageBuffer& messages);

}  // namespace engine
