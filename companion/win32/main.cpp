// The settings program Orvanta（限量版）: one window, a tray icon and a
// one-minute timer, all on this thread. The window procedure only dispatches
// to the behaviour (companion/companion.h).
#include <windows.h>
// after windows.h
#include <ole2.h>

#include "common/settings.h"
#include "companion/companion.h"
#include "companion/win32/resource.h"
#include "companion/win32/window_view.h"

namespace orvanta {
namespace {

constexpr wchar_t kWindowClass[] = L"OrvantaCompanionWindow";
UINT const kPointerPeriodMs = 60000;
// A fixed frame with the system menu and a minimize button, no maximize.
DWORD const kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct Program {
  WindowView view;
  Companion companion{view, SettingsFilePath(), ReadPageText};
  UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
};

int TrayEventType(LPARAM mouse_message) {
  switch (static_cast<UINT>(mouse_message)) {
    case WM_LBUTTONUP:
      return 1;
    case WM_LBUTTONDBLCLK:
      return 2;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      return 3;
    default:
      return 0;
  }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* program = reinterpret_cast<Program*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!program) return DefWindowProcW(window, message, wparam, lparam);

  switch (message) {
    case WM_CREATE:
      program->view.CreateControls(window);
      SetTimer(window, IDT_POINTER_TIMER, kPointerPeriodMs, nullptr);
      program->companion.OnWindowCreated();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) {
        if (LOWORD(wparam) == IDC_SAVE_BUTTON) program->companion.OnSave();
        if (LOWORD(wparam) == IDC_UPLOAD_BUTTON) program->companion.OnUpload();
      }
      return 0;
    case WM_TIMER:
      if (wparam == IDT_POINTER_TIMER) program->companion.OnTimer();
      return 0;
    case WMAPP_NOTIFYCALLBACK:
      if (int type = TrayEventType(lparam)) program->companion.OnTrayEvent(type);
      return 0;
    case WM_SIZE:
      program->companion.OnWindowStateChanged(wparam == SIZE_MINIMIZED);
      return 0;
    case WM_CLOSE:
      // Never closed by the default handler: only Yes in the question ends it.
      program->companion.OnCloseRequested();
      return 0;
    case WM_DESTROY:
      KillTimer(window, IDT_POINTER_TIMER);
      program->companion.OnEnd();
      program->view.Close();
      PostQuitMessage(0);
      return 0;
    default:
      if (message == program->taskbar_created && message != 0) {
        program->companion.OnTaskbarCreated();
        return 0;
      }
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

int Run(HINSTANCE instance, int show) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ORVANTA));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ORVANTA),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&window_class)) return 1;

  Program program;
  wchar_t title[64] = {};
  LoadStringW(instance, IDS_TITLE, title, ARRAYSIZE(title));
  // The form's place (50, 50) is replaced by centring as the window is made.
  HWND window = CreateWindowExW(0, kWindowClass, title, kWindowStyle, 50, 50, 342, 244, nullptr,
                                nullptr, instance, &program);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace
}  // namespace orvanta

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  // The web browser control wants an apartment-threaded OLE thread.
  HRESULT ole = OleInitialize(nullptr);
  int result = orvanta::Run(instance, show);
  if (SUCCEEDED(ole)) OleUninitialize();
  return result;
}
