// The settings program's behaviour, driven through a fake view that logs
// every call in order, with a real settings file in a scratch folder.
#include "companion/companion.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/settings.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;
using Log = std::vector<std::string>;

const char* PaneName(Pane pane) {
  switch (pane) {
    case Pane::kPointer:
      return "pane1 ";
    case Pane::kNews:
      return "pane2 ";
    case Pane::kGroup:
      return "pane3 ";
  }
  return "pane? ";
}

class FakeView : public CompanionView {
 public:
  explicit FakeView(Log& log) : log_(log) {}

  void AddTrayIcon(std::string_view tip) override { Add("tray+ ", tip); }
  void RemoveTrayIcon() override { Add("tray-"); }
  void SetPrefix(std::string_view prefix) override {
    prefix_ = prefix;
    Add("prefix ", prefix);
  }
  Text Prefix() override { return prefix_; }
  void Navigate(Pane pane, std::string_view address) override { Add(PaneName(pane), address); }
  Answer ShowMessage(std::string_view text, std::string_view title, MessageKind kind) override {
    Add(kind == MessageKind::kNotice ? "notice " : "question ", Concat(title, "|", text));
    if (kind == MessageKind::kNotice) return Answer::kOk;
    return answer_;
  }
  void OpenInBrowser(std::string_view address) override { Add("browser ", address); }
  void Show() override { Add("show"); }
  void RestoreAndCentre() override { Add("restore"); }
  void Minimize() override { Add("minimize"); }
  void Hide() override { Add("hide"); }
  void Quit() override { Add("quit"); }

  void set_prefix(std::string_view prefix) { prefix_ = prefix; }
  void set_answer(Answer answer) { answer_ = answer; }

 private:
  void Add(std::string_view what, std::string_view detail = {}) {
    log_.push_back(Concat(what, detail));
  }

  Log& log_;
  Text prefix_;
  Answer answer_ = Answer::kNo;
};

