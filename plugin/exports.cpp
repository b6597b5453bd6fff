// The eight exports: each copies the caller's texts (null reads as empty),
// runs its work routine, and keeps the result in its own slot until its next
// call or the unload. Nothing thrown inside crosses an export.
#include <array>
#include <utility>

#include "common/text.h"
#include "export_abi.h"
#include "plugin/commands.h"
#include "plugin/descriptor.h"
#include "plugin/extract.h"
#include "plugin/handler.h"
#include "plugin/utility.h"

namespace {

using orvanta::Text;

enum Slot {
  kInfo,
  kNickname,
  kStringField,
  kTextBetween,
  kNumberField,
  kNoSpaces,
  kDate,
  kVelquor,
  kSlotCount
};

// Static storage: empty at load (no allocation), freed by the library's own
// clean-up at unload.
std::array<Text, kSlotCount> g_results;

Text Copy(const char* text) { return text ? Text(text) : Text(); }

// The arguments are copied (inside work) before the slot's previous result
// is freed, so a caller may hand an export its own last result.
template <typename Work>
const char* Run(Slot slot, Work&& work) noexcept {
  Text& result = g_results[slot];
  try {
    Text next = std::forward<Work>(work)();
    result = std::move(next);
  } catch (...) {
    result.clear();  // an allocation failure, say: the empty result
  }
  return result.c_str();
}

}  // namespace

ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaInfo() ORVANTA_EXPORT_NAME("info");
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaNickname(const char* number)
    ORVANTA_EXPORT_NAME("\xbb\xf1\xc8\xa1\xea\xc7\xb3\xc6");  // 获取昵称
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaStringField(const char* json, const char* key)
    ORVANTA_EXPORT_NAME(
        "\xc8\xa1\xce\xc4\xb1\xbe\xcc\xd8\xb6\xa8\xb2\xce\xca\xfd");  // 取文本特定参数
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaTextBetween(const char* text, const char* left,
                                                           const char* right)
    ORVANTA_EXPORT_NAME("\xc8\xa1\xce\xc4\xb1\xbe\xd6\xae\xbc\xe4");  // 取文本之间
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaNumberField(const char* json, const char* key)
    ORVANTA_EXPORT_NAME(
        "\xc8\xa1\xd5\xfb\xd0\xce\xcc\xd8\xb6\xa8\xb2\xce\xca\xfd");  // 取整形特定参数
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaNoSpaces(const char* text)
    ORVANTA_EXPORT_NAME("\xc8\xa5\xbf\xd5\xb8\xf1\xbb\xbb\xd0\xd0");  // 去空格换行
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaDate()
    ORVANTA_EXPORT_NAME("\xca\xb1\xbc\xe4\xb8\xf1\xca\xbd\xbb\xaf");  // 时间格式化
ORVANTA_EXPORT const char* ORVANTA_CALL OrvantaVelquor(const char* message, const char* type,
                                                       const char* source, const char* extra1,
                                                       const char* extra2)
    ORVANTA_EXPORT_NAME("Velquor");

const char* ORVANTA_CALL OrvantaInfo() {
  return Run(kInfo, [] { return orvanta::BuildDescriptor(); });
}

const char* ORVANTA_CALL OrvantaNickname(const char* number) {
  return Run(kNickname, [&] { return orvanta::LookUpNickname(Copy(number)); });
}

const char* ORVANTA_CALL OrvantaStringField(const char* json, const char* key) {
  return Run(kStringField, [&] { return orvanta::StringField(Copy(json), Copy(key)); });
}

const char* ORVANTA_CALL OrvantaTextBetween(const char* text, const char* left, const char* right) {
  return Run(kTextBetween,
             [&] { return orvanta::TextBetween(Copy(text), Copy(left), Copy(right)); });
}

const char* ORVANTA_CALL OrvantaNumberField(const char* json, const char* key) {
  return Run(kNumberField, [&] { return orvanta::NumberField(Copy(json), Copy(key)); });
}

const char* ORVANTA_CALL OrvantaNoSpaces(const char* text) {
  return Run(kNoSpaces, [&] { return orvanta::RemoveSpacesAndLineBreaks(Copy(text)); });
}

const char* ORVANTA_CALL OrvantaDate() {
  return Run(kDate, [] { return orvanta::TodaySlashDate(); });
}

const char* ORVANTA_CALL OrvantaVelquor(const char* message, const char* type, const char* source,
                                        const char* extra1, const char* extra2) {
  return Run(kVelquor, [&] {
    Text m = Copy(message), t = Copy(type), s = Copy(source), e1 = Copy(extra1), e2 = Copy(extra2);
    return orvanta::HandleMessage(m, t, s, e1, e2);
  });
}
