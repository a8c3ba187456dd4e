// Setup's start-up checks on a fresh simulated machine per input: the package file, a model
// file and the wording (an option byte, then the three separated by "\n@@@\n", as
// package_fuzz reads them) decide whether the wizard shows or which refusal the user
// reads. Slower than the readers' targets, since each input builds a whole machine and
// start-up changes it.
#include "FuzzCommon.h"
#include "KeptMachine.h"
#include "config/LanguageFile.h"
#include "config/PackageConfig.h"
#include "config/PackageFiles.h"
#include "platform/sim/SimMachine.h"
#include "setup/SetupStartup.h"

using fuzz::expect;

namespace {

const std::string kFolder = fuzz::kPackageFolder;
// Setup walks every entry up to DEVICENUMBER; a larger count only repeats the same reads.
constexpr int kMaxEntries = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::vector<std::string> parts = fuzz::SplitParts(data + 1, size - 1, 3);

    sim::SimMachine m;
    m.setWindows(fuzz::kWindows[(options >> 1) % fuzz::kWindowsCount], (options & 1) != 0);
    m.process.imagePath = kFolder + "\\setup.exe";
    m.process.currentDir = kFolder;
    m.files.writeFile(kFolder + "\\" + cfg::kPackageFile, parts[0]);
    if (parts.size() > 1)
        for (int category = 0; category < 4; ++category)
            for (bool wide : {false, true})
                m.files.writeFile(kFolder + "\\" + cfg::ModelFileName(category, wide), parts[1]);
    if (parts.size() > 2) m.files.writeFile(kFolder + "\\language\\setup.ini", parts[2]);

    plat::Platform& p = m.platform();
    if (cfg::PackageConfig(p).deviceCount() > kMaxEntries) return 0;
    const setup::StartupDecision d = setup::RunSetupStartup(p);
    const auto& boxes = m.windows.messageBoxes();
    switch (d.outcome) {
        case setup::StartupDecision::ShowWizard:
            expect(boxes.empty(), "wizard shown after a message");
            expect(d.showAgreement == 0 || d.showAgreement == 1, "agreement flag");
            expect(d.useChineseFont == 0 || d.useChineseFont == 1, "font flag");
            break;
        case setup::StartupDecision::Refused: {
            expect(boxes.size() == 1, "refusal without exactly one message");
            const std::string text = cfg::LanguageFile(p, cfg::Program::Setup, d.refusalSection).GetText(d.refusalKey);
            expect(boxes.back().text == text, "refusal shows another text", d.refusalSection + "/" + d.refusalKey);
            break;
        }
        case setup::StartupDecision::AlreadyRunning:
            fuzz::broken("first instance reported as already running", std::string());
    }
    return 0;
}
