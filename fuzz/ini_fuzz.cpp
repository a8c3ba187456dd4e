// The profile reader alone: any bytes as an INI file, every section and key it holds looked
// up at the buffer sizes where the quote and cut rules meet, and a value written back.
// No simulated machine: this is the code every package, wording and Uninstall.ini read
// goes through, so it runs at the reader's own speed.
#include <algorithm>
#include <cctype>

#include "FuzzCommon.h"
#include "platform/sim/IniFile.h"

using fuzz::expect;

namespace {

constexpr std::size_t kMaxLookups = 48;
constexpr std::size_t kCutLookups = 6;
constexpr std::size_t kMaxWriteSize = 512;

bool plainName(const std::string& s) {
    if (s.empty() || s.size() > 40) return false;
    for (char c : s)
        if (c == '\r' || c == '\n' || c == '\0' || c == '=' || c == '[' || c == ']' || c == ' ' || c == '\t' ||
            c == '\v' || c == '\f' || c == 0x1a || c == '"' || c == '\'')
            return false;
    return true;
}

// A NUL inside a line ends a name there, which can leave blanks at its end that no lookup
// (trimmed of blanks and end-of-file marks) matches: such a section or key is unreachable, as it should be.
bool endsInBlank(const std::string& name) {
    return !name.empty() && (std::isspace(static_cast<unsigned char>(name.back())) || name.back() == 0x1a);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const sim::IniFile ini = sim::IniFile::parse(bytes);

    std::size_t lookups = 0;
    for (std::size_t si = 0; si < ini.sections().size() && lookups < kMaxLookups; ++si) {
        const sim::IniFile::Section& s = ini.sections()[si];
        if (endsInBlank(s.name)) continue;
        // Lookups take the first section of a name: never one later than this one.
        const sim::IniFile::Section* first = ini.findSection(s.name);
        expect(first && first <= &s, "section lookup missed or took a later one", s.name);
        // The keys of a repeated section are never read.
        if (first != &s) continue;
        for (const sim::IniFile::Key& k : s.keys) {
            if (endsInBlank(k.name)) continue;
            if (++lookups > kMaxLookups) break;
            const sim::IniFile::Key* found = ini.find(s.name, k.name);
            expect(found != nullptr, "key of the file not found", k.name);
            expect(found >= s.keys.data() && found <= &k, "key lookup took another section's or a later one", k.name);
            // The cuts where the quote rule meets the buffer, for the first few keys only:
            // every lookup costs as much as the parse of a short file.
            for (std::uint32_t cut : {0u, 2u, 3u, 0xFFFFu}) {
                if (cut != 0xFFFFu && lookups > kCutLookups) continue;
                const std::string v = sim::IniFile::getString(&ini, s.name, k.name, "dflt  ", cut);
                expect(cut == 0 ? v.empty() : v.size() < cut, "value longer than its buffer", v);
                expect(v.find('\0') == std::string::npos, "NUL inside a value");
                if (cut == 0xFFFFu && found->value && found->value->size() < 0xFFF0u)
                    expect(v.size() + 2 >= found->value->size() && found->value->find(v) != std::string::npos,
                           "a whole value lost more than its quotes", v);
            }
        }
    }
    // An absent key gives the default without its trailing blanks.
    expect(sim::IniFile::getString(&ini, "\x01none", "\x01none", "ab  ", 10) == "ab", "default not trimmed");

    // Writing a plain key back makes it what a later read finds (short files only: the
    // write parses the file twice more). Known limit, left out here: the write rewrites
    // every line trimmed, so a byte-order mark that stood after blanks on the first line
    // comes to open the file and is skipped, and that line becomes a section header.
    const bool laterMark = bytes.find("\xEF\xBB\xBF", 1) != std::string::npos;
    if (ini.sections().size() > 1 && size <= kMaxWriteSize && !laterMark) {
        const sim::IniFile::Section& s = ini.sections()[1];
        const std::string key = s.keys.empty() ? std::string("NEWKEY") : s.keys.front().name;
        if (plainName(s.name) && plainName(key)) {
            const std::string text = sim::IniFile::setValue(bytes, s.name, key, std::string("v1"));
            const sim::IniFile again = sim::IniFile::parse(text);
            expect(sim::IniFile::getString(&again, s.name, key, "", 10) == "v1", "written value not read back", key);
            // Removing a section takes only the first of that name.
            auto sameName = [&](const sim::IniFile::Section& x) {
                return x.name.size() == s.name.size() &&
                       std::equal(x.name.begin(), x.name.end(), s.name.begin(), [](char a, char b) {
                           return std::tolower(static_cast<unsigned char>(a)) ==
                                  std::tolower(static_cast<unsigned char>(b));
                       });
            };
            const auto before = std::count_if(again.sections().begin() + 1, again.sections().end(), sameName);
            const sim::IniFile removed =
                sim::IniFile::parse(sim::IniFile::setValue(text, s.name, std::nullopt, std::nullopt));
            expect(std::count_if(removed.sections().begin() + 1, removed.sections().end(), sameName) == before - 1,
                   "section removal took other than the first", s.name);
        }
    }
    return 0;
}
