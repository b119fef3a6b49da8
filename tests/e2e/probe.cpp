// Test probe: looks at another program's windows from inside the same Wine prefix.
// Reads one command per line on stdin and answers each with one JSON line on stdout,
// so the harness can keep a single probe running for the whole run.
//
//   windows NAME            top-level windows of every process whose exe is NAME
//   press HWND              press the OK button of a message box
//   close HWND              the close box: WM_SYSCOMMAND/SC_CLOSE
//   colours L T R B         colour histogram of a screen rectangle
//   pixels L T R B          every pixel of a screen rectangle, one hex row per line of pixels
//   text PX WEIGHT FACE|TEXT  TEXT drawn by this probe in FACE at PX pixels, white on the menu's navy
//   icon HWND               which stock icon a message box shows, by its pixels
//   logpixels DPI           the system DPI that processes started from now on read
//   move X Y | click X Y    pointer input through SendInput
//   cursor                  pointer position
//   kill NAME               end every process whose exe is NAME
//   procs                   every process, and the one that owns the desktop
//   killpid PID             end one process
//   alive PID               whether a process still runs
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

std::string Json(const std::wstring& w) {
  std::string out = "\"";
  for (unsigned char c : Utf8(w)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string Hex(unsigned long long v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "\"0x%llx\"", v);
  return buf;
}

std::string Rect(const RECT& r) {
  std::ostringstream o;
  o << "[" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "]";
  return o.str();
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

std::wstring TextOf(HWND h) {
  // The text kept with the window itself: unlike WM_GETTEXT this sends the watched program no
  // message, so looking never changes the timing of what is looked at.
  wchar_t buf[4096] = {};
  int n = InternalGetWindowText(h, buf, 4096);
  return std::wstring(buf, n > 0 ? n : 0);
}

std::vector<DWORD> ProcessesNamed(const std::wstring& name) {
  std::vector<DWORD> pids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return pids;
  PROCESSENTRY32W pe = {};
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
    if (lstrcmpiW(pe.szExeFile, name.c_str()) == 0) pids.push_back(pe.th32ProcessID);
  }
  CloseHandle(snap);
  return pids;
}

struct Child {
  std::wstring cls, text;
  LONG style;
  int id;
};

BOOL CALLBACK CollectChild(HWND h, LPARAM p) {
  auto* out = reinterpret_cast<std::vector<Child>*>(p);
  out->push_back({ClassOf(h), TextOf(h), GetWindowLongW(h, GWL_STYLE), GetDlgCtrlID(h)});
  return TRUE;
}

std::string Describe(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  RECT wr = {}, cr = {};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT origin = {0, 0};
  ClientToScreen(h, &origin);
  OffsetRect(&cr, origin.x, origin.y);
  std::wstring cls = ClassOf(h);
  std::ostringstream o;
  o << "{\"hwnd\":" << Hex(reinterpret_cast<ULONG_PTR>(h)) << ",\"pid\":" << pid << ",\"class\":" << Json(cls)
    << ",\"caption\":" << Json(TextOf(h))
    << ",\"style\":" << static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE))
    << ",\"exstyle\":" << static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE))
    << ",\"owner\":" << Hex(reinterpret_cast<ULONG_PTR>(GetWindow(h, GW_OWNER)))
    << ",\"visible\":" << (IsWindowVisible(h) ? "true" : "false") << ",\"rect\":" << Rect(wr)
    << ",\"client\":" << Rect(cr);
  if (cls == L"#32770") {
    std::vector<Child> kids;
    EnumChildWindows(h, CollectChild, reinterpret_cast<LPARAM>(&kids));
    std::wstring text;
    bool icon = false;
    std::string buttons;
    for (const Child& k : kids) {
      if (lstrcmpiW(k.cls.c_str(), L"Static") == 0) {
        if ((k.style & SS_TYPEMASK) == SS_ICON)
          icon = true;
        else if (k.text.size() > text.size())
          text = k.text;
      } else if (lstrcmpiW(k.cls.c_str(), L"Button") == 0 && (k.style & WS_VISIBLE)) {
        buttons += (buttons.empty() ? "" : ",") + Json(k.text);
      }
    }
    o << ",\"text\":" << Json(text) << ",\"icon\":" << (icon ? "true" : "false") << ",\"buttons\":["
      << buttons << "]";
  }
  return o.str() + "}";
}

