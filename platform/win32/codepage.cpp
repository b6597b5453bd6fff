// The conversion contracts are those of the Windows calls themselves.
#include "platform/codepage.h"

#include <windows.h>

namespace orvanta::platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units are wchar_t on Windows");

int MultiByteToWide(unsigned code_page, const char* src, int src_len, char16_t* dst, int dst_len) {
  return MultiByteToWideChar(code_page, 0, src, src_len, reinterpret_cast<wchar_t*>(dst),
                             dst ? dst_len : 0);
}

int WideToMultiByte(unsigned code_page, bool composite_check, const char16_t* src, int src_len,
                    char* dst, int dst_len) {
  // CP_UTF8 rejects every flag but WC_ERR_INVALID_CHARS, and has nothing to
  // precompose for anyway.
  DWORD flags = composite_check && code_page != CP_UTF8 ? WC_COMPOSITECHECK : 0;
  return WideCharToMultiByte(code_page, flags, reinterpret_cast<const wchar_t*>(src), src_len, dst,
                             dst ? dst_len : 0, nullptr, nullptr);
}

// The ANSI file calls take GBK names as they are.
std::string GbkToSystemPath(std::string_view gbk) { return std::string(gbk); }
std::string SystemPathToGbk(std::string_view path) { return std::string(path); }

}  // namespace orvanta::platform
