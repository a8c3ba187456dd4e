// The answer file of an unattended installation: an INI file whose one section [Install]
// holds the wizard's choices, as /record writes them and /quiet reads them.
//
//   Model     the model as the printer-type page lists it             (required)
//   Mode      Typical | Advanced                                      (Typical)
//   Port      the port as the port page lists it                      (required)
//   IP        dotted address, for NET:
//   BaudRate, Parity (N/E/O/M/S), ByteSize, StopBits (1, 1.5, 2),
//   Protocol (None, Xon/Xoff, Hardware)                              for serial ports
//   Raster    0 | 1
//   Default   0 | 1        the printer becomes the default one        (0)
//   Accept    0 | 1        must be 1 when the package shows an agreement
//
// Keys and values are matched without regard to case. An absent optional key leaves the
// wizard's own choice.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace setup {

struct InstallOutcome;

struct AnswerValue {
    bool given = false;
    std::string text;  // as written, blanks around it removed; Protocol in its canonical spelling
    int line = 0;      // 1-based line in the file
};

struct Answers {
    AnswerValue model, mode, port, ip, baudRate, parity, byteSize, stopBits, protocol, raster, setAsDefault, accept;
};

struct AnswerFileResult {
    Answers answers;
    std::string error;  // "line N: ..." or what is missing; empty when the file is taken
};

// Reads the file's bytes. Refused: a key or section not listed above, a line that is no
// key, a key given twice, a value outside its key's form, a missing Model or Port.
AnswerFileResult ParseAnswerFile(const std::string& bytes);

// The answer file of the choices an installation took (CR LF lines): the keys that the
// pages offered for them, so that the file replays to the same installation.
std::string FormatAnswerFile(const InstallOutcome& outcome);

// The same choices on one line, for the log.
std::string DescribeChoices(const InstallOutcome& outcome);

// "a.b.c.d" with four numbers 0 to 255 into the IP control's value (first number in the
// highest byte); false for anything else.
bool ParseIpAddress(const std::string& text, std::uint32_t* address);

}  // namespace setup