struct Search {
  std::vector<DWORD> pids;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND h, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (std::find(s->pids.begin(), s->pids.end(), pid) != s->pids.end()) s->found.push_back(h);
  return TRUE;
}

std::string Windows(const std::wstring& name) {
  Search s;
  s.pids = ProcessesNamed(name);
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
  std::ostringstream o;
  o << "{\"pids\":[";
  for (size_t i = 0; i < s.pids.size(); ++i)
    o << (i ? "," : "") << s.pids[i];
  o << "],\"windows\":[";
  for (size_t i = 0; i < s.found.size(); ++i)
    o << (i ? "," : "") << Describe(s.found[i]);
  return o.str() + "]}";
}

HWND ParseHwnd(const std::string& s) {
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::stoull(s, nullptr, 0)));
}

// The child windows of a window with their text asked by WM_GETTEXT, which the system carries across
// processes: a status bar answers with its first part, which the window itself does not keep.
std::string Children(HWND parent) {
  std::vector<Child> kids;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&kids));
  std::vector<HWND> handles;
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&handles));
  std::ostringstream o;
  o << "{\"children\":[";
  for (size_t i = 0; i < handles.size() && i < kids.size(); ++i) {
    wchar_t buf[4096] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(handles[i], WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000,
                        &got);
    RECT r = {};
    GetWindowRect(handles[i], &r);
    o << (i ? "," : "") << "{\"hwnd\":" << Hex(reinterpret_cast<ULONG_PTR>(handles[i]))
      << ",\"class\":" << Json(kids[i].cls) << ",\"id\":" << kids[i].id << ",\"rect\":" << Rect(r)
      << ",\"style\":" << static_cast<unsigned long>(kids[i].style) << ",\"text\":" << Json(std::wstring(buf))
      << "}";
  }
  return o.str() + "]}";
}

std::string Press(HWND dlg) {
  HWND ok = GetDlgItem(dlg, IDOK);
  if (!ok) return "{\"ok\":false}";
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  return "{\"ok\":true}";
}

std::string Rows(const std::vector<unsigned>& px, int w, int h) {
  std::ostringstream o;
  o << "{\"w\":" << w << ",\"h\":" << h << ",\"rows\":[";
  for (int y = 0; y < h; ++y) {
    o << (y ? ",\"" : "\"");
    char buf[8];
    for (int x = 0; x < w; ++x) {
      std::snprintf(buf, sizeof buf, "%06x", px[y * w + x]);
      o << buf;
    }
    o << "\"";
  }
  return o.str() + "]}";
}

// Draws into a 32-bit DIB of w x h filled with bg and hands the pixels back as 0xRRGGBB.
template <typename Paint>
std::vector<unsigned> Render(int w, int h, COLORREF bg, Paint paint) {
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  HBRUSH brush = CreateSolidBrush(bg);
  RECT all = {0, 0, w, h};
  FillRect(mem, &all, brush);
  DeleteObject(brush);
  paint(mem);
  GdiFlush();
  std::vector<unsigned> out(static_cast<const unsigned*>(bits), static_cast<const unsigned*>(bits) + w * h);
  for (unsigned& p : out)
    p &= 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return out;
}

// Screen pixels as 0xRRGGBB, row by row.
std::vector<unsigned> Grab(int l, int t, int w, int h) {
  if (w <= 0 || h <= 0) return {};
  return Render(w, h, RGB(0, 0, 0), [&](HDC dc) {
    HDC screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, w, h, screen, l, t, SRCCOPY);
    ReleaseDC(nullptr, screen);
  });
}

// A reference for how a text of this face and pixel size looks when the font itself is that size.
std::string ReferenceText(int px, int weight, const std::wstring& face, const std::wstring& text) {
  LOGFONTW lf = {};
  lf.lfHeight = -px;
  lf.lfWeight = weight;
  lf.lfCharSet = ANSI_CHARSET;
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  int w = px * static_cast<int>(text.size()) + 2 * px, h = 2 * px;
  std::vector<unsigned> pixels = Render(w, h, RGB(0, 0, 0x80), [&](HDC dc) {
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT r = {px / 2, px / 2, w, h};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
  });
  DeleteObject(font);
  return Rows(pixels, w, h);
}

