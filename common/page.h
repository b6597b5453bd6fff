// The plain page read: one HTTP/1.0 GET whose body is returned whatever the
// status. Used by the link shortener, the nickname look-up and the companion.
#pragma once

#include "common/bytes.h"
#include "common/text.h"

namespace orvanta {

// Empty address, an address that cannot be split, or any failure before the
// body: empty Bytes. The fragment after the first '#' is never sent.
Bytes ReadPage(std::string_view address);

}  // namespace orvanta
