// The ten-line descriptor that the export info hands the host.
#pragma once

#include "common/text.h"

namespace orvanta {

// Name, version, author, description, the chat prefix from the settings
// file, and the fixed lines the host reads; every line ends in CR LF. Also
// starts the companion program when it is not running.
Text BuildDescriptor();

}  // namespace orvanta
