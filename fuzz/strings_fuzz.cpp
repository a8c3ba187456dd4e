// The short texts the programs take apart: USB port names and identifiers, driver version
// texts and their order, COM port names and the serial settings line, IP addresses, both
// command lines and the unattended answer file. Every input goes to each of them; no
// simulated machine is involved.
//
// Input: the text; where a reader takes two texts, the second begins after the first
// line break.
#include <algorithm>
#include <cstring>

#include "FuzzCommon.h"
#include "config/CommandLine.h"
#include "engine/PortSetup.h"
#include "engine/UsbPrinter.h"
#include "setup/AnswerFile.h"

using fuzz::expect;

namespace {

int countLines(const std::string& text) {
    return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

void portNames(const std::string& text, const std::string& second) {
    const int id = engine::UsbPortIdentifier(text);
    expect(id >= 0 && id <= 4, "USB port identifier out of range", text);
    if (id > 0) expect(text.find("_" + std::to_string(id)) != std::string::npos, "identifier not in the name", text);
    const std::string named = engine::UsbInstallSteps::PrinterNameMarks(second, text);
    expect(named.size() < engine::kPrinterNameSize, "printer name past its buffer", named);
    const std::string installed = engine::UsbInstallSteps::InstalledPortName(text);
    expect(installed.size() <= std::max<std::size_t>(text.size(), 12), "installed port name grew", installed);

    const int com = engine::ComNumber(text);
    expect(com >= 0 && com <= 9, "COM number out of range", text);
    const std::string comName = engine::ComPortName(text);
    expect(comName.empty() == (text.find("COM") == std::string::npos), "COM name without COM", text);

    expect(engine::UsbDeviceNumber(static_cast<int>(text.size() * 2654435761u)) >= 1 &&
               engine::UsbDeviceNumber(static_cast<int>(text.size() * 2654435761u)) <= 8,
           "USB device number out of range");
}

void versions(const std::string& a, const std::string& b) {
    const int ab = engine::CompareDriverVersions(a, b), ba = engine::CompareDriverVersions(b, a);
    expect((ab < 0) == (ba > 0) && (ab == 0) == (ba == 0), "version order not antisymmetric", a + " | " + b);
    expect(engine::CompareDriverVersions(a, a) == 0, "version not equal to itself", a);
    if (engine::IsNoDriverVersion(a)) expect(engine::CompareDriverVersions(a, "0.0.0.0") == 0, "no version", a);
}

void settingsLine(const std::string& text) {
    if (text.size() < 12) return;
    engine::ComPortSettings s;
    std::int32_t baud = 0;
    std::memcpy(&baud, text.data(), sizeof baud);
    s.baudRate = baud;
    s.parity = text[4];
    s.byteSize = static_cast<signed char>(text[5]);
    static const double kStops[] = {1, 1.5, 2, 0, -1, 1e300};
    s.stopBits = kStops[static_cast<unsigned char>(text[6]) % 6];
    s.protocol = text[7];
    const std::string line = engine::FormatSettingsLine(s);
    expect(line.size() < engine::kSettingsLineSize, "settings line past its buffer", line);
    engine::ComDcbBytes(s);
}

void ipAddress(const std::string& text) {
    std::uint32_t address = 0;
    if (!setup::ParseIpAddress(text, &address)) return;
    const std::string dotted = std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." +
                               std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255);
    std::uint32_t again = 0;
    expect(setup::ParseIpAddress(dotted, &again) && again == address, "IP address does not read back", text);
}

void commandLines(const std::string& text) {
    cfg::SplitCommandLine(text);
    const cfg::CommandLine s = cfg::ParseCommandLine(cfg::Program::Setup, text);
    if (s.error.empty()) {
        expect(!s.quiet || !s.answers.empty(), "quiet setup without answers", text);
        expect(s.items.empty() && !s.all && !s.usb, "uninstall switches taken by setup", text);
    }
    const cfg::CommandLine u = cfg::ParseCommandLine(cfg::Program::Uninstall, text);
    if (u.error.empty()) {
        expect(!u.quiet || (u.all != !u.items.empty()), "quiet removal without exactly one choice", text);
        expect(u.quiet || (!u.all && u.items.empty() && !u.usb), "removal choices without /quiet", text);
        expect(u.answers.empty() && u.record.empty(), "setup switches taken by uninstall", text);
        for (const std::string& item : u.items) expect(!item.empty(), "empty item taken", text);
    }
}

void answerFile(const std::string& text) {
    const setup::AnswerFileResult r = setup::ParseAnswerFile(text);
    if (!r.error.empty()) return;
    const setup::Answers& a = r.answers;
    expect(a.model.given && a.port.given, "answer file taken without Model and Port", text);
    const int lines = countLines(text) + 1;
    for (const setup::AnswerValue* v : {&a.model, &a.mode, &a.port, &a.ip, &a.baudRate, &a.parity, &a.byteSize,
                                        &a.stopBits, &a.protocol, &a.raster, &a.setAsDefault, &a.accept})
        if (v->given) expect(v->line >= 1 && v->line <= lines, "answer on a line the file does not have", v->text);
    if (a.ip.given) {
        std::uint32_t address = 0;
        expect(setup::ParseIpAddress(a.ip.text, &address), "IP taken that does not read", a.ip.text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = text.find('\n');
    const std::string first = text.substr(0, cut);
    const std::string second = cut == std::string::npos ? std::string() : text.substr(cut + 1);
    portNames(first, second);
    versions(first, second);
    settingsLine(text);
    ipAddress(first);
    commandLines(first);
    answerFile(text);
    return 0;
}
