#include "platform/sim/SimMachine.h"

namespace sim {

namespace {

struct VersionFacts {
    WindowsVersion version;
    const char* name;
    std::uint32_t platformId, major, minor, build;
    std::uint8_t productType;
    bool has64BitEdition;
    bool hasNativeSystemInfo;  // GetNativeSystemInfo: XP and later
    bool hasIsWow64Process;    // IsWow64Process: XP SP2 / 2003 SP1 and later
    bool extendedVersion;      // OSVERSIONINFOEXA accepted
    bool only64BitEdition = false;
    bool hasIsWow64Process2 = false;  // Windows 10 1511 and later
};

const VersionFacts kVersions[] = {
    {WindowsVersion::Win95, "win95", plat::kPlatformWindows, 4, 0, 950, 0, false, false, false, true},
    {WindowsVersion::Win98, "win98", plat::kPlatformWindows, 4, 10, 2222, 0, false, false, false, true},
    {WindowsVersion::WinMe, "winme", plat::kPlatformWindows, 4, 90, 3000, 0, false, false, false, true},
    {WindowsVersion::Nt4, "nt40", plat::kPlatformNt, 4, 0, 1381, plat::kNtWorkstation, false, false, false, true},
    {WindowsVersion::Win2000, "win2k", plat::kPlatformNt, 5, 0, 2195, plat::kNtWorkstation, false, false, false, true},
    {WindowsVersion::WinXP, "winxp", plat::kPlatformNt, 5, 1, 2600, plat::kNtWorkstation, false, true, true, true},
    {WindowsVersion::WinXP64, "winxp64", plat::kPlatformNt, 5, 2, 3790, plat::kNtWorkstation, true, true, true, true},
    {WindowsVersion::Server2003, "win2003", plat::kPlatformNt, 5, 2, 3790, plat::kNtServer, true, true, true, true},
    {WindowsVersion::Vista, "vista", plat::kPlatformNt, 6, 0, 6002, plat::kNtWorkstation, true, true, true, true},
    {WindowsVersion::Server2008, "win2008", plat::kPlatformNt, 6, 0, 6002, plat::kNtServer, true, true, true, true},
    {WindowsVersion::Win7, "win7", plat::kPlatformNt, 6, 1, 7601, plat::kNtWorkstation, true, true, true, true},
    {WindowsVersion::Server2008R2, "win2008r2", plat::kPlatformNt, 6, 1, 7601, plat::kNtServer, true, true, true, true},
    {WindowsVersion::Win8, "win8", plat::kPlatformNt, 6, 2, 9200, plat::kNtWorkstation, true, true, true, true},
    {WindowsVersion::Win81, "win81", plat::kPlatformNt, 6, 3, 9600, plat::kNtWorkstation, true, true, true, true},
    {WindowsVersion::Win10, "win10", plat::kPlatformNt, 10, 0, 19045, plat::kNtWorkstation, true, true, true, true,
     false, true},
    {WindowsVersion::Win11, "win11", plat::kPlatformNt, 10, 0, 22631, plat::kNtWorkstation, true, true, true, true,
     false, true},
    {WindowsVersion::Server2012, "win2012", plat::kPlatformNt, 6, 2, 9200, plat::kNtServer, true, true, true, true,
     true},
    {WindowsVersion::Server2012R2, "win2012r2", plat::kPlatformNt, 6, 3, 9600, plat::kNtServer, true, true, true, true,
     true},
    {WindowsVersion::Server2016, "win2016", plat::kPlatformNt, 10, 0, 14393, plat::kNtServer, true, true, true, true,
     true, true},
    {WindowsVersion::Server2019, "win2019", plat::kPlatformNt, 10, 0, 17763, plat::kNtServer, true, true, true, true,
     true, true},
    {WindowsVersion::Server2022, "win2022", plat::kPlatformNt, 10, 0, 20348, plat::kNtServer, true, true, true, true,
     true, true},
};

// The print monitors each Windows installs itself.
std::vector<std::string> builtInMonitors(const VersionFacts& f) {
    if (f.platformId == plat::kPlatformWindows) return {"Local Port"};
    const bool win8OrLater = f.major > 6 || (f.major == 6 && f.minor >= 2);
    std::vector<std::string> names = {"Local Port", "Standard TCP/IP Port"};
    // Windows 8 dropped the two language monitors of the old inbox drivers.
    if (!win8OrLater) {
        names.push_back("BJ Language Monitor");
        names.push_back("PJL Language monitor");
    }
    if (f.major >= 5) names.push_back("USB Monitor");
    if (f.major >= 6) names.push_back("WSD Port");
    // The fax monitor comes with the workstations; a server from 2012 on has it only with
    // the fax role.
    if (f.major >= 6 && !(win8OrLater && f.productType != plat::kNtWorkstation))
        names.push_back("Microsoft Shared Fax Monitor");
    if (f.major > 6 || (f.major == 6 && f.minor >= 1)) names.push_back("Appmon");
    return names;
}

const VersionFacts& factsOf(WindowsVersion v) {
    for (const auto& f : kVersions)
        if (f.version == v) return f;
    return kVersions[0];
}

}  // namespace

const char* windowsVersionName(WindowsVersion v) { return factsOf(v).name; }

SimMachine::SimMachine()
    : platform_{profile, registry, system,  process, security, services, windows,
                clock,   spooler,  fileApi, shell,   usb} {
    security.setUser(true);
    services.service("Spooler");
    // While it runs, the spooler keeps its monitors and processors loaded: replacing one
    // gives 32 until the service is stopped.
    files.heldByServices = [this](const std::string& lowerPath) {
        // The spooler's process keeps its DLLs open until it has ended, through the whole
        // stop-pending time, not only while it reports running.
        const std::uint32_t state = services.currentState("Spooler");
        return state != 0 && state != plat::kServiceStopped && spooler.holdsFile(lowerPath);
    };
    services.started = [this](const std::string& name) {
        if (name == "spooler") spooler.loadMonitors();
    };
    setWindows(WindowsVersion::Win7, false);
    for (const char* dir : {"C:\\WINDOWS", "C:\\WINDOWS\\inf", "C:\\TEMP"}) files.makeDirectory(dir);
}

void SimMachine::setWindows(WindowsVersion version, bool sixtyFourBit) {
    const VersionFacts& f = factsOf(version);
    // XP x64 only ever existed as a 64-bit edition.
    const bool is64 = (sixtyFourBit && f.has64BitEdition) || version == WindowsVersion::WinXP64 || f.only64BitEdition;
    system.version = plat::OsVersionInfo{};
    system.version.platformId = f.platformId;
    system.version.majorVersion = f.major;
    system.version.minorVersion = f.minor;
    system.version.buildNumber = f.build;
    system.version.productType = f.productType;
    system.extendedVersionSupported = f.extendedVersion;
    // WinXP64 is the AMD64 edition; other 64-bit editions are modelled as x64 too.
    system.nativeArchitecture = is64 ? plat::kArchAmd64 : plat::kArchIntel;
    system.wow64 = is64;
    system.emulatedOnArm64 = false;
    registry.setWow64(is64);
    spooler.setNativeEnvironment(f.platformId == plat::kPlatformWindows, is64);
    spooler.setBuiltInMonitors(builtInMonitors(f));
    files.setRedirection(is64, is64, process.windowsDir);
    files.setDriverStoreShared(f.platformId == plat::kPlatformNt && (f.major > 6 || (f.major == 6 && f.minor >= 1)));

    std::vector<std::string> kernel32 = {"GetVersionExA", "GetSystemInfo", "LoadLibraryA"};
    if (f.hasNativeSystemInfo) kernel32.push_back("GetNativeSystemInfo");
    if (f.hasIsWow64Process) kernel32.push_back("IsWow64Process");
    if (f.hasIsWow64Process2) kernel32.push_back("IsWow64Process2");
    if (is64 || (f.platformId == plat::kPlatformNt && f.major >= 6)) {
        kernel32.push_back("Wow64DisableWow64FsRedirection");
        kernel32.push_back("Wow64RevertWow64FsRedirection");
    }
    process.defineLibrary("kernel32.dll", kernel32);

    if (f.platformId == plat::kPlatformNt && f.major >= 5) process.defineLibrary("ntdll.dll", {"RtlGetVersion"});

    std::vector<std::string> winspool = {"AddPrinterA", "OpenPrinterA"};
    if (f.platformId == plat::kPlatformNt && f.major >= 5) {
        winspool.push_back("SetDefaultPrinterA");
        winspool.push_back("DeletePrinterDriverExA");
    }
    process.defineLibrary("winspool.drv", winspool);

    std::vector<std::string> advapi32 = {"RegDeleteKeyA", "AdjustTokenPrivileges"};
    if (is64 || (f.platformId == plat::kPlatformNt && f.major >= 6)) advapi32.push_back("RegDeleteKeyExA");
    process.defineLibrary("advapi32.dll", advapi32);

    // The real system folder of each width, and the spooler's folders in it.
    files.setRedirection(is64, false, process.windowsDir);
    for (const char* dir : {"\\system32", "\\system32\\drivers", "\\system32\\spool",
                            "\\system32\\spool\\drivers", "\\system32\\spool\\drivers\\w32x86",
                            "\\system32\\spool\\prtprocs", "\\system32\\spool\\prtprocs\\w32x86",
                            "\\system32\\spool\\drivers\\x64", "\\system32\\spool\\prtprocs\\x64"})
        files.makeDirectory(process.windowsDir + dir);
    if (is64) files.makeDirectory(process.windowsDir + "\\SysWOW64");
    files.setRedirection(is64, is64, process.windowsDir);
}

void SimMachine::setArm64Windows(WindowsVersion version) {
    // To the x86 program the machine looks like 64-bit Windows on an x86 processor (WOW64,
    // x86 emulation); only IsWow64Process2 tells the truth.
    setWindows(version, true);
    system.nativeArchitecture = plat::kArchArm64;
    system.emulatedOnArm64 = true;
}

void SimMachine::installProgram(const std::string& hostFolder, const std::string& windowsFolder,
                                const std::string& exeName) {
    files.mapHostFolder(windowsFolder, hostFolder);
    process.currentDir = windowsFolder;
    process.imagePath = windowsFolder + "\\" + exeName;
}

}  // namespace sim
