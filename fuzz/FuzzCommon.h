// What every fuzz target shares: the promise checks that stop a run, the input split into
// files, and the sanitizer settings that keep an execution cheap.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Stack traces of every allocation, filling each new block and a quarantine of 256 MB cost
// more than the readers themselves; a finding is re-run with full traces by hand
// (ASAN_OPTIONS overrides these). Each target is one translation unit, so this is defined
// once per program.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=0:max_malloc_fill_size=0:quarantine_size_mb=16:detect_leaks=1";
}

namespace fuzz {

[[noreturn]] inline void broken(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz: %s [%.160s]\n", what, detail.c_str());
    std::abort();
}

inline void expect(bool ok, const char* what, const std::string& detail = std::string()) {
    if (!ok) broken(what, detail);
}

// A text read through a buffer of `size` bytes: at most size-1 bytes, no NUL inside.
inline void expectRead(const std::string& text, std::size_t size, const char* what) {
    expect(text.size() < size, what, text);
    expect(text.find('\0') == std::string::npos, "NUL inside a text read", what);
}

// Up to `most` parts separated by "\n@@@\n"; the last part takes the rest.
inline std::vector<std::string> SplitParts(const std::uint8_t* data, std::size_t size, std::size_t most) {
    static const std::string kSeparator = "\n@@@\n";
    std::vector<std::string> parts;
    const std::string all(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (parts.size() + 1 < most) {
        const std::size_t at = all.find(kSeparator, start);
        if (at == std::string::npos) break;
        parts.push_back(all.substr(start, at - start));
        start = at + kSeparator.size();
    }
    parts.push_back(all.substr(start));
    return parts;
}

}  // namespace fuzz
