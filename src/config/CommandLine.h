// The command lines of both programs. Switches begin with "/" or "-", their names are
// matched without regard to case, values follow "=" and may be quoted.
//
//   setup.exe      [/record=FILE] [/log=FILE] [/norestart]
//   setup.exe      /quiet /answers=FILE [/log=FILE] [/norestart]
//   uninstall.exe  [/log=FILE] [/norestart]
//   uninstall.exe  /quiet (/all | /item=NAME [/item=NAME ...]) [/usb] [/log=FILE] [/norestart]
#pragma once
#include <string>
#include <vector>

#include "config/Program.h"

namespace cfg {

struct CommandLine {
    bool quiet = false;
    bool noRestart = false;
    std::string log;      // empty: the default log file
    std::string answers;  // setup
    std::string record;   // setup
    bool all = false;     // uninstall
    bool usb = false;     // uninstall
    std::vector<std::string> items;  // uninstall, in the order given
    std::string error;    // why the command line is refused; empty when it is taken
};

// The arguments of a whole command line as Windows splits them (CommandLineToArgvW's
// rules for quotes and backslashes); the first is the program.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// The whole command line as GetCommandLineA gives it, program first.
CommandLine ParseCommandLine(Program program, const std::string& commandLine);

}  // namespace cfg
