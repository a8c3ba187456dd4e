// The programs' own English for every language key, shown when a package's language file
// lacks a key (an older package, a hand-edited file): a message box must never be empty or
// show a key's name.
#pragma once
#include <string>
#include <vector>

#include "config/Program.h"

namespace cfg {

// The built-in text with its line-break markers, or null for a key the programs never read.
const char* BuiltInText(Program program, const std::string& section, const std::string& key);

struct BuiltInEntry {
    Program program;
    std::string section, key;
};
std::vector<BuiltInEntry> BuiltInEntries();

}  // namespace cfg
