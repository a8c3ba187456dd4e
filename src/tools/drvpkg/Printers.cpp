#include "tools/drvpkg/Printers.h"

#include <cstdio>

#include "config/OsClass.h"

namespace drvpkg {

namespace {

std::string json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') out += '\\', out += static_cast<char>(c);
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else out += static_cast<char>(c);  // bytes of the language file's code page pass as they are
    }
    return out + "\"";
}

// A message box's text line by line, as the box shows it.
std::string indented(const std::string& text) {
    std::string out = "  | ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\n' || text[i] == '\r') out += "\n  | ";
        else out += text[i];
    }
    return out + "\n";
}

const char* sectionOf(const std::string& kind) {
    if (kind == "file") return "files copied";
    if (kind == "registry" || kind == "profile") return "registry and WIN.INI";
    if (kind == "service") return "spooler service";
    return "spooler calls";
}

}  // namespace

void PrintFindings(std::ostream& out, const std::vector<Finding>& findings) {
    for (const auto& f : findings)
        out << f.file << ':' << f.line << ": " << (f.error ? "error" : "warning") << ": " << f.text << '\n';
}

void PrintFindingsJson(std::ostream& out, const std::vector<Finding>& findings) {
    out << "[";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const auto& f = findings[i];
        out << (i ? ",\n " : "\n ") << "{\"file\": " << json(f.file) << ", \"line\": " << f.line
            << ", \"severity\": " << (f.error ? "\"error\"" : "\"warning\"") << ", \"text\": " << json(f.text) << "}";
    }
    out << "\n]\n";
}

void PrintPlan(std::ostream& out, const PlanResult& p) {
    out << "plan: " << p.model << " on " << p.port << ", " << p.windows << " (class " << p.osClass << ", "
        << cfg::OsSuffix(p.osClass) << ")\n";
    for (const auto& n : p.notes) out << "machine: " << n << '\n';
    std::string last;
    for (const auto& s : p.steps) {
        // Steps keep their order; a heading marks each change of kind.
        const std::string heading = sectionOf(s.kind);
        if (heading != last) out << heading << ":\n";
        last = heading;
        out << "  " << s.call;
        for (const auto& f : s.fields) out << ' ' << f.first << '=' << (f.second.find(' ') == std::string::npos && !f.second.empty() ? f.second : "\"" + f.second + "\"");
        if (!s.ok) out << "  -> failed, error " << s.error;
        out << '\n';
    }
    out << "outcome: " << p.outcome << '\n';
    for (const auto& m : p.messages) out << "message:\n" << indented(m);
}

void PrintPlanJson(std::ostream& out, const PlanResult& p) {
    out << "{\n  \"windows\": " << json(p.windows) << ",\n  \"osClass\": " << p.osClass << ",\n  \"model\": "
        << json(p.model) << ",\n  \"category\": " << p.category << ",\n  \"port\": " << json(p.port) << ",\n  \"machine\": [";
    for (std::size_t i = 0; i < p.notes.size(); ++i) out << (i ? ", " : "") << json(p.notes[i]);
    out << "],\n  \"steps\": [";
    for (std::size_t i = 0; i < p.steps.size(); ++i) {
        const auto& s = p.steps[i];
        out << (i ? "," : "") << "\n    {\"kind\": " << json(s.kind) << ", \"call\": " << json(s.call) << ", \"ok\": "
            << (s.ok ? "true" : "false") << ", \"error\": " << s.error << ", \"fields\": {";
        for (std::size_t j = 0; j < s.fields.size(); ++j)
            out << (j ? ", " : "") << json(s.fields[j].first) << ": " << json(s.fields[j].second);
        out << "}}";
    }
    out << "\n  ],\n  \"outcome\": " << json(p.outcome) << ",\n  \"messages\": [";
    for (std::size_t i = 0; i < p.messages.size(); ++i) out << (i ? ", " : "") << json(p.messages[i]);
    out << "]\n}\n";
}

}  // namespace drvpkg
