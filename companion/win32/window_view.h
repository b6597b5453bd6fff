// The settings window as the behaviour's view: controls at the places of the
// window's form, the tray icon and the message boxes. Texts arrive as GBK and
// are converted once, here, for the wide Windows calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "companion/companion.h"
#include "companion/win32/web_pane.h"

namespace orvanta {

std::wstring WideFromGbk(std::string_view gbk);
Text GbkFromWide(std::wstring_view wide);

class WindowView final : public CompanionView {
 public:
  WindowView() = default;
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;
  ~WindowView() override;

  // Makes the controls inside window, in the form's order, and centres it.
  void CreateControls(HWND window);
  // Lets go of the browsers and the font; the window is being destroyed.
  void Close();
  void CentreOnScreen();

  void AddTrayIcon(std::string_view tip) override;
  void RemoveTrayIcon() override;
  void SetPrefix(std::string_view prefix) override;
  Text Prefix() override;
  void Navigate(Pane pane, std::string_view address) override;
  Answer ShowMessage(std::string_view text, std::string_view title, MessageKind kind) override;
  void OpenInBrowser(std::string_view address) override;
  void Show() override;
  void RestoreAndCentre() override;
  void Minimize() override;
  void Hide() override;
  void Quit() override;

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
  HFONT font_ = nullptr;
  HICON tray_icon_ = nullptr;
  bool tray_added_ = false;
  WebPane panes_[3];  // in the order of Pane
};

}  // namespace orvanta
