// spooler_twins: the x86 twins that a 64-bit Wine prefix needs before setup can add a printer.
//
//   spooler_twins register FILES_DIR MANIFEST (driver NAME | processor NAME)...
//   spooler_twins verify MANIFEST (driver NAME | processor NAME | allow FILE)...
//
// On 64-bit Windows setup registers its driver and print processor for "Windows x64".
// Wine's spooler runs inside the 32-bit program and AddPrinter looks a printer's driver and
// processor up in "Windows NT x86" only, so without an x86 record of the same name it
// refuses the printer. `register` makes those records, deliberately unlike anything setup
// writes (data file KLMTWIN.GPD, no help or dependent files, processor DLL klmtwin.dll), from
// the package's 32-bit UNIDRV.DLL, UNIDRVUI.DLL (a working configuration DLL: AddPrinter
// loads it) and klmproc.dll in FILES_DIR, and writes the x86 folders' contents to MANIFEST.
//
// `verify`, after the run, proves the twins did not stand in for setup's work: each twin
// record is still exactly as registered, and the x86 driver and processor folders hold
// exactly MANIFEST's files and the FILEs allowed (what the test itself adds there).
// Exit 0 when all holds, 1 otherwise, 2 on a usage error.
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

const char kX86[] = "Windows NT x86";
const char kTwinData[] = "KLMTWIN.GPD";
const char kTwinProcessor[] = "klmtwin.dll";
const char kDriverFiles[][16] = {"UNIDRV.DLL", "UNIDRVUI.DLL"};

int failures = 0;

void check(bool ok, const std::string& what) {
    std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++failures;
}

std::string upper(std::string s) {
    CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::string baseName(const char* path) {
    const std::string p = path ? path : "";
    const auto slash = p.find_last_of('\\');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string driverDir() {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(kX86), 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed);
    return dir;
}

std::string processorDir() {
    char dir[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrintProcessorDirectoryA(nullptr, const_cast<char*>(kX86), 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &needed);
    return dir;
}

// The x86 folders' files, as "folder\NAME" in upper case.
std::set<std::string> x86Files() {
    std::set<std::string> files;
    const std::string drivers = driverDir(), processors = processorDir();
    for (const std::string& dir : {drivers, drivers + "\\3", processors}) {
        WIN32_FIND_DATAA f;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &f);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(upper(dir + "\\" + f.cFileName));
        } while (FindNextFileA(h, &f));
        FindClose(h);
    }
    return files;
}

bool copy(const std::string& from, const std::string& to) {
    if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return true;
    std::printf("  FAIL copy %s -> %s: error %lu\n", from.c_str(), to.c_str(), GetLastError());
    ++failures;
    return false;
}

void registerDriver(const std::string& name) {
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = const_cast<char*>(name.c_str());
    info.pEnvironment = const_cast<char*>(kX86);
    info.pDriverPath = const_cast<char*>("UNIDRV.DLL");
    info.pDataFile = const_cast<char*>(kTwinData);
    info.pConfigFile = const_cast<char*>("UNIDRVUI.DLL");
    const BOOL ok = AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info));
    check(ok, "x86 twin of driver \"" + name + "\"" + (ok ? "" : " (error " + std::to_string(GetLastError()) + ")"));
}

void registerProcessor(const std::string& name) {
    const BOOL ok = AddPrintProcessorA(nullptr, const_cast<char*>(kX86), const_cast<char*>(kTwinProcessor),
                                       const_cast<char*>(name.c_str()));
    check(ok, "x86 twin of print processor \"" + name + "\"" + (ok ? "" : " (error " + std::to_string(GetLastError()) + ")"));
}

int doRegister(const std::string& source, const std::string& manifest, const std::vector<std::string>& args) {
    const std::string drivers = driverDir(), processors = processorDir();
    for (const char* f : kDriverFiles) copy(source + "\\" + f, drivers + "\\" + f);
    {
        std::ofstream data((drivers + "\\" + kTwinData).c_str(), std::ios::binary);
        data << "*% x86 twin of a package driver, made by the Wine test harness\r\n";
    }
    CreateDirectoryA(processors.c_str(), nullptr);
    copy(source + "\\klmproc.dll", processors + "\\" + kTwinProcessor);
    if (failures) return 1;
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "driver") registerDriver(args[i + 1]);
        else if (args[i] == "processor") registerProcessor(args[i + 1]);
        else return 2;
    }
    std::ofstream out(manifest.c_str());
    for (const auto& f : x86Files()) out << f << "\n";
    return failures ? 1 : 0;
}

