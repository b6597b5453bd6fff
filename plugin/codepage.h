// Conversions between GBK (the system's text), UTF-8 (the web's) and UTF-16LE,
// each with the size, length and terminator conventions its callers rely on.
// Code page 936 stands wherever a Windows program would use the ANSI code
// page: all text here is GBK whatever the machine's locale.
#pragma once

#include <optional>

#include "common/bytes.h"
#include "common/text.h"

namespace orvanta {

Bytes TextToUtf16Bytes(std::string_view text);  // UTF-16LE + one zero unit; empty: 2 zero bytes
Bytes TextToUtf8Bytes(std::string_view text);   // UTF-8 + one zero byte; empty: 1 zero byte
Text Utf8BytesToText(const Bytes& bytes);       // ends at a zero byte of the input
Text Utf8ToGbk(std::string_view utf8);
Text GbkToUtf8(std::string_view text);

// Steps the routines above are built from.
Bytes Utf8BytesToUtf16Bytes(const Bytes& bytes);  // no terminator
Text Utf16BytesToGbkText(const Bytes& utf16);     // precomposes; ends at a zero unit
Bytes DecodeToUtf16(std::string_view text, std::optional<unsigned> code_page = std::nullopt);
Text EncodeFromUtf16(const Bytes& utf16, std::optional<unsigned> code_page = std::nullopt);

}  // namespace orvanta
