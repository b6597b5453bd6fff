// The reply branches against a stand-in web server: the answers each service
// gives and the reply built from them, and the request each branch sends as
// the server recorded it. Messages and numbers go in through the built
// plug-in's exports, as a chat-robot host passes them; this program is that
// host, so the settings file lies under its own folder.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/settings.h"
#include "plugin/services.h"
#include "spine/library.h"
#include "support/standin_client.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;
using test::Utf8;

// The joiner of list answers: backslash, backslash, 'n'.
const std::string J = "\\\\n";

// The stand-in web server this program runs beside (tools/standin/with-standin).
struct StandIn {
  static std::string HostPort() { return "127.0.0.1:" + std::to_string(test::StandinPort()); }
  static std::string Url() { return test::StandinUrl(""); }
  static void Reset() { test::StandinReset(); }
  // One answer for every request to path, its body given as bytes.
  static void Answer(const std::string& path, std::string_view body, const std::string& extra = "") {
    test::StandinScript(path, "{\"body_base64\":\"" + test::Base64(body) + "\"" +
                                  (extra.empty() ? "" : "," + extra) + "}");
  }
  static std::vector<test::RecordedRequest> Requests(const std::string& path) {
    return test::StandinRequests(path);
  }
  static std::vector<std::string> RequestLines(const std::string& path) {
    std::vector<std::string> lines;
    for (const test::RecordedRequest& r : Requests(path)) lines.push_back(r.request_line);
    return lines;
  }
};

const char* const kServiceKeys[] = {"聊天", "点歌", "搜歌", "百科", "短网址", "昵称"};

void SetService(const char* key_utf8, const std::string& value) {
  WriteSetting(SettingsFilePath(), Gbk("服务"), Gbk(key_utf8), value);
}

// The two exports the commands answer through.
struct Plugin {
  using Velquor = const char*(ORVANTA_TEST_CALL*)(const char*, const char*, const char*, const char*,
                                                  const char*);
  using Nickname = const char*(ORVANTA_TEST_CALL*)(const char*);
  void* library = nullptr;
  Velquor velquor = nullptr;
  Nickname nickname = nullptr;

  static Plugin& Get() {
    static Plugin plugin = [] {
      Plugin p;
      p.library = test::OpenLibrary(ORVANTA_PLUGIN_FILE);
      if (p.library) {
        p.velquor = reinterpret_cast<Velquor>(test::LibrarySymbol(p.library, "Velquor"));
        p.nickname = reinterpret_cast<Nickname>(test::LibrarySymbol(p.library, Gbk("获取昵称")));
      }
      return p;
    }();
    return plugin;
  }
};

// The reply to a message from a friend (type "1").
Text Reply(const std::string& message_utf8) {
  const char* reply = Plugin::Get().velquor(Gbk(message_utf8).c_str(), "1", "10001", "", "");
  return reply ? reply : "";
}
Text Nickname(const Text& number) {
  const char* nickname = Plugin::Get().nickname(number.c_str());
  return nickname ? nickname : "";
}

// Every service at the stand-in, with the fixed access key.
class CommandsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::filesystem::create_directories(std::filesystem::path(RunDirectory()) / "config");
  }
  void SetUp() override {
    ASSERT_NE(test::StandinPort(), 0) << "no stand-in server: run through CTest";
    ASSERT_TRUE(Plugin::Get().velquor && Plugin::Get().nickname) << "cannot load " ORVANTA_PLUGIN_FILE;
    StandIn::Reset();
    for (const char* key : kServiceKeys) SetService(key, StandIn::HostPort());
    SetService("密钥", "");
  }

};

// ---------------------------------------------------------------------------
// Chat-answer service

struct ChatCase {
  std::string name;
  std::string answer;    // UTF-8, as the service sends it
  std::string expected;  // UTF-8 form of the GBK reply
};