BOOL CALLBACK FindIconStatic(HWND h, LPARAM p) {
  if (lstrcmpiW(ClassOf(h).c_str(), L"Static") == 0 &&
      (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  return TRUE;
}

// Icon handles belong to the process that loaded them, so the box's icon is told by its pixels: each stock
// icon is drawn as the icon control draws it, over the control's own corner colour, and the differing
// pixels are counted.
std::string WhichIcon(HWND dlg) {
  HWND control = nullptr;
  EnumChildWindows(dlg, FindIconStatic, reinterpret_cast<LPARAM>(&control));
  if (!control) return "{\"icon\":null}";
  RECT r = {};
  GetWindowRect(control, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<unsigned> shown = Grab(r.left, r.top, w, h);
  if (shown.empty()) return "{\"icon\":null}";
  unsigned corner = shown[0];
  COLORREF bg = RGB(corner >> 16, (corner >> 8) & 0xFF, corner & 0xFF);
  const struct {
    const char* name;
    LPCSTR id;
  } stock[] = {{"hand", IDI_HAND},
               {"question", IDI_QUESTION},
               {"exclamation", IDI_EXCLAMATION},
               {"asterisk", IDI_ASTERISK},
               {"application", IDI_APPLICATION}};
  std::ostringstream o;
  o << "{\"pixels\":" << w * h << ",\"differ\":{";
  bool first = true;
  for (const auto& s : stock) {
    HICON icon = LoadIconA(nullptr, s.id);
    std::vector<unsigned> drawn =
        Render(w, h, bg, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL); });
    int differ = 0;
    for (int i = 0; i < w * h; ++i) {
      int d = 0;
      for (int shift = 0; shift < 24; shift += 8)
        d = std::max(d, std::abs(static_cast<int>((shown[i] >> shift) & 0xFF) -
                                 static_cast<int>((drawn[i] >> shift) & 0xFF)));
      if (d > 24) ++differ;
    }
    o << (first ? "" : ",") << "\"" << s.name << "\":" << differ;
    first = false;
  }
  return o.str() + "}}";
}

std::string SetLogPixels(DWORD dpi) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return "{\"ok\":false}";
  LONG rc = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
  return std::string("{\"ok\":") + (rc == ERROR_SUCCESS ? "true" : "false") + "}";
}

std::string Colours(int l, int t, int r, int b) {
  std::map<unsigned, int> counts;
  for (unsigned p : Grab(l, t, r - l, b - t))
    ++counts[p];
  std::ostringstream o;
  o << "{\"colours\":{";
  bool first = true;
  for (const auto& c : counts) {
    char key[16];
    std::snprintf(key, sizeof key, "%06x", c.first);  // DIB order is 0xRRGGBB
    o << (first ? "" : ",") << "\"" << key << "\":" << c.second;
    first = false;
  }
  return o.str() + "}}";
}

void Pointer(int x, int y, bool click) {
  SetCursorPos(x, y);
  INPUT in[3] = {};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dx = (x * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in[0].mi.dy = (y * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].type = in[2].type = INPUT_MOUSE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(click ? 3 : 1, in, sizeof(INPUT));
}

std::string Kill(const std::wstring& name) {
  int n = 0;
  for (DWORD pid : ProcessesNamed(name)) {
    HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (p && TerminateProcess(p, 1)) ++n;
    if (p) CloseHandle(p);
  }
  return "{\"killed\":" + std::to_string(n) + "}";
}

std::string Procs() {
  std::ostringstream o;
  DWORD desktop = 0;
  GetWindowThreadProcessId(GetDesktopWindow(), &desktop);
  o << "{\"self\":" << GetCurrentProcessId() << ",\"desktop\":" << desktop << ",\"procs\":[";
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W pe = {};
  pe.dwSize = sizeof pe;
  bool first = true;
  for (BOOL ok = snap != INVALID_HANDLE_VALUE && Process32FirstW(snap, &pe); ok;
       ok = Process32NextW(snap, &pe)) {
    o << (first ? "" : ",") << "{\"pid\":" << pe.th32ProcessID << ",\"name\":" << Json(pe.szExeFile) << "}";
    first = false;
  }
  if (snap != INVALID_HANDLE_VALUE) CloseHandle(snap);
  return o.str() + "]}";
}

std::string KillPid(DWORD pid) {
  HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
  bool ok = p && TerminateProcess(p, 1);
  if (p) CloseHandle(p);
  return std::string("{\"killed\":") + (ok ? "1" : "0") + "}";
}

std::string Alive(DWORD pid) {
  HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, pid);
  bool alive = p && WaitForSingleObject(p, 0) == WAIT_TIMEOUT;
  if (p) CloseHandle(p);
  return std::string("{\"alive\":") + (alive ? "true" : "false") + "}";
}

