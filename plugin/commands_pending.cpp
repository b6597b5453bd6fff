// Placeholder replies until the reply branches land: each gives no reply.
// Delete this file when they do.
#include "plugin/commands.h"

namespace orvanta {

Text ChatServiceReply(const Text&) { return {}; }
Text SongSearchSiteA(const Text&) { return {}; }
Text SongSearchSiteB(const Text&) { return {}; }
Text EncyclopediaReply(const Text&) { return {}; }
Text ShortenAddress(const Text&) { return {}; }
Text ShortAddressReply(const Text&) { return {}; }
Text LookUpNickname(const Text&) { return {}; }

}  // namespace orvanta
