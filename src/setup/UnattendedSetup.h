// An installation without a person: the wizard's own frame and pages, built as start-up
// builds them, are given the answer file's choices where the user would click, and every
// check the wizard makes decides as it would. An answer the pages do not offer is refused
// with its line, not guessed at.
#pragma once
#include <string>

#include "config/RunWindows.h"
#include "setup/AnswerFile.h"
#include "setup/SetupProgram.h"

namespace setup {

// Opens the wizard in `window`, goes through its pages with the answers and presses
// Install. Answers the exit code; `outcome` receives the reason in words.
int RunUnattendedInstall(SetupWizardParts& wizard, HeadlessWizardWindow& window, const Answers& answers,
                         const cfg::RunWindows& windows, std::string* outcome);

}  // namespace setup