bool regText(const std::string& path, const char* value, std::string* text) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char data[MAX_PATH] = {};
    DWORD size = sizeof data - 1, type = 0;
    const bool ok = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS &&
                    type == REG_SZ;
    RegCloseKey(key);
    if (ok) *text = data;
    return ok;
}

void verifyDriver(const std::string& name, const std::vector<DRIVER_INFO_3A>& records) {
    const std::string dir = upper(driverDir() + "\\3\\");
    for (const auto& r : records) {
        if (lstrcmpiA(r.pName, name.c_str()) != 0) continue;
        auto at = [&](const char* path, const char* file) { return upper(path ? path : "") == dir + upper(file); };
        // An empty value may come back as the bare folder.
        const bool noDependents = baseName(r.pDependentFiles).empty();
        const bool noHelp = baseName(r.pHelpFile).empty();
        check(at(r.pDriverPath, "UNIDRV.DLL") && at(r.pDataFile, kTwinData) && at(r.pConfigFile, "UNIDRVUI.DLL") &&
                  noHelp && noDependents,
              "x86 driver \"" + name + "\" is the twin as registered (data " + baseName(r.pDataFile) + ", help \"" +
                  baseName(r.pHelpFile) + "\"" + (noDependents ? "" : ", with dependent files") + ")");
        return;
    }
    check(false, "x86 driver \"" + name + "\" still registered");
}

int doVerify(const std::string& manifest, const std::vector<std::string>& args) {
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, const_cast<char*>(kX86), 3, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + sizeof(DRIVER_INFO_3A));
    std::vector<DRIVER_INFO_3A> records;
    if (EnumPrinterDriversA(nullptr, const_cast<char*>(kX86), 3, buffer.data(), static_cast<DWORD>(buffer.size()),
                            &needed, &count)) {
        const auto* first = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
        records.assign(first, first + count);
    }
    std::set<std::string> expected;
    {
        std::ifstream in(manifest.c_str());
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) expected.insert(line);
    }
    check(!expected.empty(), "the manifest " + manifest + " lists the twins' files");
    std::set<std::string> allowed;
    const std::string processorKey =
        std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") + kX86 + "\\Print Processors\\";
    for (size_t i = 0; i + 1 < args.size(); i += 2) {
        const std::string& name = args[i + 1];
        if (args[i] == "driver") {
            verifyDriver(name, records);
        } else if (args[i] == "processor") {
            std::string dll;
            const bool read = regText(processorKey + name, "Driver", &dll);
            check(read && lstrcmpiA(dll.c_str(), kTwinProcessor) == 0,
                  "x86 print processor \"" + name + "\" is the twin as registered (DLL " + (read ? dll : "none") + ")");
        } else if (args[i] == "allow") {
            allowed.insert(upper(name));
        } else {
            return 2;
        }
    }
    const std::set<std::string> now = x86Files();
    for (const auto& f : now)
        check(expected.count(f) || allowed.count(upper(baseName(f.c_str()))), "x86 folder file " + f + " is the harness's");
    for (const auto& f : expected) check(now.count(f) != 0, "x86 folder file " + f + " is still there");
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    int rc = 2;
    if (a.size() >= 3 && a[0] == "register" && a.size() % 2 == 1)
        rc = doRegister(a[1], a[2], std::vector<std::string>(a.begin() + 3, a.end()));
    else if (a.size() >= 2 && a[0] == "verify" && a.size() % 2 == 0)
        rc = doVerify(a[1], std::vector<std::string>(a.begin() + 2, a.end()));
    if (rc == 2) std::fprintf(stderr, "usage: spooler_twins register FILES_DIR MANIFEST (driver|processor NAME)...\n"
                                      "       spooler_twins verify MANIFEST (driver|processor NAME | allow FILE)...\n");
    std::fflush(stdout);
    return rc;
}
