// The registry records the installation leaves for the package's monitors and for itself.
// A record that cannot be written is a failed installation with its reason: a USB port
// without its record, or a monitor without its version, does not work or is replaced
// again at every installation.
#pragma once
#include <string>

#include "config/MessageBuffer.h"
#include "config/RegistryKey.h"
#include "engine/EngineContext.h"

namespace engine {

// IDS_ERR_WRITEREG with the key, then the system's text for `error`.
std::string RecordFailureText(EngineContext& ctx, const std::string& keyPath, std::uint32_t error);

// Opens `keyPath` under HKEY_LOCAL_MACHINE (creating it when `create`) in setup's view; false
// with the failure text in `messages` when it cannot be had.
bool OpenRecord(EngineContext& ctx, cfg::RegistryKey& key, const std::string& keyPath, bool create,
                cfg::MessageBuffer& messages);

// The last write on `key` failed: its text into `messages`; answers false for the caller.
bool RecordWriteFailed(EngineContext& ctx, const cfg::RegistryKey& key, const std::string& keyPath,
                       cfg::MessageBuffer& messages);

}  // namespace engine