void CheckChatCases(const std::vector<ChatCase>& cases) {
  for (const ChatCase& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn::Answer("/openapi/api", c.answer);
    const Text reply = Reply("你好");
    EXPECT_EQ(reply, Gbk(c.expected)) << Utf8(reply);
  }
}

TEST_F(CommandsTest, PlainAndLinkAnswers) {
  CheckChatCases({
      {"plain", R"({"code":100000,"text":"今天天气不错"})", "今天天气不错"},
      {"plain with url before its text", R"({"code":100000,"url":"http://p.example/1","text":"看这里"})",
       "看这里http://p.example/1"},
      {"plain without text", R"({"code":100000})", ""},
      {"code written with a space", R"({"code": 100000,"text":"照样认得"})", "照样认得"},
      {"code field in capitals", R"({"Code":100000,"text":"大小写"})", "大小写"},
      {"english loses its spaces", R"({"code":100000,"text":"Hello there, nice to meet you."})",
       "Hellothere,nicetomeetyou."},
      {"full-width spaces go too", R"({"code":100000,"text":"你　好 呀"})", "你好呀"},
      {"escapes stay as written", R"({"code":100000,"text":"第一行\n第二行"})", "第一行\\n第二行"},
      {"link", R"({"code":200000,"text":"亲，已帮您找到图片","url":"http://p.example/cat.jpg"})",
       "亲，已帮您找到图片http://p.example/cat.jpg"},
      {"link without url", R"({"code":200000,"text":"只有文字","x":1})", "只有文字"},
      {"link without text", R"({"code":200000,"url":"http://p.example/"})", "http://p.example/"},
      {"link with spaces in its url", R"({"code":200000,"text":"图","url":"http://p.example/a b"})",
       "图http://p.example/ab"},
  });
}

TEST_F(CommandsTest, ErrorAndUnknownCodes) {
  CheckChatCases({
      {"40002 whatever its text says", R"({"code":40002,"text":"请求内容info为空"})",
       "不好意思，主人正在对我进行升级，相信很快我就能再和大家见面的！"},
      {"40005", R"({"code":40005,"text":"暂不支持"})", "玩别的吧~~~"},
      {"40006", R"({"code":40006,"text":""})", "不好意思，服务器正在升级，请稍后！"},
      // The code is read up to the next comma, so a code without one is none.
      {"code as the only field", R"({"code":40006})", ""},
      {"40007", R"({"code":40007,"text":"x"})", "不好意思，服务器正在升级，请稍后！"},
      {"40004 is no code of ours", R"({"code":40004,"text":"次数用完"})", ""},
      {"307000 lies between the list codes", R"({"code":307000,"text":"x","list":[{"name":"a"}]})", ""},
      {"no code field", R"({"text":"没有代码"})", ""},
      {"not JSON at all", "<html>502 Bad Gateway</html>", ""},
      {"empty body", "", ""},
  });
}

TEST_F(CommandsTest, EachListCodeFormatsItsItemLine) {
  const std::string head = "找到了" + J;
  CheckChatCases({
      {"301000", R"({"code":301000,"text":"找到了","list":[{"name":"书名","author":"作者甲","detailurl":"http://d/301"}]})",
       (head + "书名作者：作者甲详细：http://d/301" + J)},
      {"302000", R"({"code":302000,"text":"找到了","list":[{"article":"新闻标题","source":"日报","icon":"","detailurl":"http://d/302"}]})",
       (head + "新闻标题来源：日报详细：http://d/302" + J)},
      {"303000", R"({"code":303000,"text":"找到了","list":[{"date":"2015-01-09","info":"腊八节","detailurl":"http://d/303"}]})",
       (head + "2015-01-09腊八节详细：http://d/303" + J)},
      {"304000", R"({"code":304000,"text":"找到了","list":[{"name":"天气","count":"12万","detailurl":"http://d/304"}]})",
       (head + "天气下载量：12万详细：http://d/304" + J)},
      {"305000", R"({"code":305000,"text":"找到了","list":[{"start":"北京南","terminal":"上海","checi":"G1","zuoxi":"二等座","starttime":"09:00","endtime":"13:48","detailurl":"http://d/305"}]})",
       (head + "北京南-->上海G1二等座时间：09:00--13:48详细：http://d/305" + J)},
      {"306000", R"({"code":306000,"text":"找到了","list":[{"flight":"CA1501","route":"北京-上海","starttime":"08:00","endtime":"10:15","state":"计划","price":"1130","detailurl":"http://d/306"}]})",
       (head + "CA1501北京-上海时间：08:00--10:15航班状态：计划价格：1130详细：http://d/306" + J)},
      {"308000", R"({"code":308000,"text":"找到了","list":[{"name":"番茄炒蛋","info":"番茄、鸡蛋","detailurl":"http://d/308"}]})",
       (head + "番茄炒蛋信息：番茄、鸡蛋详细：http://d/308" + J)},
      {"309000", R"({"code":309000,"text":"找到了","list":[{"name":"保温杯","price":"49","satisfaction":"98%","count":"1200","detailurl":"http://d/309"}]})",
       (head + "保温杯价格：49满意度：98%数量：1200详细：http://d/309" + J)},
      {"310000", R"({"code":310000,"text":"找到了","list":[{"number":"03 11 19","info":"第1期","detailurl":"http://d/310"}]})",
       (head + "中奖号码：031119信息：第1期详细：http://d/310" + J)},
      {"311000", R"({"code":311000,"text":"找到了","list":[{"name":"酒店","price":"388","detailurl":"http://d/311"}]})",
       (head + "酒店价格：388详细：http://d/311" + J)},
      {"312000", R"({"code":312000,"text":"找到了","list":[{"name":"机票","price":"600","detailurl":"http://d/312"}]})",
       (head + "机票价格：600详细：http://d/312" + J)},
  });
}

TEST_F(CommandsTest, ListAnswersBySeparatorCount) {
  CheckChatCases({
      {"no separator: one line of empty fields", R"({"code":302000,"text":"新闻","list":[]})",
       ("新闻" + J + "来源：详细：" + J)},
      {"one separator: two lines",
       R"({"code":301000,"text":"小说","list":[{"name":"甲书","author":"甲","detailurl":"http://d/1"},{"name":"乙书","author":"乙","detailurl":"http://d/2"}]})",
       ("小说" + J + "甲书作者：甲详细：http://d/1" + J + "乙书作者：乙详细：http://d/2" + J)},
      {"three separators: four lines",
       R"({"code":311000,"text":"酒店","link":"http://l.example/h","list":[{"name":"一","price":"1"},{"name":"二","price":"2"},{"name":"三","price":"3"},{"name":"四","price":"4"}]})",
       ("酒店http://l.example/h" + J + "一价格：1详细：" + J + "二价格：2详细：" + J + "三价格：3详细：" + J +
        "四价格：4详细：" + J)},
      {"separators back to back give an empty entry",
       R"({"code":311000,"text":"T","list":[{"name":"一","price":"1"},{},{"name":"三","price":"3"}]})",
       ("T" + J + "一价格：1详细：" + J + "价格：详细：" + J + "三价格：3详细：" + J)},
      {"missing fields keep their labels",
       R"({"code":306000,"text":"航班","list":[{"flight":"CA1501","route":"北京-上海","starttime":"08:00","endtime":"10:15"}]})",
       ("航班" + J + "CA1501北京-上海时间：08:00--10:15航班状态：价格：详细：" + J)},
      {"list answer without head text", R"({"code":304000,"list":[{"name":"词典","count":"3"}]})",
       (J + "词典下载量：3详细：" + J)},
  });
}

TEST_F(CommandsTest, PhrasesAreReplaced) {
  CheckChatCases({
      {"phrase 1", R"({"code":100000,"text":"你好，我是大家的语音助手。"})", "你好，我是大家的聊天、玩伴。"},
      {"phrase 2",
       R"({"code":100000,"text":"我能帮你查找附近美食，银行，商场，酒店等相关场所；能帮你打电话，发短信；能帮助上网，打开网页，还能聊天"})",
       "我能帮你还能聊天"},
      {"phrase 3", R"({"code":100000,"text":"我会打开应用与程序"})", "我会查询星座运势"},
      {"phrase 4 twice", R"({"code":100000,"text":"说小灵你好，小灵你好"})", "说任意问题，任意问题"},
      {"a space inside a phrase", R"({"code":100000,"text":"试试说：小灵 你好"})", "试试说：任意问题"},
      {"all four in one answer",
       R"({"code":100000,"text":"我是大家的语音助手，能帮你查找附近美食，银行，商场，酒店等相关场所；能帮你打电话，发短信；能帮助上网，打开网页，打开应用与程序。试试说：小灵你好"})",
       "我是大家的聊天、玩伴，能帮你查询星座运势。试试说：任意问题"},
      {"in a link answer", R"({"code":200000,"text":"小灵你好","url":"http://x/"})", "任意问题http://x/"},
      {"in a list answer", R"({"code":308000,"text":"小灵你好","list":[{"name":"打开应用与程序","info":"i"}]})",
       ("任意问题" + J + "查询星座运势信息：i详细：" + J)},
  });
}

TEST_F(CommandsTest, ChatRequestCarriesTheMessageEncodedAsUtf8) {
  const std::string key = "0a9b8c7d6e5f40312a3b4c5d6e7f8091";
  struct Case {
    const char* message;
    const char* info;
  } cases[] = {
      {"你好 a_b~/-.9Z", "%E4%BD%A0%E5%A5%BD%20a%5Fb%7E%2F-.9Z"},
      {"\"", ""},
      {"\"\"", ""},
      {"\"引号\"", "%E5%BC%95%E5%8F%B7"},
      {"\"only the start", "only%20the%20start"},
      {"only the end\"", "only%20the%20end"},
      {"in \"the\" middle", "in%20%22the%22%20middle"},
      {"\"\"two\"\"", "%22two%22"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    StandIn::Reset();
    StandIn::Answer("/openapi/api", R"({"code":100000,"text":"ok"})");
    EXPECT_EQ(Reply(c.message), "ok");
    EXPECT_EQ(StandIn::RequestLines("/openapi/api"),
              std::vector<std::string>{"GET /openapi/api?key=" + key + "&info=" + c.info + " HTTP/1.1"});
  }
}

TEST_F(CommandsTest, AccessKeyFromTheSettings) {
  SetService("密钥", "ffffeeeeddddccccbbbbaaaa99998888");
  StandIn::Answer("/openapi/api", R"({"code":100000,"text":"ok"})");
  EXPECT_EQ(Reply("hi"), "ok");
  EXPECT_EQ(StandIn::RequestLines("/openapi/api"),
            std::vector<std::string>{"GET /openapi/api?key=ffffeeeeddddccccbbbbaaaa99998888&info=hi HTTP/1.1"});
}

// ---------------------------------------------------------------------------
// Song search

std::string SiteAPage(const std::string& link) {
  return "<ul><li>\r\n <p class=\"m_name\"><a href=\"" + link + "\" title=\"t\">t</a></p></li></ul>";
}
std::string SiteBPage(const std::string& first, const std::string& fallback) {
  std::string page = "<ul>";
  if (!fallback.empty()) {
    page += "<li><a href=\"#\"><span>x</span></a><span class=\"title\"><a href=\"" + fallback + "\">f</a></li>";
  }
  if (!first.empty()) {
    page += "<li><span class=\"checkbox\">&nbsp;</span><span class=\"num\">01</span></span>"
            "<span class=\"title\"><a href=\"" + first + "\">s</a></li>";
  }
  return page + "</ul>";
}

TEST_F(CommandsTest, SongSearchOnSiteA) {
  struct Case {
    const char* name;
    std::string page;
    const char* expected;
  } cases[] = {
      {"marker present", SiteAPage("http://music-a.example/song/1?x=1&amp;y"), "http://music-a.example/song/1?x=1&amp;y"},
      {"relative link", SiteAPage("/song/2"), "/song/2"},
      {"marker without its leading space", "<p class=\"m_name\"><a href=\"http://m/3\">", ""},
      {"no marker", "<html>nothing found</html>", ""},
      {"empty page", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn::Answer("/ws/NSearch", c.page);
    const Text reply = Reply("点歌月亮");
    EXPECT_EQ(reply, c.expected) << Utf8(reply);
  }
}

TEST_F(CommandsTest, SongSearchOnSiteB) {
  struct Case {
    const char* name;
    std::string page;
    const char* link;
  } cases[] = {
      {"first marker", SiteBPage("http://music-b.example/1", ""), "http://music-b.example/1"},
      {"fallback marker", SiteBPage("", "http://music-b.example/2"), "http://music-b.example/2"},
      {"first marker wins over the fallback", SiteBPage("http://music-b.example/3", "http://music-b.example/4"),
       "http://music-b.example/3"},
      {"neither marker", "<html></html>", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn::Answer("/s", c.page);
    const Text reply = Reply("搜歌月亮");
    EXPECT_EQ(reply, Gbk("歌曲月亮的链接如下：[enter]") + c.link) << Utf8(reply);
  }
}

TEST_F(CommandsTest, SongSearchRequests) {
  StandIn::Answer("/ws/NSearch", SiteAPage("http://a/1"));
  StandIn::Answer("/s", SiteBPage("http://b/1", ""));
  EXPECT_EQ(Reply("点歌月亮AB1点歌"), "http://a/1");
  EXPECT_EQ(Reply("搜歌搜歌"), Gbk("歌曲的链接如下：[enter]http://b/1"));
  EXPECT_EQ(Reply("搜歌a&b"), Gbk("歌曲a&b的链接如下：[enter]http://b/1"));
  EXPECT_EQ(Reply("搜歌 a b"), Gbk("歌曲 a b的链接如下：[enter]http://b/1"));
  EXPECT_EQ(StandIn::RequestLines("/ws/NSearch"),
            std::vector<std::string>{"GET /ws/NSearch?type=all&key=%E6%9C%88%E4%BA%AEAB1 HTTP/1.1"});
  EXPECT_EQ(StandIn::RequestLines("/s"),
            (std::vector<std::string>{"GET /s?frsug=0&q= HTTP/1.1", "GET /s?frsug=0&q=a%26b HTTP/1.1", "GET /s?frsug=0&q=%20a%20b HTTP/1.1"}));
}

TEST_F(CommandsTest, SongSearchWithoutAnyPage) {
  // A service that cannot be reached: no link, so "点歌" stays silent and
  // "搜歌" gives its sentence without one.
  SetService("点歌", "127.0.0.1:1");
  SetService("搜歌", "127.0.0.1:1");
  EXPECT_EQ(Reply("点歌月亮"), "");
  EXPECT_EQ(Reply("搜歌月亮"), Gbk("歌曲月亮的链接如下：[enter]"));
}

// ---------------------------------------------------------------------------
// Encyclopedia

std::string SearchPage(const std::string& link) {
  return "<dl><dd>\r\n<h2>\r\n<a href=\"" + link + "\" target=\"_blank\"><em>x</em></a>\r\n</h2></dd></dl>";
}
std::string ArticlePage(const std::string& summary) {
  return "<html><head><meta name=\"Description\" content=\"" + summary +
         "\" /><meta name=\"Keywords\" content=\"k\" /></head></html>";
}

TEST_F(CommandsTest, EncyclopediaFound) {
  const std::string link = StandIn::Url() + "/item/great-wall";
  StandIn::Answer("/search", SearchPage(link));
  StandIn::Answer("/item/great-wall", ArticlePage("长城是古代的军事工程 &amp; 遗产。"));
  const Text reply = Reply("百科长城");
  EXPECT_EQ(reply, Gbk("Pellor百科：[enter]长城是古代的军事工程 &amp; 遗产。[enter]详情链接：" + link))
      << Utf8(reply);
  // The whole message, command word and letters included, fully encoded.
  EXPECT_EQ(StandIn::RequestLines("/search"),
            std::vector<std::string>{"GET /search?word=%E7%99%BE%E7%A7%91%E9%95%BF%E5%9F%8E&&pic=1&sug=1 HTTP/1.1"});
  EXPECT_EQ(StandIn::RequestLines("/item/great-wall"),
            std::vector<std::string>{"GET /item/great-wall HTTP/1.1"});
  StandIn::Reset();
  Reply("百科ab");
  EXPECT_EQ(StandIn::RequestLines("/search"),
            std::vector<std::string>{"GET /search?word=%E7%99%BE%E7%A7%91%61%62&&pic=1&sug=1 HTTP/1.1"});
}

TEST_F(CommandsTest, EncyclopediaNotFound) {
  const std::string not_found = "Pellor百科提示：百科未收入词条，或词条太长，请（更换）简化词条！";
  const std::string link = StandIn::Url() + "/item/x";
  struct Case {
    const char* name;
    std::string search;
    std::string article;
    size_t article_requests;
  } cases[] = {
      {"no result link", "<html>没有找到</html>", ArticlePage("never read"), 0},
      {"result link with LF only", "<h2>\n<a href=\"" + link + "\" target=\"_blank\"><em>", ArticlePage("s"), 0},
      {"article without description", SearchPage(link), "<html><head><title>x</title></head></html>", 1},
      {"description followed by other markup", SearchPage(link),
       "<meta name=\"Description\" content=\"s\" /><title>x</title>", 1},
      {"empty description", SearchPage(link), ArticlePage(""), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn::Reset();
    StandIn::Answer("/search", c.search);
    StandIn::Answer("/item/x", c.article);
    const Text reply = Reply("百科x");
    EXPECT_EQ(reply, Gbk(not_found)) << Utf8(reply);
    EXPECT_EQ(StandIn::Requests("/search").size(), 1u);
    EXPECT_EQ(StandIn::Requests("/item/x").size(), c.article_requests);
  }
}

TEST_F(CommandsTest, EncyclopediaLinkIsTheSearchPagesNotTheRedirectTarget) {
  const std::string link = StandIn::Url() + "/item/old";
  StandIn::Answer("/search", SearchPage(link));
  StandIn::Answer("/item/old", "", "\"redirect\":\"" + StandIn::Url() + "/item/new\"");
  StandIn::Answer("/item/new", ArticlePage("新的摘要"));
  EXPECT_EQ(Reply("百科x"), Gbk("Pellor百科：[enter]新的摘要[enter]详情链接：" + link));
}

// ---------------------------------------------------------------------------
// Short address

TEST_F(CommandsTest, ShortAddressReplies) {
  struct Case {
    const char* name;
    const char* body;
    const char* expected;
  } cases[] = {
      {"percent-encoded short link", "http%3A%2F%2Ft.example%2Fab12", "您的短网址：http://t.example/ab12"},
      {"lower-case escapes", "http%3a%2f%2ft.example%2fcd", "您的短网址：http://t.example/cd"},
      {"plain short link", "http://t.example/ef+gh", "您的短网址：http://t.example/ef+gh"},
      {"an error page is taken as it is", "<h1>500</h1>", "您的短网址：<h1>500</h1>"},
      {"empty body", "", "不要逗我玩~！这个无法缩短~·"},
      {"only an escape of zero", "%00", "不要逗我玩~！这个无法缩短~·"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn::Answer("/v1/data/link_conv/rd_dispatcher.php", c.body);
    const Text reply = Reply(std::string("短网址www.example.com"));
    EXPECT_EQ(reply, Gbk(c.expected)) << Utf8(reply);
  }
}

TEST_F(CommandsTest, ShortAddressRequests) {
  const std::string path = "/v1/data/link_conv/rd_dispatcher.php";
  const std::string prefix = "GET " + path + "?orig_link=http%3A%2F%2F";
  struct Case {
    const char* message;
    std::string line;
  } cases[] = {
      {"短网址www.example.com/a?b=1&c=2", prefix + "www.example.com/a?b=1&c=2 HTTP/1.0"},
      {"短网址http://www.example.com/", prefix + "http://www.example.com/ HTTP/1.0"},
      {"短网址www.example.com短网址", prefix + "www.example.com HTTP/1.0"},
      {"短网址", prefix + " HTTP/1.0"},
      // Bytes that cannot stand in a request line go in their percent form.
      {"短网址 www.example.com", prefix + "%20www.example.com HTTP/1.0"},
      {"短网址a\r\nX-Injected: 1", prefix + "a%0D%0AX-Injected:%201 HTTP/1.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    StandIn::Reset();
    StandIn::Answer(path, "x");
    EXPECT_EQ(Reply(c.message), Gbk("您的短网址：x"));
    const std::vector<test::RecordedRequest> requests = StandIn::Requests(path);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].request_line, c.line);
    EXPECT_EQ(requests[0].HeaderCount("X-Injected"), 0);
  }
}

// ---------------------------------------------------------------------------
// Nickname

TEST_F(CommandsTest, Nickname) {
  const std::string path = "/fcg-bin/cgi_get_score.fcg";
  const Text nick25 = Gbk("一二三四五六七八九十") + "abcde";  // 25 bytes
  const Text nick26 = Gbk("一二三四五六七八九十") + "abcdef";
  ASSERT_EQ(nick25.size(), 25u);
  struct Case {
    const char* name;
    std::string page;  // GBK bytes
    Text expected;
  } cases[] = {
      {"26 bytes", "portraitCallBack({\"12345\":[\"http://q/1\",0,0,\"" + nick26 + "\",0]})", nick26},
      {"25 bytes", "portraitCallBack({\"12345\":[\"http://q/1\",0,0,\"" + nick25 + "\",0]})", "12345"},
      {"right marker only", "\"" + nick26 + "\",", "12345"},
      {"left marker only", ",\"" + nick26, "12345"},
      {"empty page", "", "12345"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandIn::Answer(path, c.page);
    const Text nickname = Nickname("12345");
    EXPECT_EQ(nickname, c.expected) << Utf8(nickname);
  }
  StandIn::Reset();
  Nickname("12345");
  Nickname("");
  Nickname("1 2\r\nX-Injected: 1");
  EXPECT_EQ(StandIn::RequestLines(path),
            (std::vector<std::string>{"GET " + path + "?mask=7&uins=12345 HTTP/1.0",
                                      "GET " + path + "?mask=7&uins= HTTP/1.0",
                                      "GET " + path + "?mask=7&uins=1%202%0D%0AX-Injected:%201 HTTP/1.0"}));
}

TEST_F(CommandsTest, NicknameOfAnUnreachableService) {
  SetService("昵称", "127.0.0.1:1");
  EXPECT_EQ(Nickname("12345"), "12345");
  EXPECT_EQ(Nickname(""), "");
}

// ---------------------------------------------------------------------------
// Service hosts

TEST_F(CommandsTest, ServiceAddressFromTheSettings) {
  struct Case {
    const char* name;
    std::optional<std::string> value;  // left out: the key is not written
    std::string expected;
  } cases[] = {
      {"bare host", "chat.example.org", "http://chat.example.org/openapi/api?x=1"},
      {"host with port", "127.0.0.1:8080", "http://127.0.0.1:8080/openapi/api?x=1"},
      {"scheme and host", "http://127.0.0.1:8080", "http://127.0.0.1:8080/openapi/api?x=1"},
      {"https", "https://chat.example.org", "https://chat.example.org/openapi/api?x=1"},
      {"scheme in capitals", "HTTP://Chat.Example.org", "HTTP://Chat.Example.org/openapi/api?x=1"},
      {"trailing slashes", "http://h.example//", "http://h.example/openapi/api?x=1"},
      {"host with trailing slash", "h.example/", "http://h.example/openapi/api?x=1"},
      {"path in front", "http://h.example/chat", "http://h.example/chat/openapi/api?x=1"},
      {"spaces around", "  h.example  ", "http://h.example/openapi/api?x=1"},
      {"empty value", "", "http://chat.orvanta.invalid/openapi/api?x=1"},
      {"missing key", std::nullopt, "http://chat.orvanta.invalid/openapi/api?x=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(SettingsFilePath());
    if (c.value) SetService("聊天", *c.value);
    EXPECT_EQ(ServiceAddress(Service::kChat, "/openapi/api?x=1"), c.expected);
  }
}

TEST_F(CommandsTest, EachServiceHasItsOwnKeyAndPlaceholder) {
  std::filesystem::remove(SettingsFilePath());
  const struct {
    Service service;
    const char* key;
    const char* builtin;
  } services[] = {
      {Service::kChat, "聊天", "http://chat.orvanta.invalid/p"},
      {Service::kMusicSiteA, "点歌", "http://music-a.orvanta.invalid/p"},
      {Service::kMusicSiteB, "搜歌", "http://music-b.orvanta.invalid/p"},
      {Service::kEncyclopedia, "百科", "http://encyclopedia.orvanta.invalid/p"},
      {Service::kLinkShortener, "短网址", "http://shortener.orvanta.invalid/p"},
      {Service::kScore, "昵称", "http://score.orvanta.invalid/p"},
  };
  for (const auto& s : services) EXPECT_EQ(ServiceAddress(s.service, "/p"), s.builtin);
  for (const auto& s : services) {
    SCOPED_TRACE(s.key);
    SetService(s.key, Gbk(std::string("host-of-") + s.key));
    EXPECT_EQ(ServiceAddress(s.service, "/p"), Gbk(std::string("http://host-of-") + s.key + "/p"));
  }
}

TEST_F(CommandsTest, ServicesReachTheConfiguredServer) {
  // With scheme: the chat goes to the stand-in.
  SetService("聊天", StandIn::Url());
  StandIn::Answer("/openapi/api", R"({"code":100000,"text":"到了"})");
  EXPECT_EQ(Reply("你好"), Gbk("到了"));
  // Missing: the placeholder host answers nothing, and nothing reaches the stand-in.
  std::filesystem::remove(SettingsFilePath());
  StandIn::Reset();
  StandIn::Answer("/openapi/api", R"({"code":100000,"text":"不该到"})");
  EXPECT_EQ(Reply("你好"), "");
  EXPECT_EQ(Reply("短网址www.example.com"), Gbk("不要逗我玩~！这个无法缩短~·"));
  EXPECT_EQ(StandIn::Requests("/openapi/api").size(), 0u);
}

TEST_F(CommandsTest, SettingsAreReadAtEveryRequest) {
  StandIn::Answer("/openapi/api", R"({"code":100000,"text":"ok"})");
  EXPECT_EQ(Reply("one"), "ok");
  SetService("聊天", "127.0.0.1:1");
  EXPECT_EQ(Reply("two"), "");
  SetService("聊天", StandIn::HostPort());
  EXPECT_EQ(Reply("three"), "ok");
  EXPECT_EQ(StandIn::Requests("/openapi/api").size(), 2u);
}

}  // namespace
}  // namespace orvanta
