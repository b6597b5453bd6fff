// The reply handler behind the export Velquor.
#pragma once

#include "common/text.h"

namespace orvanta {

// Companion check, per-source chat switch for type "2", command words in
// their order, else the chat-answer service. The arguments are the export's
// own copies; a branch may replace the message.
Text HandleMessage(Text& message, Text& message_type, Text& source, Text& extra1, Text& extra2);

}  // namespace orvanta
