// Keeping the companion settings program running beside the host.
#pragma once

#include "common/text.h"

namespace orvanta {

// Whether a running process's executable file is named name, letter case
// aside (the directory is not looked at).
bool IsProcessRunning(const Text& name);
// Starts the companion program from the run directory when no process of its
// name runs. Failures are not reported; the next call tries again.
void EnsureCompanionRunning();

}  // namespace orvanta
