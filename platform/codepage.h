// Code-page conversion primitives with the contracts of the Windows calls
// MultiByteToWideChar / WideCharToMultiByte. The Windows build calls those;
// the POSIX build implements the same contracts over iconv.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::platform {

inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kCodePageUtf8 = 65001;

// src_len -1 reads up to and including the terminating zero (and counts it);
// an explicit length reads exactly that many bytes, and 0 fails. With dst null
// or dst_len 0 it returns the number of UTF-16 units needed. Returns the units
// written, or 0 on failure (too small a buffer included). As the flag-less
// Windows call does, malformed UTF-8 becomes U+FFFD and a GBK lead byte that
// makes no character with the byte after it (or stands at the end) '?'.
int MultiByteToWide(unsigned code_page, const char* src, int src_len, char16_t* dst, int dst_len);

// The reverse: UTF-16 units to bytes of code_page, with the same length and
// size conventions. Characters without a form in code_page become '?'. With
// composite_check, a base letter followed by a combining mark becomes the
// precomposed letter where code_page has it (WC_COMPOSITECHECK); UTF-8 has
// no such step and ignores it.
int WideToMultiByte(unsigned code_page, bool composite_check, const char16_t* src, int src_len,
                    char* dst, int dst_len);

// File names are GBK inside the system; these turn them into what the file
// system takes (UTF-8 on POSIX; unchanged on Windows, where the ANSI calls
// take them) and back.
std::string GbkToSystemPath(std::string_view gbk);
std::string SystemPathToGbk(std::string_view path);

}  // namespace orvanta::platform
