// Stopping, starting and awaiting the "Spooler" service. The texts are the program's own
// English, not language texts.
#pragma once
#include <cstdint>

#include "config/MessageBuffer.h"
#include "platform/Platform.h"

namespace cfg {

// A stopping spooler keeps its monitor and processor DLLs open until its process has
// ended, which can take seconds after it leaves the running state. Every stop is awaited
// until the service reports STOPPED, polling every kSpoolerPollMs, for at most
// kSpoolerStopLimitMs; past that the caller goes on (a file still held is then installed
// under its "n" name, or reported).
constexpr std::uint32_t kSpoolerStopLimitMs = 30000;
constexpr std::uint32_t kSpoolerPollMs = 250;

// Sends the stop and waits as above; answers whether the service has stopped.
bool StopSpooler(plat::Platform& p);
// A failed start (other than "already running") leaves its error text in `messages`. A
// start that meets a spooler still stopping waits for the stop to end and starts it then.
void StartSpooler(plat::Platform& p, MessageBuffer& messages);
// Polls up to ten times, 300 ms apart; answers the last state seen (1 when the service
// could not be opened) and leaves "StartSpoolService error" unless it runs.
std::uint32_t WaitSpoolerRunning(plat::Platform& p, MessageBuffer& messages);
// Stop (awaited), two seconds' pause, start (once more when refused), and the wait for it
// to run; answers whether the spooler really restarted (stopped, and runs at the end), so
// that the caller can say so when it did not.
bool RestartSpooler(plat::Platform& p);

}  // namespace cfg
