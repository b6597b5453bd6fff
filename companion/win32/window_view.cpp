#include "companion/win32/window_view.h"

#include <shellapi.h>

#include <cwchar>

#include "companion/win32/resource.h"

namespace orvanta {
namespace {

constexpr UINT kCodePageGbk = 936;
constexpr UINT kTrayIconId = 1;
constexpr UINT kQuestionFlags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
static_assert(kQuestionFlags == 292, "the close question's flags");

std::wstring LoadText(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length LoadStringW hands out a pointer into the resource.
  int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, length) : std::wstring();
}

struct ControlForm {
  int id;
  const wchar_t* window_class;  // null: a web pane
  DWORD style;
  UINT text_id;  // 0: no text
  int x, y, width, height;
};

// The window's controls in the order in which the form makes them. The
// timer 时钟2 comes between 标签7 and the first pane; it has no window.
constexpr ControlForm kControls[] = {
    {IDC_SAVE_BUTTON, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, IDS_SAVE, 240, 184, 96, 32},
    {IDC_PREFIX_EDIT, L"EDIT", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 240, 120, 96, 33},
    {IDC_PREFIX_LABEL, L"STATIC", SS_LEFT, IDS_PREFIX_LABEL, 0, 120, 336, 32},
    {IDC_POINTER_PANE, nullptr, 0, 0, -8, 120, 352, 120},
    {IDC_UPLOAD_BUTTON, L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP, IDS_UPLOAD, 296, 0,
     40, 112},
    {IDC_GROUP_LABEL, L"STATIC", SS_LEFT, IDS_GROUP_LABEL, 16, 96, 80, 24},
    {IDC_NEWS_PANE, nullptr, 0, 0, 0, 136, 8, 24},
    {IDC_GROUP_PANE, nullptr, 0, 0, 0, 0, 128, 120},
};

int PaneIndex(int id) {
  switch (id) {
    case IDC_POINTER_PANE:
      return static_cast<int>(Pane::kPointer);
    case IDC_NEWS_PANE:
      return static_cast<int>(Pane::kNews);
    default:
      return static_cast<int>(Pane::kGroup);
  }
}

}  // namespace

std::wstring WideFromGbk(std::string_view gbk) {
  if (gbk.empty()) return {};
  int size = static_cast<int>(gbk.size());
  int units = MultiByteToWideChar(kCodePageGbk, 0, gbk.data(), size, nullptr, 0);
  std::wstring wide(units > 0 ? units : 0, L'\0');
  if (units > 0) MultiByteToWideChar(kCodePageGbk, 0, gbk.data(), size, wide.data(), units);
  return wide;
}

Text GbkFromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  int size = static_cast<int>(wide.size());
  int bytes = WideCharToMultiByte(kCodePageGbk, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  Text gbk(bytes > 0 ? bytes : 0, '\0');
  if (bytes > 0)
    WideCharToMultiByte(kCodePageGbk, 0, wide.data(), size, gbk.data(), bytes, nullptr, nullptr);
  return gbk;
}

WindowView::~WindowView() { Close(); }

void WindowView::CreateControls(HWND window) {
  window_ = window;
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  // 9 points of the usual Chinese UI face; GB2312_CHARSET lets the system
  // pick another face with the same characters where SimSun is missing.
  font_ =
      CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"SimSun");
  for (const ControlForm& form : kControls) {
    HWND control;
    if (!form.window_class) {
      WebPane& pane = panes_[PaneIndex(form.id)];
      pane.Create(window, form.id, form.x, form.y, form.width, form.height);
      control = pane.window();
    } else {
      std::wstring text = form.text_id ? LoadText(instance, form.text_id) : std::wstring();
      control = CreateWindowExW(
          0, form.window_class, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | form.style,
          form.x, form.y, form.width, form.height, window,
          reinterpret_cast<HMENU>(static_cast<INT_PTR>(form.id)), instance, nullptr);
    }
    if (control && font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (form.id == IDC_PREFIX_EDIT) edit_ = control;
  }
  // Web pane 1 covers 标签7, 编辑框1 and 按钮2, and pane 3 covers 标签4: the
  // panes go below every other control so that those stay seen and clickable.
  for (const WebPane& pane : panes_) {
    if (pane.window()) {
      SetWindowPos(pane.window(), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  CentreOnScreen();
}

void WindowView::Close() {
  for (WebPane& pane : panes_) pane.Release();
  if (font_) {
    DeleteObject(font_);
    font_ = nullptr;
  }
  if (tray_icon_) {
    DestroyIcon(tray_icon_);
    tray_icon_ = nullptr;
  }
}

void WindowView::CentreOnScreen() {
  RECT rect;
  if (!window_ || !GetWindowRect(window_, &rect)) return;
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowView::AddTrayIcon(std::string_view tip) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  if (!tray_icon_) {
    tray_icon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ORVANTA), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  }
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  data.uCallbackMessage = WMAPP_NOTIFYCALLBACK;
  data.hIcon = tray_icon_;
  std::wstring wide_tip = WideFromGbk(tip);
  wcsncpy(data.szTip, wide_tip.c_str(), ARRAYSIZE(data.szTip) - 1);
  // After a spurious TaskbarCreated the icon may still be there: update it.
  tray_added_ = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
}

void WindowView::RemoveTrayIcon() {
  if (!tray_added_) return;
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kTrayIconId;
  Shell_NotifyIconW(NIM_DELETE, &data);
  tray_added_ = false;
}

void WindowView::SetPrefix(std::string_view prefix) {
  if (edit_) SetWindowTextW(edit_, WideFromGbk(prefix).c_str());
}

Text WindowView::Prefix() {
  if (!edit_) return {};
  int length = GetWindowTextLengthW(edit_);
  if (length <= 0) return {};
  std::wstring text(length + 1, L'\0');
  int got = GetWindowTextW(edit_, text.data(), length + 1);
  text.resize(got > 0 ? got : 0);
  return GbkFromWide(text);
}

void WindowView::Navigate(Pane pane, std::string_view address) {
  panes_[static_cast<int>(pane)].Navigate(WideFromGbk(address));
}

Answer WindowView::ShowMessage(std::string_view text, std::string_view title, MessageKind kind) {
  UINT flags = (kind == MessageKind::kQuestion ? kQuestionFlags : MB_OK) | MB_TASKMODAL;
  int answer = MessageBoxW(nullptr, WideFromGbk(text).c_str(), WideFromGbk(title).c_str(), flags);
  if (answer == IDYES) return Answer::kYes;
  if (answer == IDNO) return Answer::kNo;
  return Answer::kOk;
}

void WindowView::OpenInBrowser(std::string_view address) {
  ShellExecuteW(nullptr, L"open", WideFromGbk(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void WindowView::Show() { ShowWindow(window_, SW_SHOW); }

void WindowView::RestoreAndCentre() {
  if (IsIconic(window_) || IsZoomed(window_)) ShowWindow(window_, SW_RESTORE);
  CentreOnScreen();
}

void WindowView::Minimize() { ShowWindow(window_, SW_MINIMIZE); }

void WindowView::Hide() { ShowWindow(window_, SW_HIDE); }

void WindowView::Quit() { DestroyWindow(window_); }

}  // namespace orvanta
