// Byte buffers: request and response bodies, UTF-8 and UTF-16 data. Unlike a
// Text they may hold zero bytes. Positions are 1-based; -1 means "not found".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

#include "common/text.h"

namespace orvanta {

using Bytes = std::vector<std::uint8_t>;

Bytes TextToBytes(std::string_view text);  // no terminator, no conversion
Text BytesToText(const Bytes& bytes);      // up to the first zero byte
int BytesLength(const Bytes& bytes);
Bytes BytesLeft(const Bytes& bytes, int n);  // n < 0: empty
// Empty sub, or start beyond the end: -1.
int FindBytes(const Bytes& bytes, const Bytes& sub, std::optional<int> start = std::nullopt);
Bytes BlankBytes(int n);  // n zero bytes; n <= 0: empty
Bytes ConcatBytes(std::initializer_list<const Bytes*> parts);
bool BytesEqual(const Bytes& a, const Bytes& b);
std::int32_t BitOr(std::initializer_list<std::int32_t> values);

}  // namespace orvanta
