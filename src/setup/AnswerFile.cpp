#include "setup/AnswerFile.h"

#include <cctype>
#include <cstdio>

#include "config/IniValues.h"
#include "config/ModelConfig.h"
#include "engine/InstallChoices.h"
#include "setup/SetupWizardDialog.h"

namespace setup {

namespace {

const char kSection[] = "Install";

std::string trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    return text.substr(begin, end - begin);
}

bool digits(const std::string& v) {
    if (v.empty() || v.size() > 9) return false;
    for (char c : v)
        if (c < '0' || c > '9') return false;
    return true;
}

// The canonical spelling of a value of one of the listed forms; "" when it is none of them.
std::string oneOf(const std::string& v, std::initializer_list<const char*> forms) {
    for (const char* form : forms)
        if (cfg::EqualsNoCase(v, form)) return form;
    return std::string();
}

struct Key {
    const char* name;
    AnswerValue Answers::*field;
    // Empty when the value has the key's form, otherwise what it should be. May put the
    // value in its canonical spelling.
    std::string (*check)(std::string& value);
};

std::string anyText(std::string& v) { return v.empty() ? "a value is needed" : std::string(); }
std::string zeroOrOne(std::string& v) { return v == "0" || v == "1" ? std::string() : "must be 0 or 1"; }
std::string number(std::string& v) { return digits(v) ? std::string() : "must be a number"; }
std::string mode(std::string& v) {
    v = oneOf(v, {"Typical", "Advanced"});
    return v.empty() ? "must be Typical or Advanced" : std::string();
}
std::string parity(std::string& v) {
    if (v.size() == 1 && std::string("NEOMSneoms").find(v[0]) != std::string::npos) {
        v[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(v[0])));
        return std::string();
    }
    return "must be one of N, E, O, M, S";
}
std::string stopBits(std::string& v) { return v == "1" || v == "1.5" || v == "2" ? std::string() : "must be 1, 1.5 or 2"; }
std::string protocol(std::string& v) {
    v = oneOf(v, {"None", "Xon/Xoff", "Hardware"});
    return v.empty() ? "must be None, Xon/Xoff or Hardware" : std::string();
}
std::string ip(std::string& v) {
    std::uint32_t address = 0;
    return ParseIpAddress(v, &address) ? std::string() : "must be a dotted address such as 192.168.1.20";
}

const Key kKeys[] = {
    {"Model", &Answers::model, anyText},         {"Mode", &Answers::mode, mode},
    {"Port", &Answers::port, anyText},           {"IP", &Answers::ip, ip},
    {"BaudRate", &Answers::baudRate, number},    {"Parity", &Answers::parity, parity},
    {"ByteSize", &Answers::byteSize, number},    {"StopBits", &Answers::stopBits, stopBits},
    {"Protocol", &Answers::protocol, protocol},  {"Raster", &Answers::raster, zeroOrOne},
    {"Default", &Answers::setAsDefault, zeroOrOne}, {"Accept", &Answers::accept, zeroOrOne},
};

std::string protocolName(char letter) {
    switch (letter) {
        case 'x': return "Xon/Xoff";
        case ' ': return "None";
        default: return "Hardware";
    }
}

std::string stopBitsText(double bits) { return bits == 1.5 ? "1.5" : std::to_string(static_cast<int>(bits)); }

