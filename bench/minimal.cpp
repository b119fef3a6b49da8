// The floor of the start-up benchmark: plain Win32 and GDI showing menu.bmp of the program's folder in a
// window of its size, with the same 20 texts drawn over it as the benchmark's menu.inf gives velmaro.exe.
#include <windows.h>

#include "layout.h"

namespace {

HBITMAP picture;
BITMAP size;

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  HDC memory = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(memory, picture);
  BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);

  HFONT font =
      CreateFontW(-kBenchLinkPixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Verdana");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kBenchLinkColour);
  for (int i = 0; i < kBenchLinks; ++i) {
    std::wstring caption = BenchLinkCaption(i);
    TextOutW(dc, BenchLinkLeft(i) / 15, BenchLinkTop(i) / 15, caption.c_str(),
             static_cast<int>(caption.size()));
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  while (n > 0 && path[n - 1] != L'\\')
    --n;
  lstrcpyW(path + n, L"menu.bmp");
  picture = static_cast<HBITMAP>(LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!picture) return 1;
  GetObjectW(picture, sizeof size, &size);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = L"MinimalMenu";
  RegisterClassExW(&wc);

  const DWORD style = WS_CAPTION | WS_SYSMENU, exStyle = WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;
  RECT r{0, 0, size.bmWidth, size.bmHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  HWND hwnd = CreateWindowExW(exStyle, wc.lpszClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, show);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
