#include "setup/SetupState.h"

#include "config/IniValues.h"
#include "config/ModelConfig.h"
#include "config/PackageFiles.h"

namespace setup {

void SetupState::chooseModel(int category, const std::string& model) {
    modelFile = cfg::ProgramFolder(platform) + cfg::ModelFileName(category, is64BitWindows, true);
    portSection = cfg::ModelConfig::PortSectionName(model);
}

int SetupState::portKey(const char* key) const { return cfg::ReadIniNumber(platform, modelFile, portSection, key, 200); }

}  // namespace setup
