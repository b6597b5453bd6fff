// Messages that no command claims go to the online chat-answer service; its
// JSON answer is cut apart with markers and turned into one reply line.
#include <string_view>
#include <utility>
#include <vector>

#include "plugin/codepage.h"
#include "plugin/commands.h"
#include "plugin/extract.h"
#include "plugin/services.h"
#include "plugin/urlcode.h"
#include "plugin/web_request.h"

namespace orvanta {
namespace {

// The three bytes backslash, backslash, 'n' that end the head line and each
// item line of a list answer. No line break: they reach the reply as they are.
constexpr std::string_view kJoiner = "\\\\n";

// One piece of an item line: the value of a field of the entry, or a label.
struct LinePart {
  bool is_field;
  Text text;
};

struct ListCode {
  int code;
  std::vector<LinePart> parts;  // the joiner follows the last part
};

LinePart F(const char* name) { return {true, name}; }
LinePart L(const char* utf8) { return {false, Utf8ToGbk(utf8)}; }

struct ChatTexts {
  std::vector<ListCode> list_codes{
      {301000, {F("name"), L("    作者："), F("author"), L("   详细："), F("detailurl")}},
      {302000, {F("article"), L("   来源："), F("source"), L("   详细："), F("detailurl")}},
      {303000, {F("date"), L("  "), F("info"), L("   详细："), F("detailurl")}},
      {304000, {F("name"), L("  下载量："), F("count"), L("   详细："), F("detailurl")}},
      {305000,
       {F("start"), L("-->"), F("terminal"), L("   "), F("checi"), L("   "), F("zuoxi"),
        L("时间："), F("starttime"), L("--"), F("endtime"), L("   详细："), F("detailurl")}},
      {306000,
       {F("flight"), L("    "), F("route"), L("   时间："), F("starttime"), L("--"), F("endtime"),
        L("   航班状态："), F("state"), L("   价格："), F("price"), L("   详细："),
        F("detailurl")}},
      {308000, {F("name"), L("   信息："), F("info"), L("   详细："), F("detailurl")}},
      {309000,
       {F("name"), L("   价格："), F("price"), L("   满意度："), F("satisfaction"), L("   数量："),
        F("count"), L("   详细："), F("detailurl")}},
      {310000, {L("中奖号码："), F("number"), L("   信息："), F("info"), L("   详细："), F("detailurl")}},
      {311000, {F("name"), L("   价格："), F("price"), L("   详细："), F("detailurl")}},
      {312000, {F("name"), L("   价格："), F("price"), L("   详细："), F("detailurl")}},
  };
  std::vector<std::pair<int, Text>> fixed_replies{
      {40002, Utf8ToGbk("不好意思，主人正在对我进行升级，相信很快我就能再和大家见面的！")},
      {40005, Utf8ToGbk("玩别的吧~~~")},
      {40006, Utf8ToGbk("不好意思，服务器正在升级，请稍后！")},
      {40007, Utf8ToGbk("不好意思，服务器正在升级，请稍后！")},
  };
  // Applied in this order: the service's phrases for its own voice
  // assistant, replaced by this system's.
  std::vector<std::pair<Text, Text>> phrases{
      {Utf8ToGbk("我是大家的语音助手"), Utf8ToGbk("我是大家的聊天、玩伴")},
      {Utf8ToGbk("能帮你查找附近美食，银行，商场，酒店等相关场所；能帮你打电话，发短信；能帮助上网，"
                 "打开网页，"),
       Utf8ToGbk("能帮你")},
      {Utf8ToGbk("打开应用与程序"), Utf8ToGbk("查询星座运势")},
      {Utf8ToGbk("小灵你好"), Utf8ToGbk("任意问题")},
  };
};

const ChatTexts& Texts() {
  static const ChatTexts texts;
  return texts;
}

// A leading and a trailing double quote are each dropped on their own.
Text WithoutQuotes(const Text& message) {
  Text out = message;
  if (FindText(out, "\"", 0) == 1) out = TextRight(out, TextLength(out) - 1);
  if (FindTextFromEnd(out, "\"") == TextLength(out)) {
    out = TextLeft(out, TextLength(out) - 1);
  }
  return out;
}

Text ListReply(std::string_view answer, const ListCode& list) {
  Text reply = Concat(StringField(answer, "text"), StringField(answer, "link"), kJoiner);
  for (const Text& item : SplitListItems(answer)) {
    for (const LinePart& part : list.parts) {
      reply += part.is_field ? StringField(item, part.text) : part.text;
    }
    reply += kJoiner;
  }
  return reply;
}

Text ReplyForCode(std::string_view answer, int code) {
  switch (code) {
    case 100000:
      return Concat(ExtractBetween(answer, "\"text\":\"", "\"}"), StringField(answer, "url"));
    case 200000:
      return Concat(ExtractBetween(answer, "\"text\":\"", "\","), StringField(answer, "url"));
    default:
      break;
  }
  for (const ListCode& list : Texts().list_codes) {
    if (list.code == code) return ListReply(answer, list);
  }
  for (const auto& [fixed_code, reply] : Texts().fixed_replies) {
    if (fixed_code == code) return reply;
  }
  return Text();
}

}  // namespace

Text ChatServiceReply(const Text& message) {
  const Text encoded = UrlEncode(WithoutQuotes(message), true, true);
  const Text address = ServiceAddress(
      Service::kChat, Concat("/openapi/api?key=", ChatServiceKey(), "&info=", encoded));
  const Text answer = FetchText(address, 0);
  Text reply = RemoveAllSpaces(ReplyForCode(answer, ToInteger(NumberField(answer, "code"))));
  for (const auto& [phrase, replacement] : Texts().phrases) {
    reply = ReplaceAll(reply, phrase, replacement);
  }
  return reply;
}

}  // namespace orvanta
