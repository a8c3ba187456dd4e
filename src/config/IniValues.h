// The reading rules every configuration reader shares: default "0", values cut to their
// buffer, leading-integer conversion, and "empty or starting with 0" meaning no file.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace cfg {

// Decimal leading-integer conversion: blanks, an optional sign, digits; anything else ends
// the number; no digits gives 0. Saturates instead of overflowing.
int LeadingInt(const std::string& text);

// A file-name value that is empty or begins with '0' names no file.
bool IsNoFile(const std::string& value);

// Names compared as the profile reader and the spooler compare them: ASCII letters without
// regard to case.
bool EqualsNoCase(const std::string& a, const std::string& b);

// One key with the default "0", cut to a buffer of `size` bytes.
std::string ReadIniString(plat::Platform& p, const std::string& file, const std::string& section,
                          const std::string& key, std::uint32_t size);
int ReadIniNumber(plat::Platform& p, const std::string& file, const std::string& section,
                  const std::string& key, std::uint32_t size);

// Bounded copy into a buffer of `size` bytes (what strncpy plus a terminator would keep).
std::string CutTo(const std::string& text, std::size_t size);

}  // namespace cfg
