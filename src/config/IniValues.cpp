#include "config/IniValues.h"

#include <climits>

namespace cfg {

int LeadingInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

bool IsNoFile(const std::string& value) { return value.empty() || value[0] == '0'; }

std::string ReadIniString(plat::Platform& p, const std::string& file, const std::string& section,
                          const std::string& key, std::uint32_t size) {
    return p.profile.GetPrivateProfileString(section, key, "0", size, file);
}

int ReadIniNumber(plat::Platform& p, const std::string& file, const std::string& section,
                  const std::string& key, std::uint32_t size) {
    return LeadingInt(ReadIniString(p, file, section, key, size));
}

std::string CutTo(const std::string& text, std::size_t size) {
    if (size == 0) return std::string();
    return text.size() < size ? text : text.substr(0, size - 1);
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace cfg
