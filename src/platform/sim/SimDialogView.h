// The tests' name for the in-memory dialog view.
#pragma once
#include "platform/MemoryDialogView.h"

namespace sim {

using SimControl = plat::MemoryControl;
using SimDialogView = plat::MemoryDialogView;

}  // namespace sim
