// The language files of every language folder: the keys the programs read, the encoding
// of the Chinese ones and the "%" sequences a text would show.
#include "config/BuiltInWording.h"
#include "config/IniValues.h"
#include "config/LanguageFile.h"
#include "config/PackageConfig.h"
#include "tools/drvpkg/Checks.h"

namespace drvpkg {

namespace {

// The offset of the first byte that is not GBK (code page 936), or npos.
std::size_t firstNonGbk(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) continue;
        if (lead == 0x80 || lead == 0xFF || i + 1 == bytes.size()) return i;
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) return i;
        ++i;
    }
    return std::string::npos;
}

int lineAt(const std::string& bytes, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        if (bytes[i] == '\n') ++line;
    return line;
}

// Where a "%" would be shown as it stands: everywhere except the first "%s" of a text
// the program fills in (the ones whose built-in English holds one).
std::size_t strayPercent(const std::string& text, bool filled) {
    const std::size_t replaced = filled ? text.find("%s") : std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i == replaced) {
            ++i;
            continue;
        }
        return i;
    }
    return std::string::npos;
}

void checkFile(CheckContext& ctx, const std::string& folder, cfg::Program program, bool chinese, bool inUse) {
    const std::string file = folder + (program == cfg::Program::Setup ? "\\setup.ini" : "\\uninstall.ini");
    const std::string shown = PackageFolder::shown(file);
    const sim::IniFile* ini = ctx.package.ini(file);
    if (!ini) {
        if (inUse) ctx.out.error(shown, 0, "missing: every text falls back to the programs' built-in English");
        else ctx.out.warning(shown, 0, "missing from this language folder");
        return;
    }
    const std::string& bytes = *ctx.package.bytes(file);
    if (chinese) {
        const std::size_t bad = firstNonGbk(bytes);
        if (bad != std::string::npos)
            ctx.out.error(shown, lineAt(bytes, bad), "not valid GBK (code page 936) at byte " + std::to_string(bad) +
                                                         ": Chinese Windows shows this text garbled");
    }
    ctx.checkRepeats(file);

    std::vector<cfg::BuiltInEntry> used;
    for (const auto& e : cfg::BuiltInEntries())
        if (e.program == program) used.push_back(e);
    for (const auto& e : used) {
        const auto* key = ini->find(e.section, e.key);
        const std::string text = PackageFolder::value(ini, e.section, e.key, "");
        if (!key || text.empty()) {
            ctx.out.warning(shown, PackageFolder::line(ini, e.section, e.key),
                            "[" + e.section + "] " + e.key + (key ? " is empty" : " is missing") +
                                ": the programs show their built-in English instead");
            continue;
        }
        const bool filled = std::string(cfg::BuiltInText(program, e.section, e.key)).find("%s") != std::string::npos;
        const std::size_t at = strayPercent(text, filled);
        if (at != std::string::npos)
            ctx.out.warning(shown, key->line, "[" + e.section + "] " + e.key + " shows \"" + text.substr(at, 2) +
                                                  "\" as it stands: only " +
                                                  (filled ? "its first \"%s\" is filled in" : "no \"%\" is filled in"));
    }
    for (const auto& section : ini->sections()) {
        std::vector<KeySpec> known;
        for (const auto& e : used)
            if (cfg::EqualsNoCase(e.section, section.name)) known.push_back({e.key, cfg::kTextBufferSize});
        if (known.empty() && (!section.name.empty() || !section.keys.empty())) {
            ctx.out.warning(shown, section.line, "no program reads section [" + section.name + "]");
            continue;
        }
        ctx.checkKeys(file, section, known);
    }
}

}  // namespace

void CheckLanguageFiles(CheckContext& ctx) {
    cfg::PackageConfig config(ctx.package.platform());
    for (const std::string& folder : ctx.package.list("")) {
        if (!StartsWithNoCase(folder, "language") || !ctx.package.isFolder(folder)) continue;
        const bool inUse = cfg::EqualsNoCase(folder, "language");
        // The folder the programs read is Chinese when LANGUAGE=0; the others by their name.
        const bool chinese = inUse ? config.language() == 0 : folder.find("zh") != std::string::npos;
        for (cfg::Program program : {cfg::Program::Setup, cfg::Program::Uninstall})
            checkFile(ctx, folder, program, chinese, inUse);
    }
    if (!ctx.package.isFolder("language")) ctx.out.error("language", 0, "folder missing: every text falls back to the programs' built-in English");
}

}  // namespace drvpkg
