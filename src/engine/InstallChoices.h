// Turning the user's choices into an InstallRequest: the records of the driver package
// for the model, target, variant and port, the port-kind mark in the printer's name.
#pragma once
#include <string>

#include "config/MessageBuffer.h"
#include "config/OsClass.h"
#include "engine/EngineContext.h"
#include "engine/InstallRequest.h"

namespace engine {

struct InstallChoices {
    int category = -1;
    std::string model;
    cfg::OsClass targetOs = cfg::kOsWin7;
    int variant = cfg::kVariantGdi;
    std::string portName;
    bool setAsDefault = false;
    ComPortSettings serial;
};

// USB, COM, LPT, NET from the port name (tested in that order); -1 for anything else.
int PortKindOf(const std::string& portName);

// Fills the request's records. False with a message when the port kind is unknown or the
// driver's records cannot be built.
bool FillInstallRequest(EngineContext& ctx, InstallRequest& request, const InstallChoices& choices,
                        cfg::MessageBuffer& messages);

}  // namespace engine