// Each test gets its own settings file in a folder of the working directory
// (the build folder), so parallel runs of other builds never share it.
class CompanionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::absolute("companion_scratch") /
              (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / "config");
    settings_ = (folder_ / "config" / "Orvanta.vt").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void WriteFile(const std::string& bytes) {
    std::ofstream out(settings_, std::ios::binary);
    out << bytes;
  }
  std::string FileBytes() const {
    std::ifstream in(settings_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The pointer page answers with these texts in turn, then with nothing.
  void FeedPointer(std::initializer_list<std::string_view> texts) {
    pointer_texts_.insert(pointer_texts_.end(), texts.begin(), texts.end());
  }
  Companion Make(SettingWriter writer = nullptr) {
    auto reader = [this](std::string_view address) {
      log_.push_back(Concat("read ", address));
      if (pointer_texts_.empty()) return Text();
      Text text = pointer_texts_.front();
      pointer_texts_.pop_front();
      return text;
    };
    return Companion(view_, settings_, reader, writer);
  }
  // The log entries since mark, for checking one handler at a time.
  Log Since(size_t mark) const { return Log(log_.begin() + mark, log_.end()); }
  std::vector<std::string> PaneOne() const {
    std::vector<std::string> addresses;
    for (const auto& entry : log_) {
      if (entry.rfind("pane1 ", 0) == 0) addresses.push_back(entry.substr(6));
    }
    return addresses;
  }

  std::filesystem::path folder_;
  Text settings_;
  Log log_;
  FakeView view_{log_};
  std::deque<Text> pointer_texts_;
};

const std::string kPointerPage = "http://pointer.orvanta.invalid/";
const std::string kNewsPage = "http://news.orvanta.invalid/";
const std::string kGroupPage = "http://group.orvanta.invalid/";
const std::string kUploadPage = "http://music.orvanta.invalid/upload";

TEST_F(CompanionTest, WindowCreationRunsItsStepsInOrderAndReadsThePointerTwice) {
  WriteFile(Gbk("[前置]\r\n格式=小O\r\n"));
  FeedPointer({"http://a.example/first", "http://a.example/second"});
  Companion companion = Make();
  companion.OnWindowCreated();

  EXPECT_EQ(log_, (Log{
                      "pane2 " + kNewsPage,
                      "pane3 " + kGroupPage,
                      "tray+ " + Gbk("Orvanta运行中"),
                      "prefix " + Gbk("小O"),
                      "read " + kPointerPage,
                      "read " + kPointerPage,
                      "pane1 http://a.example/second",
                  }));
  EXPECT_EQ(companion.latest_pointer(), "http://a.example/first");
  EXPECT_EQ(companion.shown_pointer(), "http://a.example/second");
}

TEST_F(CompanionTest, EditBoxGetsThePrefixAsTheSettingsFileGivesIt) {
  struct Case {
    const char* name;
    std::optional<std::string> file;  // nullopt: no settings file at all
    std::string prefix;
  };
  const Case cases[] = {
      {"no file", std::nullopt, ""},
      {"no section", Gbk("[服务]\r\n格式=x\r\n"), ""},
      {"no key", Gbk("[前置]\r\n格=x\r\n"), ""},
      {"empty value", Gbk("[前置]\r\n格式=\r\n"), ""},
      {"plain", Gbk("[前置]\r\n格式=Orvanta\r\n"), "Orvanta"},
      // 禱 and 磡 end in the bytes of '\' and '|'.
      {"trail bytes that look like ASCII", Gbk("[前置]\r\n格式=禱磡\r\n"), Gbk("禱磡")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(settings_);
    if (c.file) WriteFile(*c.file);
    log_.clear();
    Make().OnWindowCreated();
    EXPECT_EQ(log_.at(3), "prefix " + c.prefix);
  }
}

TEST_F(CompanionTest, SaveHandsTheEditBoxTextToTheSettingsFileUnchanged) {
  struct Case {
    const char* name;
    std::string prefix;
    bool config_folder;
  };
  const Case cases[] = {
      {"plain", Gbk("Orvanta小O"), true},
      {"empty keeps the key", "", true},
      {"spaces at both ends", Gbk(" 小O "), true},
      {"no config folder: the write fails, the notice still shows", Gbk("小O"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(folder_ / "config");
    if (c.config_folder) std::filesystem::create_directories(folder_ / "config");
    std::vector<std::string> written;
    auto spy = [&written](std::string_view file, std::string_view section, std::string_view key,
                          std::string_view value) {
      written = {Text(file), Text(section), Text(key), Text(value)};
      return WriteSetting(file, section, key, value);
    };
    Companion companion = Make(spy);
    view_.set_prefix(c.prefix);
    size_t mark = log_.size();
    companion.OnSave();

    EXPECT_EQ(written, (std::vector<std::string>{settings_, Gbk("前置"), Gbk("格式"), c.prefix}));
    EXPECT_EQ(Since(mark), (Log{"notice " + Gbk("Selwick端提示：|已保存配置！")}));
    if (!c.config_folder) {
      EXPECT_FALSE(std::filesystem::exists(settings_));
      continue;
    }
    // The key is there even for an empty value; how the writer spaces the
    // line is the platform's business.
    std::string bytes = FileBytes();
    EXPECT_NE(bytes.find(Gbk("[前置]")), std::string::npos) << bytes;
    EXPECT_NE(bytes.find(Gbk("格式")), std::string::npos) << bytes;
    if (c.prefix.find(' ') == std::string::npos) {
      EXPECT_EQ(ReadSetting(settings_, Gbk("前置"), Gbk("格式")), c.prefix);
    }
  }
}

TEST_F(CompanionTest, SaveWithoutASpyWritesThroughTheRealSettingsCode) {
  Companion companion = Make();
  view_.set_prefix(Gbk("小O"));
  companion.OnSave();
  EXPECT_EQ(ReadSetting(settings_, Gbk("前置"), Gbk("格式")), Gbk("小O"));
}

TEST_F(CompanionTest, PointerRefreshSendsPaneOneOnlyWhenThePointerChanges) {
  const std::string a = "http://a.example/";
  const std::string b = "https://b.example/x?y=1";
  struct Case {
    const char* name;
    std::vector<std::string> start_reads;  // the two reads of window creation
    std::vector<std::string> tick_reads;
    std::vector<std::string> pane_one;  // every address pane 1 was sent, in order
  };
  const Case cases[] = {
      {"unchanged: sent once, at start", {a, a}, {a, a, a}, {a}},
      {"changed: sent at the next tick, once", {a, a}, {b, b}, {a, b}},
      {"the second start read is shown", {a, b}, {b}, {b}},
      {"a tick equal to the first start read still differs from the shown one",
       {a, b},
       {a},
       {b, a}},
      {"emptied and back", {a, a}, {"", "", a}, {a, "", a}},
      {"unreachable at start", {"", ""}, {"", a}, {"", a}},
      {"letter case differs: a change", {a, a}, {"HTTP://A.EXAMPLE/"}, {a, "HTTP://A.EXAMPLE/"}},
      {"not a web address: the pane is left blank",
       {a, a},
       {"file:///C:/windows/win.ini", "javascript:alert(1)", a},
       {a, "", "", a}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    pointer_texts_.clear();
    for (const auto& t : c.start_reads) pointer_texts_.push_back(t);
    for (const auto& t : c.tick_reads) pointer_texts_.push_back(t);
    Companion companion = Make();
    companion.OnWindowCreated();
    for (size_t i = 0; i < c.tick_reads.size(); ++i) companion.OnTimer();

    EXPECT_EQ(PaneOne(), c.pane_one);
    EXPECT_EQ(companion.latest_pointer(), c.tick_reads.back());
    EXPECT_EQ(companion.shown_pointer(), c.tick_reads.back());
  }
}

TEST_F(CompanionTest, EveryTickReadsThePointerAndReloadsPaneTwo) {
  FeedPointer({"http://a.example/", "http://a.example/", "http://a.example/", "http://a.example/"});
  Companion companion = Make();
  companion.OnWindowCreated();
  size_t mark = log_.size();
  companion.OnTimer();
  companion.OnTimer();
  EXPECT_EQ(Since(mark), (Log{
                             "read " + kPointerPage,
                             "pane2 " + kNewsPage,
                             "read " + kPointerPage,
                             "pane2 " + kNewsPage,
                         }));
}

TEST_F(CompanionTest, MakerPagesComeFromTheServiceSectionWhenGiven) {
  WriteFile(
      Gbk("[服务]\r\n指针页=http://127.0.0.1:9/pointer\r\n新闻页=http://127.0.0.1:9/news\r\n"
          "群页=https://127.0.0.1:9/group\r\n上传页=http://127.0.0.1:9/upload\r\n"));
  FeedPointer({"http://a.example/", "http://a.example/", "http://a.example/"});
  Companion companion = Make();
  companion.OnWindowCreated();
  companion.OnTimer();
  companion.OnUpload();
  EXPECT_EQ(log_, (Log{
                      "pane2 http://127.0.0.1:9/news",
                      "pane3 https://127.0.0.1:9/group",
                      "tray+ " + Gbk("Orvanta运行中"),
                      "prefix ",
                      "read http://127.0.0.1:9/pointer",
                      "read http://127.0.0.1:9/pointer",
                      "pane1 http://a.example/",
                      "read http://127.0.0.1:9/pointer",
                      "pane2 http://127.0.0.1:9/news",
                      "browser http://127.0.0.1:9/upload",
                  }));
}

TEST_F(CompanionTest, EmptyOrMissingServiceEntriesKeepTheBuiltInAddresses) {
  struct Case {
    MakerPage page;
    std::string placeholder;
  };
  const Case cases[] = {{MakerPage::kPointer, kPointerPage},
                        {MakerPage::kNews, kNewsPage},
                        {MakerPage::kGroup, kGroupPage},
                        {MakerPage::kUpload, kUploadPage}};
  const std::string files[] = {"", Gbk("[服务]\r\n指针页=\r\n新闻页=\r\n群页=\r\n上传页=\r\n"),
                               Gbk("[前置]\r\n指针页=http://x/\r\n")};
  for (const auto& file : files) {
    WriteFile(file);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.placeholder + " with file " + file);
      EXPECT_EQ(MakerPageAddress(settings_, c.page), c.placeholder);
    }
  }
}

TEST_F(CompanionTest, UploadOpensTheUploadPageInTheDefaultBrowser) {
  Companion companion = Make();
  companion.OnUpload();
  EXPECT_EQ(log_, (Log{"browser " + kUploadPage}));
}

TEST_F(CompanionTest, OnlyALeftClickOnTheTrayIconBringsTheWindowBack) {
  struct Case {
    int type;
    Log expected;
  };
  const Case cases[] = {
      {1, {"show", "restore"}}, {2, {}}, {3, {}}, {0, {}}, {4, {}},
  };
  Companion companion = Make();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    size_t mark = log_.size();
    companion.OnTrayEvent(c.type);
    EXPECT_EQ(Since(mark), c.expected);
  }
}

TEST_F(CompanionTest, MinimizingHidesTheWindowAndOtherStateChangesDoNot) {
  Companion companion = Make();
  companion.OnWindowStateChanged(false);
  EXPECT_EQ(log_, Log{});
  companion.OnWindowStateChanged(true);
  EXPECT_EQ(log_, Log{"hide"});
}

TEST_F(CompanionTest, CloseQuestionNoHidesToTheTrayAndYesEndsTheProgram) {
  const std::string question =
      "question " +
      Gbk("Tunmoor提示：|您要关闭Orvanta吗？\r\nTunmoor建议您隐藏Selwick端。\r\n点否隐藏~~点是关闭~"
          "~");
  Companion companion = Make();

  view_.set_answer(Answer::kNo);
  companion.OnCloseRequested();
  EXPECT_EQ(log_, (Log{question, "minimize", "hide"}));

  size_t mark = log_.size();
  view_.set_answer(Answer::kYes);
  companion.OnCloseRequested();
  EXPECT_EQ(Since(mark), (Log{question, "quit"}));
}

TEST_F(CompanionTest, TrayIconComesBackWithANewTaskbarAndGoesAtTheEnd) {
  FeedPointer({"http://a.example/", "http://b.example/"});
  Companion companion = Make();
  companion.OnWindowCreated();
  size_t mark = log_.size();
  companion.OnTaskbarCreated();
  companion.OnEnd();
  EXPECT_EQ(Since(mark), (Log{"tray+ " + Gbk("Orvanta运行中"), "tray-"}));
  EXPECT_EQ(companion.latest_pointer(), "");
  EXPECT_EQ(companion.shown_pointer(), "");
}

TEST(IsWebAddressTest, OnlyHttpAndHttpsAddressesWithAHost) {
  struct Case {
    std::string text;
    bool web;
  };
  const Case cases[] = {
      {"http://a", true},
      {"HTTP://A.EXAMPLE/", true},
      {"https://a.example/b?c=d#e", true},
      {"hTTpS://a", true},
      {"http://127.0.0.1:8080/", true},
      {"", false},
      {"http://", false},
      {"https://", false},
      {"http:///c:/windows", false},
      {"http://\\\\server\\share", false},
      {"http:// a", false},
      {" http://a", false},
      {"http:a", false},
      {"httpx://a", false},
      {"file:///C:/windows/win.ini", false},
      {"javascript:alert(1)", false},
      {"about:blank", false},
      {"ftp://a", false},
      {"C:\\page.html", false},
      {"\\\\server\\share", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsWebAddress(c.text), c.web);
  }
}

}  // namespace
}  // namespace orvanta
