#include "config/CommandLine.h"

#include "config/IniValues.h"

namespace cfg {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// The program's own name ends at the first blank, or, when quoted, at the next quote:
// Windows gives the backslash no meaning there.
std::size_t skipProgram(const std::string& line, std::string* program) {
    std::size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        const std::size_t end = line.find('"', 1);
        *program = line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        at = end == std::string::npos ? line.size() : end + 1;
    } else {
        while (at < line.size() && !blank(line[at])) ++at;
        *program = line.substr(0, at);
    }
    return at;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> args;
    std::string program;
    std::size_t at = skipProgram(line, &program);
    args.push_back(program);
    while (true) {
        while (at < line.size() && blank(line[at])) ++at;
        if (at >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (at < line.size() && (quoted || !blank(line[at]))) {
            if (line[at] == '\\') {
                std::size_t slashes = 0;
                while (at < line.size() && line[at] == '\\') ++slashes, ++at;
                if (at < line.size() && line[at] == '"') {
                    // 2n backslashes and a quote: n backslashes, the quote delimits;
                    // 2n+1: n backslashes and a literal quote.
                    arg.append(slashes / 2, '\\');
                    if (slashes % 2) arg += '"', ++at;
                } else {
                    arg.append(slashes, '\\');
                }
                continue;
            }
            if (line[at] == '"') {
                // Inside quotes, a doubled quote is one literal quote.
                if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                    arg += '"';
                    at += 2;
                    continue;
                }
                quoted = !quoted;
                ++at;
                continue;
            }
            arg += line[at++];
        }
        args.push_back(arg);
    }
    return args;
}

CommandLine ParseCommandLine(Program program, const std::string& commandLine) {
    CommandLine c;
    const bool setup = program == Program::Setup;
    const std::vector<std::string> args = SplitCommandLine(commandLine);
    bool seenLog = false, seenAnswers = false, seenRecord = false, seenQuiet = false, seenNoRestart = false;
    auto refuse = [&](const std::string& why) {
        if (c.error.empty()) c.error = why;
    };
    for (std::size_t i = 1; i < args.size() && c.error.empty(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || (arg[0] != '/' && arg[0] != '-')) {
            refuse("argument \"" + arg + "\" is not a switch");
            break;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(1, eq == std::string::npos ? std::string::npos : eq - 1);
        const bool hasValue = eq != std::string::npos;
        const std::string value = hasValue ? arg.substr(eq + 1) : std::string();
        auto is = [&](const char* n) { return EqualsNoCase(name, n); };
        auto flag = [&](bool& seen, bool& target) {
            if (hasValue) return refuse("switch \"" + arg + "\" takes no value");
            if (seen) return refuse("switch \"" + arg + "\" is given twice");
            seen = target = true;
        };
        auto text = [&](bool& seen, std::string& target) {
            if (!hasValue || value.empty()) return refuse("switch \"" + arg + "\" needs a value after \"=\"");
            if (seen) return refuse("switch \"" + arg + "\" is given twice");
            seen = true;
            target = value;
        };
        if (is("quiet")) {
            flag(seenQuiet, c.quiet);
        } else if (is("norestart")) {
            flag(seenNoRestart, c.noRestart);
        } else if (is("log")) {
            text(seenLog, c.log);
        } else if (setup && is("answers")) {
            text(seenAnswers, c.answers);
        } else if (setup && is("record")) {
            text(seenRecord, c.record);
        } else if (!setup && is("all")) {
            bool seenAll = c.all;
            flag(seenAll, c.all);
        } else if (!setup && is("usb")) {
            bool seenUsb = c.usb;
            flag(seenUsb, c.usb);
        } else if (!setup && is("item")) {
            std::string item;
            bool fresh = false;
            text(fresh, item);
            if (!item.empty()) c.items.push_back(item);
        } else {
            refuse("unknown switch \"" + arg + "\"");
        }
    }
    if (!c.error.empty()) return c;

    if (setup) {
        if (c.quiet && c.answers.empty()) refuse("/quiet needs /answers=FILE");
        if (!c.quiet && !c.answers.empty()) refuse("/answers=FILE is only read with /quiet");
        if (c.quiet && !c.record.empty()) refuse("/record=FILE records the wizard's choices and cannot be used with /quiet");
    } else {
        const bool chosen = c.all || !c.items.empty();
        if (c.quiet && !chosen) refuse("/quiet needs /all or /item=NAME");
        if (c.all && !c.items.empty()) refuse("/all and /item=NAME cannot be used together");
        if (!c.quiet && (chosen || c.usb)) refuse("/all, /item=NAME and /usb are only read with /quiet");
    }
    return c;
}

}  // namespace cfg
