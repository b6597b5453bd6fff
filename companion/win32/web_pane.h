// A web pane of the settings window: the system's web browser control hosted
// in an "AtlAxWin" window from atl.dll, loaded at run time. Where the control
// cannot be made (no atl.dll, no browser engine) the pane is a blank static
// control, so the program still runs.
#pragma once

#include <windows.h>

#include <string_view>

struct IWebBrowser2;

namespace orvanta {

class WebPane {
 public:
  WebPane() = default;
  WebPane(const WebPane&) = delete;
  WebPane& operator=(const WebPane&) = delete;
  ~WebPane() { Release(); }

  // Creates the pane as a child of parent at the given place and size.
  void Create(HWND parent, int id, int x, int y, int width, int height);
  // Loads address, also when it is the one shown; empty gives a blank page.
  void Navigate(std::wstring_view address);
  // Lets go of the browser before its window is destroyed with the parent.
  void Release();

  HWND window() const { return window_; }
  bool has_browser() const { return browser_ != nullptr; }

 private:
  HWND window_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
};

}  // namespace orvanta
