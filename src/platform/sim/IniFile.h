// Reading an INI file the way the Windows profile calls do: sections and keys matched
// without regard to case, blanks trimmed, the first of repeated sections and keys wins,
// one pair of matching quotes removed from a value.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

class IniFile {
public:
    static IniFile parse(const std::string& bytes);

    // Same answer as GetPrivateProfileStringA with a buffer of `size` bytes.
    static std::string getString(const IniFile* file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue,
                                 std::uint32_t size);

    // Whether the first section of that name holds any key.
    bool sectionHasKeys(const std::string& section) const;

    // The text of an INI file after WritePrivateProfileString(section, key, value): a null
    // key removes the section, a null value the key.
    static std::string setValue(const std::string& text, const std::string& section,
                                const std::optional<std::string>& key, const std::optional<std::string>& value);

    // Lines count as an editor shows them (1-based), for tools that point at the source.
    struct Key {
        std::string name;
        std::optional<std::string> value;  // a line without '=' has no value
        int line = 0;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
        int line = 0;
        // Each key name in lower case to its first key: a file is parsed once and then
        // asked for many keys.
        std::unordered_map<std::string, std::size_t> keyIndex;
    };
    // Every section in file order, repeated ones included; the first holds the keys
    // before any header. Lookups take the first section and key of a name.
    const std::vector<Section>& sections() const { return sections_; }
    const Section* findSection(const std::string& section) const;
    const Key* find(const std::string& section, const std::string& key) const;

private:

    std::vector<Section> sections_;  // the first one holds the keys before any header
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-case name to its first section
};

}  // namespace sim
