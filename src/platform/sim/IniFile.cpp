#include "platform/sim/IniFile.h"

#include "platform/sim/SimText.h"

namespace sim {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1a;
}

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Narrows [b, e) of `s` to its text without the blanks around it.
void trimRange(const std::string& s, std::size_t& b, std::size_t& e) {
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
}

// [b, e) of `s` trimmed, then cut at a NUL byte (a text stops there, as the C string it
// becomes): a name or value as the reader keeps it, made in one copy.
std::string piece(const std::string& s, std::size_t b, std::size_t e) {
    trimRange(s, b, e);
    std::size_t nul = b;
    while (nul < e && s[nul] != '\0') ++nul;
    return s.substr(b, nul - b);
}

// Copies a value into a buffer of `size` bytes; a value in matching quotes loses them,
// unless the buffer cuts it before the closing quote.
std::string copyEntry(const std::string& raw, std::uint32_t size) {
    std::string value = raw;
    bool quoted = false;
    if (!value.empty() && (value[0] == '\'' || value[0] == '"') && value.size() > 1 &&
        value.back() == value[0]) {
        quoted = true;
        value.erase(0, 1);
    }
    std::string out = cutToBuffer(value, size);
    if (quoted && size >= value.size() && !out.empty()) out.pop_back();
    return out;
}

}  // namespace

IniFile IniFile::parse(const std::string& input) {
    IniFile ini;
    ini.sections_.push_back(Section{});
    // A UTF-8 byte-order mark is skipped, as the profile reader of the reference
    // implementation we test against does.
    std::size_t pos = input.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const std::size_t end = input.size();
    int lineNumber = 1;
    while (pos < end) {
        // Carriage returns and line feeds both end a line, alone or in any run.
        std::size_t lineStart = pos;
        while (pos < end && input[pos] != '\n' && input[pos] != '\r') ++pos;
        std::size_t b = lineStart, e = pos;
        trimRange(input, b, e);
        const int thisLine = lineNumber;
        for (; pos < end && (input[pos] == '\n' || input[pos] == '\r'); ++pos)
            if (input[pos] == '\n' || pos + 1 == end || input[pos + 1] != '\n') ++lineNumber;
        if (b == e) continue;

        if (input[b] == '[') {
            std::size_t close = e - 1;
            while (close > b && input[close] != ']') --close;
            if (close > b) {
                ini.sections_.push_back(Section{piece(input, b + 1, close), {}, thisLine, {}});
                continue;
            }
        }
        Key key;
        key.line = thisLine;
        std::size_t eq = b;
        while (eq < e && input[eq] != '=') ++eq;
        if (eq == e) {
            key.name = piece(input, b, e);
        } else {
            key.name = piece(input, b, eq);
            key.value = piece(input, eq + 1, e);
        }
        ini.sections_.back().keys.push_back(std::move(key));
    }
    for (std::size_t i = 0; i < ini.sections_.size(); ++i) {
        Section& section = ini.sections_[i];
        ini.sectionIndex_.emplace(lowerAscii(section.name), i);
        for (std::size_t k = 0; k < section.keys.size(); ++k)
            section.keyIndex.emplace(lowerAscii(section.keys[k].name), k);
    }
    return ini;
}

std::string IniFile::setValue(const std::string& text, const std::string& section,
                              const std::optional<std::string>& key, const std::optional<std::string>& value) {
    IniFile ini = parse(text);
    Section* target = nullptr;
    for (auto& s : ini.sections_)
        if (&s != &ini.sections_[0] && equalsNoCase(s.name, trim(section))) {
            target = &s;
            break;
        }
    if (!key) {
        if (target) ini.sections_.erase(ini.sections_.begin() + (target - ini.sections_.data()));
    } else {
        if (!target) {
            if (!value) return text;
            ini.sections_.push_back(Section{trim(section), {}, 0, {}});
            target = &ini.sections_.back();
        }
        auto& keys = target->keys;
        auto it = keys.begin();
        for (; it != keys.end(); ++it)
            if (equalsNoCase(it->name, trim(*key))) break;
        if (!value) {
            if (it != keys.end()) keys.erase(it);
        } else if (it != keys.end()) {
            it->value = *value;
        } else {
            keys.push_back(Key{trim(*key), *value});
        }
    }
    std::string out;
    for (std::size_t i = 0; i < ini.sections_.size(); ++i) {
        const auto& s = ini.sections_[i];
        if (i > 0) out += "[" + s.name + "]\r\n";
        for (const auto& k : s.keys) out += k.value ? k.name + "=" + *k.value + "\r\n" : k.name + "\r\n";
    }
    return out;
}

const IniFile::Section* IniFile::findSection(const std::string& section) const {
    const auto at = sectionIndex_.find(lowerAscii(trim(section)));
    return at == sectionIndex_.end() ? nullptr : &sections_[at->second];
}

const IniFile::Key* IniFile::find(const std::string& section, const std::string& key) const {
    // Only the first section of that name is searched.
    const Section* s = findSection(section);
    if (!s) return nullptr;
    const auto at = s->keyIndex.find(lowerAscii(trim(key)));
    return at == s->keyIndex.end() ? nullptr : &s->keys[at->second];
}

bool IniFile::sectionHasKeys(const std::string& section) const {
    const std::string want = trim(section);
    for (std::size_t i = 1; i < sections_.size(); ++i)
        if (equalsNoCase(sections_[i].name, want)) return !sections_[i].keys.empty();
    return false;
}

std::string IniFile::getString(const IniFile* file, const std::string& section, const std::string& key,
                               const std::string& defaultValue, std::uint32_t size) {
    if (size == 0) return std::string();
    // Trailing blanks of the default are dropped, but never its first character.
    std::string def = defaultValue;
    while (def.size() > 1 && def.back() == ' ') def.pop_back();
    const Key* k = file ? file->find(section, key) : nullptr;
    return copyEntry(k && k->value ? *k->value : def, size);
}

}  // namespace sim
