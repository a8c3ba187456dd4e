#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

TEST(SimMachine, Compiles) { sim::SimMachine m; }