// The keys of an outcome in file order.
std::vector<std::pair<std::string, std::string>> entries(const InstallOutcome& o) {
    const engine::InstallChoices& c = o.choices;
    std::vector<std::pair<std::string, std::string>> e;
    e.emplace_back("Model", c.model);
    e.emplace_back("Mode", o.installMode ? "Typical" : "Advanced");
    e.emplace_back("Port", c.portName);
    const int kind = engine::PortKindOf(c.portName);
    if (kind == engine::kPortNet) e.emplace_back("IP", o.ipAddress);
    if (kind == engine::kPortCom) {
        // A rate the list does not hold came from the model file and comes from it again.
        for (int rate : cfg::kBaudRates)
            if (rate == c.serial.baudRate) e.emplace_back("BaudRate", std::to_string(rate));
        if (c.serial.parity) e.emplace_back("Parity", std::string(1, static_cast<char>(std::toupper(
                                                                          static_cast<unsigned char>(c.serial.parity)))));
        e.emplace_back("ByteSize", std::to_string(c.serial.byteSize));
        e.emplace_back("StopBits", stopBitsText(c.serial.stopBits));
        e.emplace_back("Protocol", protocolName(c.serial.protocol));
    }
    if (o.rasterOffered) e.emplace_back("Raster", c.variant == cfg::kVariantGdi ? "1" : "0");
    e.emplace_back("Default", c.setAsDefault ? "1" : "0");
    if (o.accepted) e.emplace_back("Accept", "1");
    return e;
}

}  // namespace

bool ParseIpAddress(const std::string& text, std::uint32_t* address) {
    std::uint32_t value = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t end = part < 3 ? text.find('.', at) : text.size();
        if (end == std::string::npos) return false;
        const std::string field = text.substr(at, end - at);
        if (!digits(field) || field.size() > 3 || std::stoi(field) > 255) return false;
        value = value << 8 | static_cast<std::uint32_t>(std::stoi(field));
        at = end + 1;
    }
    *address = value;
    return true;
}

AnswerFileResult ParseAnswerFile(const std::string& bytes) {
    AnswerFileResult result;
    auto refuse = [&](int line, const std::string& why) {
        result.error = "line " + std::to_string(line) + ": " + why;
        return result;
    };
    bool inSection = false, sawSection = false;
    int lineNumber = 0;
    std::size_t at = 0;
    // A UTF-8 mark some editors put first is not part of the text.
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = trim(bytes.substr(at, end - at));
        at = end + 1;
        ++lineNumber;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            const std::string name = close == std::string::npos ? std::string() : trim(line.substr(1, close - 1));
            if (close == std::string::npos || !trim(line.substr(close + 1)).empty())
                return refuse(lineNumber, "\"" + line + "\" is no section header");
            if (!cfg::EqualsNoCase(name, kSection))
                return refuse(lineNumber, "unknown section [" + name + "]; the answers belong in [Install]");
            if (sawSection) return refuse(lineNumber, "section [Install] is given twice");
            inSection = sawSection = true;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) return refuse(lineNumber, "\"" + line + "\" is no key=value line");
        const std::string name = trim(line.substr(0, eq));
        if (!inSection) return refuse(lineNumber, "key \"" + name + "\" outside section [Install]");
        const Key* key = nullptr;
        for (const Key& k : kKeys)
            if (cfg::EqualsNoCase(name, k.name)) key = &k;
        if (!key) return refuse(lineNumber, "unknown key \"" + name + "\"");
        AnswerValue& value = result.answers.*(key->field);
        if (value.given) return refuse(lineNumber, std::string(key->name) + " is given twice");
        value.text = trim(line.substr(eq + 1));
        const std::string wrong = key->check(value.text);
        if (!wrong.empty()) return refuse(lineNumber, std::string(key->name) + "=" + trim(line.substr(eq + 1)) + ": " + wrong);
        value.given = true;
        value.line = lineNumber;
    }
    if (!sawSection) {
        result.error = "no section [Install]";
    } else if (!result.answers.model.given) {
        result.error = "key Model is missing";
    } else if (!result.answers.port.given) {
        result.error = "key Port is missing";
    }
    return result;
}

std::string FormatAnswerFile(const InstallOutcome& outcome) {
    std::string text = std::string("[") + kSection + "]\r\n";
    for (const auto& entry : entries(outcome)) text += entry.first + "=" + entry.second + "\r\n";
    return text;
}

std::string DescribeChoices(const InstallOutcome& outcome) {
    std::string text;
    for (const auto& entry : entries(outcome)) text += (text.empty() ? "" : " ") + entry.first + "=" + entry.second;
    return text;
}

}  // namespace setup
