// Drives the settings program's real window from outside, as a user would:
// finds it, checks its controls, saves a prefix through it, answers its
// message boxes and sends tray events. Run under wine by window_test.sh with
// the steps to take; each failed check prints a line and the step fails.
//
//   window_probe STEP...   prepare start start-by-plugin layout save
//                          descriptor tick tray close restart-by-plugin
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "companion/win32/resource.h"

namespace {

int failures = 0;

void Fail(const std::string& what) {
  std::printf("FAIL: %s\n", what.c_str());
  std::fflush(stdout);
  ++failures;
}

void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

// UTF-8 source texts to the GBK bytes that the ANSI calls see under code page 936.
std::string Gbk(const char* utf8) {
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  std::wstring wide(units, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide.data(), units);
  int bytes = WideCharToMultiByte(936, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string gbk(bytes, '\0');
  WideCharToMultiByte(936, 0, wide.c_str(), -1, gbk.data(), bytes, nullptr, nullptr);
  gbk.resize(bytes > 0 ? bytes - 1 : 0);
  return gbk;
}

// Hex of a GBK text, so failure lines stay readable in any terminal.
std::string Show(const std::string& bytes) {
  std::string out;
  char buf[4];
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7f) {
      out += static_cast<char>(c);
    } else {
      std::snprintf(buf, sizeof buf, "%02X", c);
      out += std::string("\\x") + buf;
    }
  }
  return out;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeout_ms = 20000) {
  DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(100);
  }
  return true;
}

std::string RunDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of("\\/"));
}

std::string SettingsFile() { return RunDirectory() + "\\config\\Orvanta.vt"; }

// WM_GETTEXT, not GetWindowText: for a control of another process the latter
// gives only the text the control was created with.
std::string TextOf(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

const std::string kTitle = Gbk("OrvantaV1.2.0（限量版）");
const std::string kInitialPrefix = Gbk("旧前缀");
// 禱 and 磡 end in the bytes of '\' and '|'.
const std::string kSavedPrefix = Gbk("Orvanta小O禱磡");

HWND FindCompanion() { return FindWindowA(nullptr, kTitle.c_str()); }

HWND WaitForCompanion() {
  HWND window = nullptr;
  WaitFor([&] { return (window = FindCompanion()) != nullptr && IsWindowVisible(window); }, 60000);
  return window;
}

BOOL CALLBACK CountIfCompanion(HWND window, LPARAM counter) {
  if (TextOf(window) == kTitle) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int CountCompanionWindows() {
  int count = 0;
  EnumWindows(CountIfCompanion, reinterpret_cast<LPARAM>(&count));
  return count;
}

HWND WaitForMessageBox(const std::string& title) {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindWindowA("#32770", title.c_str())) != nullptr; });
  return box;
}

void Answer(HWND box, int button) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  Check(WaitFor([&] { return !IsWindow(box); }), "the message box goes away after its answer");
}

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool IsCentred(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
  return rect.left == x && rect.top == y;
}

// --- steps -------------------------------------------------------------------

// A settings file with a prefix to show, and the maker's pages on a port
// where nothing listens, so every page read fails at once.
void Prepare() {
  CreateDirectoryA((RunDirectory() + "\\config").c_str(), nullptr);
  DeleteFileA(SettingsFile().c_str());
  std::string file = SettingsFile();
  WritePrivateProfileStringA(Gbk("前置").c_str(), Gbk("格式").c_str(), kInitialPrefix.c_str(),
                             file.c_str());
  const char* keys[] = {"指针页", "新闻页", "群页", "上传页"};
  for (const char* key : keys) {
    WritePrivateProfileStringA(Gbk("服务").c_str(), Gbk(key).c_str(), "http://127.0.0.1:9/",
                               file.c_str());
  }
}

// Started the way the plug-in starts it: by its GBK name under code page 936.
void Start() {
  std::string program = RunDirectory() + "\\" + Gbk("Orvanta（限量版）.exe");
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    Fail("CreateProcessA " + Show(program) + " error " + std::to_string(GetLastError()));
    return;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Check(WaitForCompanion() != nullptr, "the window shows after the start");
}

std::vector<std::string> Descriptor() {
  HMODULE plugin = LoadLibraryA((RunDirectory() + "\\Orvanta.cqp").c_str());
  if (!plugin) {
    Fail("LoadLibraryA Orvanta.cqp");
    return {};
  }
  using InfoFn = const char*(__stdcall*)();
  auto info = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(plugin, "info")));
  std::vector<std::string> lines;
  if (!info) {
    Fail("the plug-in exports info");
  } else if (const char* text = info()) {
    std::string all = text;
    for (size_t start = 0, end; (end = all.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
      lines.push_back(all.substr(start, end - start));
    }
  }
  FreeLibrary(plugin);
  Check(lines.size() == 10, "the descriptor has ten lines, got " + std::to_string(lines.size()));
  return lines;
}