std::wstring Wide(const std::string& s) {
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::string Handle(const std::string& line) {
  std::istringstream in(line);
  std::string cmd;
  in >> cmd;
  if (cmd == "ping") return "{\"ok\":true}";
  if (cmd == "windows" || cmd == "kill") {
    std::string name;
    in >> name;
    return cmd == "windows" ? Windows(Wide(name)) : Kill(Wide(name));
  }
  if (cmd == "chars") {
    // Characters the keyboard of the virtual display has no key for, as the messages a keyboard layout
    // of that script would give the window.
    std::string h, text;
    in >> h;
    std::getline(in >> std::ws, text);
    for (wchar_t c : Wide(text))
      PostMessageW(ParseHwnd(h), WM_CHAR, c, 1);
    return "{\"ok\":true}";
  }
  if (cmd == "children") {
    std::string h;
    in >> h;
    return Children(ParseHwnd(h));
  }
  if (cmd == "press" || cmd == "close") {
    std::string h;
    in >> h;
    if (cmd == "press") return Press(ParseHwnd(h));
    PostMessageW(ParseHwnd(h), WM_SYSCOMMAND, SC_CLOSE, 0);
    return "{\"ok\":true}";
  }
  if (cmd == "colours") {
    int l, t, r, b;
    in >> l >> t >> r >> b;
    return Colours(l, t, r, b);
  }
  if (cmd == "pixels") {
    int l, t, r, b;
    in >> l >> t >> r >> b;
    return Rows(Grab(l, t, r - l, b - t), r - l, b - t);
  }
  if (cmd == "text") {
    int px, weight;
    in >> px >> weight;
    std::string rest;
    std::getline(in >> std::ws, rest);
    size_t bar = rest.find('|');
    return ReferenceText(px, weight, Wide(rest.substr(0, bar)), Wide(rest.substr(bar + 1)));
  }
  if (cmd == "icon") {
    std::string h;
    in >> h;
    return WhichIcon(ParseHwnd(h));
  }
  if (cmd == "resize") {
    // The window's outer size, as the user drags its frame.
    std::string h;
    int w, hgt;
    in >> h >> w >> hgt;
    SetWindowPos(ParseHwnd(h), nullptr, 0, 0, w, hgt, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return "{\"ok\":true}";
  }
  if (cmd == "focus") {
    // The window with the keyboard focus in the thread of the given window.
    std::string h;
    in >> h;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(ParseHwnd(h), nullptr);
    if (!GetGUIThreadInfo(thread, &info)) return "{\"focus\":null}";
    return "{\"focus\":" + Hex(reinterpret_cast<ULONG_PTR>(info.hwndFocus)) + "}";
  }
  if (cmd == "send") {
    // A message without pointers, answered by the window's own procedure.
    std::string h;
    unsigned long message = 0, wParam = 0;
    long lParam = 0;
    in >> h >> std::hex >> message >> wParam >> lParam;
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutW(ParseHwnd(h), message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return "{\"ok\":" + std::string(ok ? "true" : "false") +
           ",\"result\":" + std::to_string(static_cast<long long>(result)) + "}";
  }
  if (cmd == "logpixels") {
    unsigned long dpi = 96;
    in >> dpi;
    return SetLogPixels(dpi);
  }
  if (cmd == "move" || cmd == "click") {
    int x, y;
    in >> x >> y;
    Pointer(x, y, cmd == "click");
    return "{\"ok\":true}";
  }
  if (cmd == "cursor") {
    POINT p = {};
    GetCursorPos(&p);
    return "{\"x\":" + std::to_string(p.x) + ",\"y\":" + std::to_string(p.y) + "}";
  }
  if (cmd == "alive" || cmd == "killpid") {
    unsigned long pid = 0;
    in >> pid;
    return cmd == "alive" ? Alive(pid) : KillPid(pid);
  }
  if (cmd == "procs") return Procs();
  return "{\"error\":\"unknown command\"}";
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "quit") break;
    std::string reply;
    try {
      reply = Handle(line);
    } catch (const std::exception& e) {
      reply = "{\"error\":" + Json(Wide(e.what())) + "}";
    }
    std::fputs((reply + "\n").c_str(), stdout);
    std::fflush(stdout);
  }
  return 0;
}
