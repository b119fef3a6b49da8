// The link panel and the dialogs alone, without the designer: every report is written to standard output
// as one line, and applied to the demo's own link so the panel shows it back as the designer would.
//   velmaro-design-panel-demo [--disc FOLDER] [--line "page|link|caption|...|"] [--none]
//   velmaro-design-panel-demo --startup [--disc FOLDER]
//   velmaro-design-panel-demo --browse picture|sound|program|any [--disc FOLDER]
#include <windows.h>

#include <cstdio>
#include <memory>

#include "tools/design/disc_file_dialog.h"
#include "tools/design/link_panel.h"
#include "tools/design/startup_dialog.h"

namespace {

void Say(const std::string& text) {
  std::fputs((text + "\n").c_str(), stdout);
  std::fflush(stdout);
}

const MenuLinkValues kSampleLink = {L"0",     L"0",   L"&Install", L"Verdana", L"1012",        L"16777215",
                                    L"65535", L"240", L"300",      L"0",       L"setup.exe -s"};

MenuLinkValues LinkFromLine(const Text& line) {
  MenuLinkValues values;
  std::size_t field = 0, start = 0;
  while (field < kMenuFieldCount && start <= line.size()) {
    std::size_t bar = line.find(L'|', start);
    values[field++] = line.substr(start, bar == Text::npos ? Text::npos : bar - start);
    if (bar == Text::npos) break;
    start = bar + 1;
  }
  return values;
}

// As `velmaro-author set` names the lines.
const char* KavoName(KavoLine line) {
  static const char* const names[] = {"flags", "splash", "launch", "menu", "music", "hover"};
  return names[static_cast<int>(line)];
}

Text CurrentFolder() {
  wchar_t buffer[MAX_PATH];
  DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
  return Text(buffer, length);
}

// The demo's stand-in for the designer: one window holding the panel.
class DemoWindow {
 public:
  DemoWindow(LinkPanelState state) : state_(std::move(state)) {}
  int Run();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Wire();
  void Apply(MenuField field, const Text& value);

  LinkPanelState state_;
  HWND window_ = nullptr;
  std::unique_ptr<LinkPanel> panel_;
};

void DemoWindow::Apply(MenuField field, const Text& value) {
  static const char* const names[kMenuFieldCount] = {
      "page", "link", "caption", "font", "style", "colour", "highlight", "left", "top", "action", "argument"};
  Say(std::string(names[static_cast<std::size_t>(field)]) + " = " + ToUtf8(value));
  if (state_.link) (*state_.link)[static_cast<std::size_t>(field)] = value;
}

void DemoWindow::Wire() {
  LinkPanel& panel = *panel_;
  panel.onFieldEdited = [this](MenuField field, const Text& value) {
    Apply(field, value);
    panel_->Show(state_);
  };
  panel.onFieldsEdited = [this](const FieldEdits& edits) {
    Say("group of " + std::to_string(edits.size()));
    for (const auto& edit : edits)
      Apply(edit.first, edit.second);
    panel_->Show(state_);
  };
  panel.onAddLink = [] { Say("add link"); };
  panel.onDuplicateLink = [] { Say("duplicate link"); };
  panel.onDeleteLink = [this] {
    Say("delete link");
    state_.link.reset();
    panel_->Show(state_);
  };
  panel.onAddPage = [] { Say("add page"); };
  panel.onDuplicatePage = [] { Say("duplicate page"); };
  panel.onDeletePage = [] { Say("delete page"); };
  panel.onShowPage = [this](int page) {
    Say("show page " + std::to_string(page));
    state_.shownPage = page;
  };
  panel.onStartupSettings = [this] {
    StartupSettings before;
    before.menu = true;
    before.menuPicture = L"images\\menu.png";
    std::optional<StartupSettings> after = EditStartupSettings(window_, state_.discFolder, before);
    if (!after) return Say("start-up cancelled");
    for (const auto& line : ChangedStartupLines(before, *after))
      Say(std::string("kavo ") + KavoName(line.first) + " = " + ToUtf8(line.second));
  };
}

LRESULT CALLBACK DemoWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* demo = reinterpret_cast<DemoWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_SIZE:
      if (demo && demo->panel_) {
        RECT area{0, 0, LOWORD(lParam), HIWORD(lParam)};
        demo->panel_->Move(area);
      }
      return 0;
    case WM_SETFOCUS:
      if (demo && demo->panel_) demo->panel_->Focus();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int DemoWindow::Run() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &DemoWindow::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = L"VelmaroPanelDemo";
  RegisterClassExW(&windowClass);
  window_ = CreateWindowExW(0, windowClass.lpszClassName, L"Link panel", WS_OVERLAPPEDWINDOW, 0, 0, 400, 700,
                            nullptr, nullptr, instance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  panel_ = std::make_unique<LinkPanel>(window_, 1);
  panel_->CreateControls();
  Wire();
  panel_->Show(state_);
  RECT frame{0, 0, 380, panel_->PreferredHeight(380)};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOMOVE);
  ShowWindow(window_, SW_SHOW);
  Say("ready");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (panel_->HandleDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

DiscFileKind KindNamed(const Text& name) {
  if (name == L"picture") return DiscFileKind::Picture;
  if (name == L"sound") return DiscFileKind::Sound;
  if (name == L"program") return DiscFileKind::Program;
  return DiscFileKind::AnyFile;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  LinkPanelState state;
  state.link = kSampleLink;
  state.discFolder = CurrentFolder();
  state.pages = {0, 1, 2};
  for (int i = 1; i < 50; ++i)
    state.freeLinkIndexes.push_back(i);
  Text mode, browseKind;
  for (int i = 1; i < argc; ++i) {
    Text argument = argv[i];
    bool hasValue = i + 1 < argc;
    if (argument == L"--disc" && hasValue) {
      state.discFolder = argv[++i];
    } else if (argument == L"--line" && hasValue) {
      state.link = LinkFromLine(argv[++i]);
    } else if (argument == L"--none") {
      state.link.reset();
    } else if (argument == L"--startup") {
      mode = argument;
    } else if (argument == L"--browse" && hasValue) {
      mode = argument;
      browseKind = argv[++i];
    } else {
      Say("unknown argument: " + ToUtf8(argument));
      return 2;
    }
  }
  if (mode == L"--browse") {
    std::optional<Text> chosen = BrowseDiscFile(nullptr, state.discFolder, KindNamed(browseKind), Text());
    Say(chosen ? "chosen " + ToUtf8(*chosen) : "cancelled");
    return 0;
  }
  if (mode == L"--startup") {
    StartupSettings before;
    before.splash = true;
    before.menu = true;
    before.splashPicture = L"images\\splash.png";
    before.menuPicture = L"images\\menu.png";
    std::optional<StartupSettings> after = EditStartupSettings(nullptr, state.discFolder, before);
    if (!after) {
      Say("cancelled");
      return 0;
    }
    for (const auto& line : ChangedStartupLines(before, *after))
      Say(std::string("kavo ") + KavoName(line.first) + " = " + ToUtf8(line.second));
    Say("ok");
    return 0;
  }
  DemoWindow demo(state);
  return demo.Run();
}
