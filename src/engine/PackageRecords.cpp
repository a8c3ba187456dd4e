#include "engine/PackageRecords.h"

#include "config/LanguageFile.h"

namespace engine {

std::string RecordFailureText(EngineContext& ctx, const std::string& keyPath, std::uint32_t error) {
    std::string text = ctx.text("IDS_ERR_WRITEREG");
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, "HKEY_LOCAL_MACHINE\\" + keyPath);
    std::string system;
    if (ctx.platform.process.FormatSystemMessage(error, &system)) text += "\n" + system;
    return text;
}

bool OpenRecord(EngineContext& ctx, cfg::RegistryKey& key, const std::string& keyPath, bool create,
                cfg::MessageBuffer& messages) {
    const bool opened = create ? cfg::OpenOrCreate(key, ctx.platform, cfg::Program::Setup, ctx.is64BitWindows,
                                                   plat::kHkeyLocalMachine, keyPath)
                               : key.Open(plat::kHkeyLocalMachine, keyPath);
    if (!opened) messages.set(RecordFailureText(ctx, keyPath, key.lastError()));
    return opened;
}

bool RecordWriteFailed(EngineContext& ctx, const cfg::RegistryKey& key, const std::string& keyPath,
                       cfg::MessageBuffer& messages) {
    messages.set(RecordFailureText(ctx, keyPath, key.lastError()));
    return false;
}

}  // namespace engine
