// The frame's forward button: Next before the last page, Install on it.
#pragma once

namespace setup {

class SetupWizardDialog;

// Before the last page: the next page, and on arriving at the last one the port list.
// On the last page: validates, deals with the USB driver and printer identifier and the
// network port, runs the install worker under the progress window, reports and closes.
void OnForward(SetupWizardDialog& wizard);

}  // namespace setup
