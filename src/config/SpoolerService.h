// Stopping, starting and awaiting the "Spooler" service. The texts are the program's own
// English, not language texts.
#pragma once
#include <cstdint>

#include "config/MessageBuffer.h"
#include "platform/Platform.h"

namespace cfg {

void StopSpooler(plat::Platform& p);
// A failed start (other than "already running") leaves its error text in `messages`.
void StartSpooler(plat::Platform& p, MessageBuffer& messages);
// Polls up to ten times, 300 ms apart; answers the last state seen (1 when the service
// could not be opened) and leaves "StartSpoolService error" unless it runs.
std::uint32_t WaitSpoolerRunning(plat::Platform& p, MessageBuffer& messages);
// Stop, two seconds' pause, start; nothing reported.
void RestartSpooler(plat::Platform& p);

}  // namespace cfg
