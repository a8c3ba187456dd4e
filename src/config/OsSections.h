// Which section of a package file holds a Windows class's settings. The classes added for
// Windows 8 and later have sections of their own only in packages written for them; an
// older package keeps working because a missing ".Win10" section is read as ".Win7" (and
// ".2012" as ".2008"). The choice is made per section, never per key: a ".Win10" section
// that exists is read alone, even when it lacks keys that ".Win7" has.
#pragma once
#include <string>

#include "config/OsClass.h"
#include "platform/Platform.h"

namespace cfg {

enum class SuffixTable { Setup, Uninstall };

struct OsSection {
    std::string name;
    bool fellBack = false;  // the fallback class's section stands in
};

// `base` plus the class's suffix, cut to `size` bytes, or the fallback's when that section
// has no keys in `file` (which the run's log then says).
OsSection ChooseOsSection(plat::Platform& p, const std::string& file, const std::string& base, OsClass os,
                          std::size_t size, SuffixTable table = SuffixTable::Setup);

// A key of a model's port section that says whether a class is supported ("1"); for the
// newer classes their own key ("SystemWin10Supported", "System2012Supported") when it has a
// value, else the fallback class's key. Null for the classes that have no key.
const char* SupportKeyName(OsClass os);
// The key that decides `os` for that port section: the class's own, or its fallback's.
const char* SupportKeyInUse(plat::Platform& p, const std::string& file, const std::string& portSection, OsClass os);
int ReadSupportKey(plat::Platform& p, const std::string& file, const std::string& portSection, OsClass os);

}  // namespace cfg