void CheckPrefixLine(const std::string& expected) {
  std::vector<std::string> lines = Descriptor();
  if (lines.size() >= 5) {
    Check(lines[4] == expected,
          "descriptor line 5 is " + Show(expected) + ", got " + Show(lines[4]));
  }
}

// The plug-in finds no companion running and starts it from its run directory.
void StartByPluginShowing(const std::string& prefix) {
  Check(FindCompanion() == nullptr, "no companion runs before the descriptor request");
  CheckPrefixLine(prefix);
  Check(WaitForCompanion() != nullptr, "the plug-in started the companion");
}

void StartByPlugin() { StartByPluginShowing(kInitialPrefix); }

struct ControlForm {
  int id;
  const char* window_class;  // null: a web pane, whatever hosts it
  int x, y, width, height;
  const char* text;  // UTF-8; null: not checked
};

const ControlForm kControls[] = {
    {IDC_SAVE_BUTTON, "Button", 240, 184, 96, 32, "保存我的配置"},
    {IDC_PREFIX_EDIT, "Edit", 240, 120, 96, 33, "旧前缀"},
    {IDC_PREFIX_LABEL, "Static", 0, 120, 336, 32, "聊天前缀：（不填写则停用本地词库与插件）"},
    {IDC_POINTER_PANE, nullptr, -8, 120, 352, 120, nullptr},
    {IDC_UPLOAD_BUTTON, "Button", 296, 0, 40, 112, "传音乐"},
    {IDC_GROUP_LABEL, "Static", 16, 96, 80, 24, "点击VT加群！"},
    {IDC_NEWS_PANE, nullptr, 0, 136, 8, 24, nullptr},
    {IDC_GROUP_PANE, nullptr, 0, 0, 128, 120, nullptr},
};

void Layout() {
  HWND window = WaitForCompanion();
  if (!window) return Fail("no window titled " + Show(kTitle));
  RECT rect;
  GetWindowRect(window, &rect);
  Check(rect.right - rect.left == 342 && rect.bottom - rect.top == 244,
        "the window is 342 x 244, got " + std::to_string(rect.right - rect.left) + " x " +
            std::to_string(rect.bottom - rect.top));
  Check(IsCentred(window), "the window is centred on the screen");
  LONG style = GetWindowLongA(window, GWL_STYLE);
  Check((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_MINIMIZEBOX),
        "title bar, system menu and minimize button");
  Check(!(style & WS_MAXIMIZEBOX) && !(style & WS_THICKFRAME), "no maximize button, fixed frame");
  Check(!(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST), "not kept on top");

  for (const ControlForm& form : kControls) {
    std::string name = "control " + std::to_string(form.id);
    HWND control = GetDlgItem(window, form.id);
    if (!control) {
      Fail(name + " exists");
      continue;
    }
    Check(IsWindowVisible(control), name + " is visible");
    RECT place = ClientRectOf(control);
    Check(place.left == form.x && place.top == form.y && place.right - place.left == form.width &&
              place.bottom - place.top == form.height,
          name + " lies at its place with its size, got " + std::to_string(place.left) + "," +
              std::to_string(place.top) + " " + std::to_string(place.right - place.left) + "x" +
              std::to_string(place.bottom - place.top));
    char class_name[64] = {};
    GetClassNameA(control, class_name, sizeof class_name);
    if (form.window_class) {
      Check(lstrcmpiA(class_name, form.window_class) == 0,
            name + " is a " + form.window_class + ", got " + class_name);
    } else {
      std::printf("pane %d is hosted by %s\n", form.id, class_name);
    }
    if (form.text) {
      Check(TextOf(control) == Gbk(form.text),
            name + " says " + Show(Gbk(form.text)) + ", got " + Show(TextOf(control)));
    }
  }

  // What lies on top where the controls overlap: the point in the middle of
  // each covered control must reach that control, not the pane below it.
  const int covered[] = {IDC_SAVE_BUTTON, IDC_PREFIX_EDIT, IDC_PREFIX_LABEL, IDC_GROUP_LABEL};
  for (int id : covered) {
    HWND control = GetDlgItem(window, id);
    RECT place = ClientRectOf(control);
    POINT middle = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    Check(ChildWindowFromPointEx(window, middle, CWP_SKIPINVISIBLE) == control,
          "control " + std::to_string(id) + " is above the web pane under it");
  }
  POINT in_pane_one = {100, 200};
  Check(ChildWindowFromPointEx(window, in_pane_one, CWP_SKIPINVISIBLE) ==
            GetDlgItem(window, IDC_POINTER_PANE),
        "web pane 1 shows below the saved controls");

  std::printf("window %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
}

void Save() {
  HWND window = FindCompanion();
  if (!window) return Fail("the window is there to save");
  HWND edit = GetDlgItem(window, IDC_PREFIX_EDIT);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSavedPrefix.c_str()));
  // Posted: the click shows a modal message box, which a sent message would wait for.
  PostMessageA(GetDlgItem(window, IDC_SAVE_BUTTON), BM_CLICK, 0, 0);
  HWND box = WaitForMessageBox(Gbk("Selwick端提示："));
  if (!box) return Fail("the saved notice shows");
  Check(TextOf(GetDlgItem(box, 0xFFFF)) == Gbk("已保存配置！"), "the notice says it saved");
  Check(GetDlgItem(box, IDOK) && !GetDlgItem(box, IDYES), "the notice has one OK button");
  Check(!IsWindowEnabled(window), "the notice is task-modal: the window waits for it");

  char value[256] = {};
  GetPrivateProfileStringA(Gbk("前置").c_str(), Gbk("格式").c_str(), "", value, sizeof value,
                           SettingsFile().c_str());
  Check(value == kSavedPrefix, "the settings file holds the saved prefix, got " + Show(value));
  Answer(box, IDOK);
  Check(IsWindowEnabled(window) && IsWindowVisible(window), "the window is back after the notice");
}

