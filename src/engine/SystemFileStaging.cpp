#include "engine/SystemFileStaging.h"

#include <functional>

#include "config/IniValues.h"
#include "config/SpoolerEnvironment.h"

namespace engine {

namespace {

constexpr std::uint32_t kDirSize = 256;
constexpr std::uint32_t kPathSize = 260;

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Runs `op` with WOW64 redirection switched off on 64-bit Windows. False (the caller's
// operation did not run) when that cannot be done: run redirected, a copy meant for the
// 64-bit system folder would land in SysWOW64, where the spooler never looks.
bool runRedirected(EngineContext& ctx, const std::function<void()>& op) {
    if (!ctx.is64BitWindows) {
        op();
        return true;
    }
    auto& p = ctx.platform;
    plat::ModuleHandle kernel32 = p.process.LoadLibrary("Kernel32.dll");
    if (!kernel32) return false;
    plat::ProcAddress disable = p.process.GetProcAddress(kernel32, "Wow64DisableWow64FsRedirection");
    plat::ProcAddress revert = p.process.GetProcAddress(kernel32, "Wow64RevertWow64FsRedirection");
    bool ran = false;
    void* old = nullptr;
    if (disable && revert && p.system.CallWow64DisableWow64FsRedirection(disable, &old)) {
        op();
        ran = true;
        p.system.CallWow64RevertWow64FsRedirection(revert, old);
    }
    p.process.FreeLibrary(kernel32);
    return ran;
}

bool exists(EngineContext& ctx, const std::string& path) {
    std::string name;
    plat::FindHandle find = ctx.platform.files.FindFirstFile(path, &name);
    if (!find) return false;
    ctx.platform.files.FindClose(find);
    return true;
}

void ensureDirectory(EngineContext& ctx, const std::string& dir) {
    if (!exists(ctx, dir)) ctx.platform.files.CreateDirectory(dir);
}

std::string systemText(EngineContext& ctx, std::uint32_t code, bool* found) {
    std::string text;
    *found = ctx.platform.process.FormatSystemMessage(code, &text);
    return text;
}

// Windows 2000 to Server 2003: the cabinets of the Driver Cache, once, then the temporary
// folder. 0 means "go on with the package copy".
int fromDriverCache(EngineContext& ctx, const std::string& file, cfg::OsClass os, cfg::MessageBuffer& messages,
                    bool* handled) {
    auto& p = ctx.platform;
    const plat::OptText environment = cfg::SpoolerEnvironment(os, ctx.is64BitWindows);
    *handled = true;
    std::string dir;
    if (!p.spooler.GetPrinterDriverDirectory(environment, kDirSize, &dir)) {
        messages.set(ctx.text("IDS_ERR_GETDRIVERDIR"));
        return 0;
    }
    if (exists(ctx, dir + "\\" + file)) return 1;
    if (!ctx.driverCacheTried) {
        ctx.driverCacheTried = true;
        if (ExtractFromDriverCache(ctx) == 0) {
            *handled = false;
            return 0;
        }
    }
    std::string temp;
    if (p.files.GetTempPath(kPathSize, &temp) == 0 || temp.empty()) {
        *handled = false;  // a bare name would copy from the current folder: the package copy it is
        return 0;
    }
    if (!p.spooler.GetPrinterDriverDirectory(environment, kPathSize, &dir)) {
        messages.set(ctx.text("IDS_ERR_GETDRIVERDIR"));
        return 0;
    }
    if (p.files.CopyFile(temp + file, dir + "\\" + file, false)) return 1;
    *handled = false;
    return 0;
}

// Vista and later: the ntprint package of the DriverStore; never the package copy.
int fromDriverStore(EngineContext& ctx, const std::string& file, cfg::OsClass os, cfg::MessageBuffer& messages) {
    auto& p = ctx.platform;
    const plat::OptText environment = cfg::SpoolerEnvironment(os, ctx.is64BitWindows);
    std::string dir;
    if (!p.spooler.GetPrinterDriverDirectory(environment, kDirSize, &dir)) {
        messages.set(ctx.text("IDS_ERR_GETDRIVERDIR"));
        return 0;
    }
    if (exists(ctx, dir + "\\" + file)) return 1;
    std::string windows;
    p.process.GetWindowsDirectory(kDirSize, &windows);
    const std::string repository = windows + "\\System32\\DriverStore\\FileRepository\\";

    const std::string subfolder = ctx.is64BitWindows ? "\\AMD64\\" : "\\I386\\";
    // Vista and 7 hold one ntprint package. From Windows 8 on "ntprint*" also matches the
    // class-4 ntprint4.inf package and copies that updates left behind, in no promised
    // order, so the folder that really holds the file is searched for.
    const bool searchEveryMatch = os == cfg::kOsWin10 || os == cfg::kOsServer2012;
    plat::FindHandle find = 0;
    std::string match;
    std::uint32_t searchError = 0;
    bool noneHolds = false;
    if (!runRedirected(ctx, [&] {
            find = p.files.FindFirstFile(repository + "ntprint*", &match);
            searchError = p.process.GetLastError();
            while (searchEveryMatch && find && !exists(ctx, repository + match + subfolder + file)) {
                if (p.files.FindNextFile(find, &match)) continue;
                p.files.FindClose(find);
                find = 0;
                noneHolds = true;
            }
        })) {
        messages.set(ctx.text("IDS_ERR_COPYFIEL") + file + "\n" + ctx.text("IDS_ERR_REDIRECTION"));
        return 0;
    }
    if (noneHolds) {
        messages.set("Couldn't find system files.\n" + repository + "ntprint*" + subfolder + file);
        return 0;
    }
    if (!find) {
        bool found = false;
        const std::string system = systemText(ctx, searchError, &found);
        messages.set(found ? "Couldn't find system files.\n" + system : "Couldn't find system files.");
        return 0;
    }
    const std::string source = repository + match + subfolder + file;
    std::string target;
    if (!p.spooler.GetPrinterDriverDirectory(environment, kPathSize, &target)) target = dir;
    target += "\\" + file;
    bool copied = false;
    std::uint32_t copyError = 0;
    const bool ran = runRedirected(ctx, [&] {
        // The store's files are read-only, and so would be their copies.
        p.files.SetFileAttributes(target, plat::kFileAttributeArchive);
        copied = p.files.CopyFile(source, target, false);
        copyError = p.process.GetLastError();
        if (copied) p.files.SetFileAttributes(target, plat::kFileAttributeArchive);
    });
    if (ran && copied) {
        if (!p.files.FindClose(find)) {
            messages.set("Couldn't close search handle.");
            return 0;
        }
        return 1;
    }
    p.files.FindClose(find);
    if (!ran) {
        messages.set(ctx.text("IDS_ERR_COPYFIEL") + file + "\n" + ctx.text("IDS_ERR_REDIRECTION"));
        return 0;
    }
    if (copyError == plat::kErrorSharingViolation) return kFileInUse;
    if (copyError == plat::kErrorAccessDenied) return kFileRefused;
    bool found = false;
    const std::string system = systemText(ctx, copyError, &found);
    messages.set(ctx.text("IDS_ERR_COPYFIEL") + file + (found ? "\n" + system + source : std::string()));
    return 0;
}

int fromPackage(EngineContext& ctx, const std::string& file, int kind, cfg::OsClass os, bool newName,
                cfg::MessageBuffer& messages) {
    auto& p = ctx.platform;
    if (cfg::IsNoFile(file)) return 0;
    const plat::OptText environment = cfg::SpoolerEnvironment(os, ctx.is64BitWindows);

    std::string target;
    switch (kind) {
        case KindPrinterDriver:
        case KindDriverVersion3:
            if (!p.spooler.GetPrinterDriverDirectory(environment, kDirSize, &target)) {
                messages.set(ctx.text("IDS_ERR_GETDRIVERDIR"));
                return 0;
            }
            if (kind == KindDriverVersion3) target += "\\3";
            ensureDirectory(ctx, target);
            break;
        case KindPrintProcessor:
            if (!p.spooler.GetPrintProcessorDirectory(environment, kDirSize, &target)) {
                messages.set(ctx.text("IDS_ERR_GETPRODIR"));
                return 0;
            }
            ensureDirectory(ctx, target);
            break;
        case KindSystem:
        case KindSystemIfAbsent:
        case KindWbemIfAbsent: {
            const std::uint32_t n = p.process.GetSystemDirectory(kDirSize, &target);
            if (n == 0 || n >= kDirSize) {
                messages.set(ctx.text("IDS_ERR_GETSYSDIR"));
                return 0;
            }
            break;
        }
        case KindInf: {
            const std::uint32_t n = p.process.GetWindowsDirectory(kDirSize, &target);
            if (n == 0 || n >= kDirSize) {
                messages.set(ctx.text("IDS_ERR_GETWINDIR"));
                return 0;
            }
            target += "\\inf";
            break;
        }
        default:
            messages.set(ctx.text("IDS_ERR_DIRTYPE"));
            return 0;
    }

    if (kind == KindSystemIfAbsent && exists(ctx, target + "\\" + file)) return 1;
    if (kind == KindWbemIfAbsent) {
        if (cfg::IsVistaOrLater(os) && exists(ctx, target + "\\" + file)) return 1;
        target += "\\wbem";
        ensureDirectory(ctx, target);
        if (exists(ctx, target + "\\" + file)) return 1;
    }

    std::string current;
    const std::uint32_t n = p.process.GetCurrentDirectory(kDirSize, &current);
    if (n == 0 || n >= kDirSize) {
        messages.set(ctx.text("IDS_ERR_GETCURDIR"));
        return 0;
    }
    const std::string source = current + (ctx.is64BitWindows ? "\\W64\\" : "\\W32\\") + file;
    const std::string written = (newName ? "n" : "") + file;
    const std::string destination = target + "\\" + written;

    bool copied = false;
    bool targetThere = false;
    std::uint32_t error = 0;
    // The attribute is cleared in the view the copy writes to. A copy of a package on
    // read-only media is read-only itself: it is made writable again at once, or the next
    // update of the file would be refused.
    auto copy = [&] {
        p.files.SetFileAttributes(destination, plat::kFileAttributeArchive);
        copied = p.files.CopyFile(source, destination, false);
        error = copied ? 0 : p.process.GetLastError();
        if (copied) p.files.SetFileAttributes(destination, plat::kFileAttributeArchive);
        if (!copied) targetThere = exists(ctx, destination);
    };
    if (kind == KindSystem) {
        if (!runRedirected(ctx, copy)) {
            messages.set(ctx.text("IDS_ERR_COPYFIEL") + written + "\n" + ctx.text("IDS_ERR_REDIRECTION"));
            return 0;
        }
    } else {
        copy();
    }
    if (copied) {
        if (newName) ctx.restartNeeded = true;
        return 1;
    }
    // A file in use, or refused, is only a file the caller may skip (or write beside under
    // its "n" name) when a copy of it is already there; a refused file that is not there is
    // simply missing, and an installation without it must not report success.
    if (targetThere && error == plat::kErrorSharingViolation) return kFileInUse;
    if (targetThere && error == plat::kErrorAccessDenied) return kFileRefused;
    bool found = false;
    const std::string system = systemText(ctx, error, &found);
    messages.set(ctx.text("IDS_ERR_COPYFIEL") +
                 (found ? written + "\n" + system + ctx.text("IDS_ERR_COPYFIEL1") : std::string()));
    return 0;
}

}  // namespace

bool IsUniversalDriverFile(const std::string& upperCaseName) {
    for (const char* family : {"UNIDRV", "STDNAMES", "TTFSUB", "UNIRES"})
        if (upperCaseName.find(family) != std::string::npos) return true;
    return false;
}

int InstallSystemFile(EngineContext& ctx, std::string& fileName, int kind, cfg::OsClass os, bool newName,
                      cfg::MessageBuffer& messages) {
    fileName = upper(fileName);
    if (IsUniversalDriverFile(fileName)) {
        if (os >= cfg::kOsWin2000 && os <= cfg::kOsServer2003) {
            bool handled = false;
            const int result = fromDriverCache(ctx, fileName, os, messages, &handled);
            if (handled) return result;
        } else if (cfg::IsVistaOrLater(os)) {
            return fromDriverStore(ctx, fileName, os, messages);
        }
    }
    return fromPackage(ctx, fileName, kind, os, newName, messages);
}

std::string InstallReplaceableFile(EngineContext& ctx, const std::string& fileName, int kind, cfg::OsClass os,
                                   cfg::MessageBuffer& messages) {
    std::string file = fileName;
    const int first = InstallSystemFile(ctx, file, kind, os, false, messages);
    if (first == 1) return file;
    int result = first;
    std::string written = file;
    if (IsHeldFile(first)) {
        result = InstallSystemFile(ctx, file, kind, os, true, messages);
        written = "n" + file;
        if (result == 1) return written;
    }
    if (messages.empty()) {
        // The copy was refused without a word (in use both times, or a name that stands
        // for no file): the failure still needs its reason.
        std::string system;
        const bool known = IsHeldFile(result) &&
                           ctx.platform.process.FormatSystemMessage(static_cast<std::uint32_t>(result), &system);
        messages.set(ctx.text("IDS_ERR_COPYFIEL") + written + (known ? "\n" + system : std::string()));
    }
    return std::string();
}

int ExtractFromDriverCache(EngineContext& ctx) {
    auto& p = ctx.platform;
    std::string windows;
    p.process.GetWindowsDirectory(kPathSize, &windows);
    const std::string dir = windows + (ctx.is64BitWindows ? "\\Driver Cache\\AMD64\\" : "\\Driver Cache\\i386\\");
    std::string name;
    if (plat::FindHandle find = p.files.FindFirstFile(dir + "*.cab", &name)) {
        do ctx.cabinets.push_back(name);
        while (p.files.FindNextFile(find, &name));
        p.files.FindClose(find);
    }
    static const char* const kWanted[] = {"unidrvui.dll", "unidrv.dll",   "unires.dll",
                                          "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};
    int result = 0;
    for (const auto& cabinet : ctx.cabinets) {
        std::string temp;
        // Without the temporary folder the files would land in the current one, the package.
        if (p.files.GetTempPath(kPathSize, &temp) == 0 || temp.empty()) {
            result = 0;
            continue;
        }
        result = p.files.SetupIterateCabinet(dir + cabinet, [&](plat::CabinetNotification& n) -> std::uint32_t {
            if (n.notification != plat::kSpFileNotifyFileInCabinet) return 0;
            n.fullTargetName = temp + n.nameInCabinet;
            for (const char* wanted : kWanted)
                if (n.nameInCabinet == wanted) return plat::kFileOpDoIt;  // case counts
            return plat::kFileOpSkip;
        }) ? 1 : 0;
    }
    return result;
}

void RestoreGenericDriverFiles(EngineContext& ctx, cfg::OsClass os, bool usesGenericFiles,
                               cfg::MessageBuffer& messages) {
    if (cfg::IsWin2000OrLater(os)) {
        if (!usesGenericFiles) return;
        for (const char* name : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
            std::string file = name;
            InstallSystemFile(ctx, file, KindPrinterDriver, os, false, messages);
        }
        return;
    }
    if (os != cfg::kOsWin9x) return;
    auto& p = ctx.platform;
    std::string iconLib = "ICONLIB.DLL";
    InstallSystemFile(ctx, iconLib, KindPrinterDriver, os, false, messages);
    std::string system, windows;
    const std::uint32_t s = p.process.GetSystemDirectory(kDirSize, &system);
    const std::uint32_t w = p.process.GetWindowsDirectory(kPathSize, &windows);
    if (s == 0 || s >= kDirSize || w == 0 || w >= kPathSize) {
        messages.set(ctx.text("IDS_ERR_ALLOCMEMORY"));
        return;
    }
    const std::string installed = system + "\\UNIDRV.DLL";
    if (p.files.CanOpenExisting(installed)) return;
    if (p.files.CopyFile(windows + "\\Sysbckup\\UNIDRV.DLL", installed, true)) return;
    std::string unidrv = "UNIDRV.DLL";
    InstallSystemFile(ctx, unidrv, KindPrinterDriver, os, false, messages);
}

}  // namespace engine
