#include "companion/win32/web_pane.h"

#include <exdisp.h>
#include <oleauto.h>

#include <string>

namespace orvanta {
namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

// atl.dll registers the "AtlAxWin" class once per process; null when the
// library or its entry points are missing.
AtlAxGetControlFn BrowserHost() {
  static AtlAxGetControlFn get_control = []() -> AtlAxGetControlFn {
    HMODULE atl = LoadLibraryW(L"atl.dll");
    if (!atl) return nullptr;
    auto init = reinterpret_cast<AtlAxWinInitFn>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    auto get = reinterpret_cast<AtlAxGetControlFn>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    if (!init || !get || !init()) return nullptr;
    return get;
  }();
  return get_control;
}

// WS_CLIPSIBLINGS: the controls above a pane keep their pixels when the
// browser paints.
constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

}  // namespace

void WebPane::Create(HWND parent, int id, int x, int y, int width, int height) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  HMENU menu_id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  if (AtlAxGetControlFn get_control = BrowserHost()) {
    // The window text names the control to create: the web browser.
    window_ = CreateWindowExW(0, L"AtlAxWin", L"Shell.Explorer.2", kPaneStyle, x, y, width, height,
                              parent, menu_id, instance, nullptr);
    IUnknown* control = nullptr;
    if (window_ && SUCCEEDED(get_control(window_, &control)) && control) {
      control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
      control->Release();
    }
    if (browser_) {
      browser_->put_Silent(VARIANT_TRUE);  // no script-error dialogs every minute
      return;
    }
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
  }
  window_ = CreateWindowExW(0, L"STATIC", L"", kPaneStyle, x, y, width, height, parent, menu_id,
                            instance, nullptr);
}

void WebPane::Navigate(std::wstring_view address) {
  if (!browser_) return;
  BSTR url = address.empty() ? SysAllocString(L"about:blank")
                             : SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
  if (!url) return;
  VARIANT none;
  VariantInit(&none);
  browser_->Navigate(url, &none, &none, &none, &none);
  SysFreeString(url);
}

void WebPane::Release() {
  if (browser_) {
    browser_->Release();
    browser_ = nullptr;
  }
}

}  // namespace orvanta