void DescriptorShowsSavedPrefix() {
  CheckPrefixLine(kSavedPrefix);
  Check(CountCompanionWindows() == 1, "the running companion is not started a second time");
}

void Tray() {
  HWND window = FindCompanion();
  if (!window) return Fail("the window is there to minimize");
  PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Check(WaitFor([&] { return !IsWindowVisible(window); }), "minimizing hides the window");

  const UINT ignored[] = {WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_CONTEXTMENU, WM_MOUSEMOVE};
  for (UINT mouse : ignored) {
    PostMessageA(window, WMAPP_NOTIFYCALLBACK, 1, mouse);
    Sleep(300);
    Check(!IsWindowVisible(window), "tray event " + std::to_string(mouse) + " leaves it hidden");
  }
  PostMessageA(window, WMAPP_NOTIFYCALLBACK, 1, WM_LBUTTONUP);
  Check(WaitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }),
        "a left click on the tray icon brings the window back restored");
  Check(IsCentred(window), "and centred");
}

// Two timer ticks read the (unreachable) pointer page and reload the panes;
// the window must come out of them answering.
void Tick() {
  HWND window = FindCompanion();
  if (!window) return Fail("the window is there to tick");
  for (int i = 0; i < 2; ++i) PostMessageA(window, WM_TIMER, IDT_POINTER_TIMER, 0);
  DWORD_PTR result = 0;
  Check(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0,
        "the window answers after two ticks");
  Check(IsWindowVisible(window), "and is still shown");
}

void CloseAnswering(HWND window, int button) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  HWND box = WaitForMessageBox(Gbk("Tunmoor提示："));
  if (!box) return Fail("the close question shows");
  Check(TextOf(GetDlgItem(box, 0xFFFF)) ==
            Gbk("您要关闭Orvanta吗？\r\nTunmoor建议您隐藏Selwick端。\r\n点否隐藏~~点是关闭~~"),
        "the close question's text");
  Check(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK),
        "the close question has Yes and No");
  auto is_default = [box](int id) {
    return (GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  };
  Check(is_default(IDNO) && !is_default(IDYES), "No is the default button");
  Check(!IsWindowEnabled(window), "the close question is task-modal");
  Answer(box, button);
}

void Close() {
  HWND window = FindCompanion();
  if (!window) return Fail("the window is there to close");
  CloseAnswering(window, IDNO);
  Check(WaitFor([&] { return !IsWindowVisible(window); }), "No hides the window");
  Check(IsWindow(window), "No leaves the program running");
  CloseAnswering(window, IDYES);
  Check(WaitFor([&] { return !IsWindow(window); }), "Yes ends the program");
}

// After Yes the next descriptor request starts the companion again.
void RestartByPlugin() {
  StartByPluginShowing(kSavedPrefix);
  if (HWND window = FindCompanion()) {
    Check(TextOf(GetDlgItem(window, IDC_PREFIX_EDIT)) == kSavedPrefix,
          "the restarted window shows the saved prefix");
    CloseAnswering(window, IDYES);
  }
  Check(WaitFor([] { return FindCompanion() == nullptr; }), "the restarted companion ends again");
}

}  // namespace

int main(int argc, char** argv) {
  struct Step {
    const char* name;
    void (*run)();
  };
  const Step steps[] = {
      {"prepare", Prepare},
      {"start", Start},
      {"start-by-plugin", StartByPlugin},
      {"layout", Layout},
      {"save", Save},
      {"descriptor", DescriptorShowsSavedPrefix},
      {"tick", Tick},
      {"tray", Tray},
      {"close", Close},
      {"restart-by-plugin", RestartByPlugin},
  };
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const Step& step : steps) {
      if (std::strcmp(argv[i], step.name) == 0) {
        known = true;
        int before = failures;
        step.run();
        std::printf("%s: %s\n", step.name, failures == before ? "ok" : "FAILED");
        std::fflush(stdout);
      }
    }
    if (!known) Fail(std::string("unknown step ") + argv[i]);
  }
  return failures ? 1 : 0;
}
