#include "config/RunLog.h"

#include <cstdio>

#include "config/OsClass.h"
#include "config/Wow64.h"

namespace cfg {

namespace {

constexpr std::uint32_t kPathSize = 261;

std::string timeStamp(const plat::LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second, t.milliseconds);
    return text;
}

// Every line of a text under the first one is indented, so each log line that begins
// with a time is one fact.
std::string logLines(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        out += c == '\n' ? std::string("\r\n                          ") : std::string(1, c);
    }
    return out;
}

}  // namespace

void LogLine(plat::Platform& p, const std::string& text) {
    if (p.log) p.log->Line(text);
}

void LogShown(plat::Platform& p, const std::string& text) {
    if (p.log) p.log->Shown(text);
}

RunLog::RunLog(plat::Platform& p, std::string path, bool quiet) : p_(p), path_(std::move(path)), quiet_(quiet) {}

void RunLog::write(const std::string& text) {
    // The log is written between a failing call and the code that asks why it failed.
    const std::uint32_t lastError = p_.process.GetLastError();
    const std::string line = timeStamp(p_.clock.GetLocalTime()) + "  " + logLines(text) + "\r\n";
    if (!p_.files.AppendToFile(path_, line)) intact_ = false;
    p_.process.SetLastError(lastError);
}

void RunLog::Line(const std::string& text) { write(text); }

void RunLog::Shown(const std::string& text) {
    write("shown: " + text);
    if (!quiet_) return;
    const std::uint32_t lastError = p_.process.GetLastError();
    std::string out;
    for (char c : text)
        if (c != '\r') out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    p_.process.WriteStandardError(out + "\r\n");  // a program started without one has none: nothing lost
    p_.process.SetLastError(lastError);
}

std::string DefaultLogPath(plat::Platform& p, const std::string& program) {
    std::string folder;
    const std::uint32_t length = p.files.GetTempPath(kPathSize, &folder);
    if (length == 0 || length >= kPathSize) folder.clear();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    const plat::LocalTime t = p.clock.GetLocalTime();
    char name[64];
    std::snprintf(name, sizeof name, "-%04d%02d%02d-%02d%02d%02d.log", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return folder + program + name;
}

void LogRunStart(plat::Platform& p, Program program, const std::string& commandLine) {
    if (!Logging(p)) return;
    LogLine(p, "command line: " + commandLine);
    std::string path;
    const std::uint32_t length = p.process.GetModuleFileName(kPathSize, &path);
    LogLine(p, "program: " + (length > 0 && length < kPathSize ? path : std::string("(unknown)")));
    std::string current;
    const std::uint32_t currentLength = p.process.GetCurrentDirectory(kPathSize, &current);
    LogLine(p, "package folder (current directory): " +
                   (currentLength > 0 && currentLength < kPathSize ? current : std::string("(unknown)")));

    const OsFacts facts = ReadOsFacts(p);
    const plat::OsVersionInfo& v = facts.version;
    char version[160];
    std::snprintf(version, sizeof version, "Windows %u.%u build %u, platform %u, product type %u, %s",
                  static_cast<unsigned>(v.majorVersion), static_cast<unsigned>(v.minorVersion),
                  static_cast<unsigned>(v.buildNumber), static_cast<unsigned>(v.platformId),
                  static_cast<unsigned>(v.productType), v.csdVersion.empty() ? "no service pack" : v.csdVersion.c_str());
    LogLine(p, version);
    std::string osClass;
    if (v.platformId == plat::kPlatformWindows) {
        osClass = "0";
    } else if (v.platformId == plat::kPlatformNt) {
        const OsClass os = ClassifyNt(v, facts.processorArchitecture);
        osClass = std::to_string(os) + " (sections \"" + (program == Program::Setup ? OsSuffix(os) : UninstallOsSuffix(os)) + "\")";
    } else {
        osClass = "none (unknown platform)";
    }
    LogLine(p, "Windows class " + osClass + ", " + (IsWow64(p) ? "64-bit" : "32-bit") + " Windows");
}

void LogExit(plat::Platform& p, int exitCode, const std::string& outcome) {
    LogLine(p, "outcome: " + outcome + "; exit code " + std::to_string(exitCode));
}

}  // namespace cfg
