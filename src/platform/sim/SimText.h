// Windows compares file, key, section and service names without regard to ASCII case.
#pragma once
#include <string>

namespace sim {

inline char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lowerAscii(std::string s) {
    for (char& c : s) c = asciiLower(c);
    return s;
}

inline bool equalsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// The answer of a Windows call that copies text into a buffer of `size` bytes.
inline std::string cutToBuffer(const std::string& s, std::uint32_t size) {
    if (size == 0) return std::string();
    return s.size() < size ? s : s.substr(0, size - 1);
}

}  // namespace sim
