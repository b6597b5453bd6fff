// The settings program's behaviour: what its window does at start, on every
// button, timer tick and tray event, and at the end. It knows the window only
// through CompanionView, so tests drive it with a fake view; the program's
// real view is the Win32 window in companion/win32/.
#pragma once

#include <functional>
#include <string_view>

#include "common/text.h"

namespace orvanta {

// The three web panes, in the order of their controls (超文本浏览框1, 2, 3).
enum class Pane { kPointer, kNews, kGroup };

// kNotice: an OK button. kQuestion: Yes and No, the question icon, No as the
// default button. Every message box is task-modal and has no owner.
enum class MessageKind { kNotice, kQuestion };
enum class Answer { kOk, kYes, kNo };

// What the behaviour asks of the window. Texts cross this boundary as GBK.
class CompanionView {
 public:
  virtual ~CompanionView() = default;

  virtual void AddTrayIcon(std::string_view tip) = 0;
  virtual void RemoveTrayIcon() = 0;
  virtual void SetPrefix(std::string_view prefix) = 0;  // the edit box 编辑框1
  virtual Text Prefix() = 0;
  // Loads address in the pane, also when it is the address already shown; an
  // empty address leaves the pane blank.
  virtual void Navigate(Pane pane, std::string_view address) = 0;
  virtual Answer ShowMessage(std::string_view text, std::string_view title, MessageKind kind) = 0;
  virtual void OpenInBrowser(std::string_view address) = 0;  // default browser, not waited for
  virtual void Show() = 0;
  virtual void RestoreAndCentre() = 0;  // out of minimized or maximized, centred on the screen
  virtual void Minimize() = 0;
  virtual void Hide() = 0;  // no taskbar button while hidden
  virtual void Quit() = 0;  // ends the program; OnEnd runs on the way out
};

// Reads a page's body as text (cut at its first zero byte); empty on failure.
using PageTextReader = std::function<Text(std::string_view address)>;
// WriteSetting's shape, so that a test can see what a save hands it.
using SettingWriter = std::function<bool(std::string_view file, std::string_view section,
                                         std::string_view key, std::string_view value)>;

// The real reader: BytesToText(ReadPage(address)).
Text ReadPageText(std::string_view address);

// True for an address that the embedded browser may be sent to: an http or
// https scheme (any letter case) followed by a host. Anything else, "file:",
// "javascript:" or a bare path, could make the pane open local files or run
// script on the strength of a remote page.
bool IsWebAddress(std::string_view text);

// The maker's pages. The built-in addresses are placeholders that resolve
// nowhere; a non-empty value of the settings file's section "服务" under the
// key "指针页", "新闻页", "群页" or "上传页" replaces each one. Read at every
// use, like every other setting.
enum class MakerPage { kPointer, kNews, kGroup, kUpload };
Text MakerPageAddress(std::string_view settings_file, MakerPage page);

class Companion {
 public:
  // settings_file: SettingsFilePath() in the program. write_setting left
  // empty means WriteSetting.
  Companion(CompanionView& view, Text settings_file, PageTextReader read_page,
            SettingWriter write_setting = nullptr);

  // The window and its controls exist: give panes 2 and 3 their addresses,
  // add the tray icon, fill the edit box and point pane 1 at the pointer text.
  void OnWindowCreated();
  void OnSave();
  void OnUpload();
  void OnTimer();  // every 60000 ms
  // 1: left button released over the icon; 2: left double-click; 3: right
  // button released or context menu. Only 1 brings the window back.
  void OnTrayEvent(int type);
  // The shell's taskbar was re-created (for instance after a crash of the
  // shell): the old tray icon is gone with it.
  void OnTaskbarCreated();
  void OnWindowStateChanged(bool minimized);
  void OnCloseRequested();
  void OnEnd();

  const Text& latest_pointer() const { return latest_pointer_; }
  const Text& shown_pointer() const { return shown_pointer_; }

 private:
  void ShowPointer();

  CompanionView& view_;
  Text settings_file_;
  PageTextReader read_page_;
  SettingWriter write_setting_;
  Text latest_pointer_;  // the pointer text read last
  Text shown_pointer_;   // the pointer text pane 1 was last sent to
};

}  // namespace orvanta
