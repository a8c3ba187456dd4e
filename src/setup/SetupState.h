// What lives as long as the setup process and several dialogs share: the platform, the
// processor width, the engine's context, the chosen model's files and a few switches the
// frame and the pages hand each other.
#pragma once
#include <string>

#include "engine/EngineContext.h"
#include "platform/Platform.h"

namespace setup {

class OsPage;

struct SetupState {
    SetupState(plat::Platform& p, bool is64) : platform(p), is64BitWindows(is64), engine(p, is64) {}

    plat::Platform& platform;
    bool is64BitWindows;
    engine::EngineContext engine;

    // The chosen model's model file (full path) and port section ("<model>.PORT").
    std::string modelFile;
    std::string portSection;
    // Sets both for a category and model, as the frame and the install command each do
    // when the model is handed on.
    void chooseModel(int category, const std::string& model);
    // A key of the chosen model's port section as a number (0 when absent).
    int portKey(const char* key) const;
    // 1 until the model's BaudRate has been put on the port page; again 1 after the user
    // went back before the install-mode page.
    int rebaseBaudRate = 1;
    // The install mode of the last port list building (1 typical).
    int lastBuildInstallMode = 1;
    // GDISTDSign of the package, read by the frame when it opens.
    int gdiStdSign = 0;
    // The operating-system page, once it exists: the port page reads its choice.
    const OsPage* osPage = nullptr;
};

}  // namespace setup
