// The body read shared by the page read and the full requests.
#pragma once

#include "common/bytes.h"
#include "platform/internet.h"

namespace orvanta {

// A body stops growing here: no answer may exhaust the host's memory.
inline constexpr std::size_t kBodyLimit = std::size_t{16} << 20;

// Reads 1024-byte blocks until the platform reports the end (a failure and
// the time limit end it too) or kBodyLimit bytes are in. Linear: the buffer
// grows geometrically, never by copying the whole body for each block.
Bytes ReadWholeBody(platform::InternetRequest* request);

}  // namespace orvanta
