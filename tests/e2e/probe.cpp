// Test probe: looks at another program's windows from inside the same Wine prefix.
// Reads one command per line on stdin and answers each with one JSON line on stdout,
// so the harness can keep a single probe running for the whole run.
//
//   windows NAME            top-level windows of every process whose exe is NAME
//   press HWND              press the OK button of a message box
//   close HWND              the close box: WM_SYSCOMMAND/SC_CLOSE
//   colours L T R B         colour histogram of a screen rectangle
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

std::string Press(HWND dlg) {
  HWND ok = GetDlgItem(dlg, IDOK);
  if (!ok) return "{\"ok\":false}";
  PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
  return "{\"ok\":true}";
}

std::string Colours(int l, int t, int r, int b) {
  int w = r - l, h = b - t;
  if (w <= 0 || h <= 0) return "{\"colours\":{}}";
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
  BitBlt(mem, 0, 0, w, h, screen, l, t, SRCCOPY);
  GdiFlush();
  std::map<unsigned, int> counts;
  const unsigned* px = static_cast<const unsigned*>(bits);
  for (int i = 0; i < w * h; ++i)
    ++counts[px[i] & 0xFFFFFF];
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
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
