// The whole installation of one printer from an InstallRequest, on the worker thread:
// components, driver files, driver, printer, default printer, serial settings.
#pragma once
#include "engine/EngineContext.h"
#include "engine/InstallRequest.h"

namespace engine {

// Always ends by writing the completion state (kFailed or kSucceeded) as its last act;
// a failure leaves its text in the job's MessageBuffer.
int InstallWorker(EngineContext& ctx, InstallJob& job);

}  // namespace engine
