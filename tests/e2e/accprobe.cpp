// Reads a window's accessible client object from another process, as a screen reader does.
//
//   accprobe HWND          one JSON line: the child count and, per child, name, role, state, location,
//                          keyboard shortcut and default action; the object's focus
//   accprobe HWND do N [M ...]   performs the default action of child N, then of M, ... one call straight
//                                after the other; {"hr": first result, "all": [every result]}
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Json(const wchar_t* w) {
  if (!w) return "null";
  int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, nullptr, nullptr);
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string Text(HRESULT hr, BSTR b) {
  std::string s = hr == S_OK ? Json(b) : "null";
  if (b) SysFreeString(b);
  return s;
}

VARIANT Child(LONG id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoull(argv[1], nullptr, 16)));
  CoInitialize(nullptr);
  IAccessible* acc = nullptr;
  // Not IID_IAccessible: the x86_64 oleacc import library resolves that name to a jump thunk, not the GUID.
  HRESULT hr = AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&acc));
  if (FAILED(hr) || !acc) {
    std::printf("{\"error\":\"AccessibleObjectFromWindow 0x%08lx\"}\n", static_cast<unsigned long>(hr));
    return 1;
  }
  if (argc >= 4 && std::string(argv[2]) == "do") {
    std::string all;
    long first = 0;
    for (int i = 3; i < argc; ++i) {
      long result = static_cast<long>(acc->accDoDefaultAction(Child(std::atol(argv[i]))));
      if (i == 3) first = result;
      all += (i > 3 ? "," : "") + std::to_string(result);
    }
    std::printf("{\"hr\":%ld,\"all\":[%s]}\n", first, all.c_str());
    acc->Release();
    return 0;
  }
  LONG count = -1;
  acc->get_accChildCount(&count);
  VARIANT focus;
  VariantInit(&focus);
  acc->get_accFocus(&focus);
  VARIANT selfRole;
  VariantInit(&selfRole);
  acc->get_accRole(Child(CHILDID_SELF), &selfRole);
  std::printf("{\"count\":%ld,\"role\":%ld,\"focus\":%ld,\"children\":[", static_cast<long>(count),
              selfRole.vt == VT_I4 ? static_cast<long>(selfRole.lVal) : -1L,
              focus.vt == VT_I4 ? static_cast<long>(focus.lVal) : -1L);
  for (LONG id = 1; id <= count; ++id) {
    VARIANT child = Child(id);
    BSTR name = nullptr, action = nullptr, keys = nullptr;
    HRESULT hn = acc->get_accName(child, &name);
    HRESULT ha = acc->get_accDefaultAction(child, &action);
    HRESULT hk = acc->get_accKeyboardShortcut(child, &keys);
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    acc->get_accRole(child, &role);
    acc->get_accState(child, &state);
    LONG l = 0, t = 0, w = 0, h = 0;
    acc->accLocation(&l, &t, &w, &h, child);
    std::printf(
        "%s{\"id\":%ld,\"name\":%s,\"role\":%ld,\"state\":%ld,\"location\":[%ld,%ld,%ld,%ld],"
        "\"action\":%s,\"shortcut\":%s}",
        id > 1 ? "," : "", static_cast<long>(id), Text(hn, name).c_str(),
        role.vt == VT_I4 ? static_cast<long>(role.lVal) : -1L,
        state.vt == VT_I4 ? static_cast<long>(state.lVal) : -1L, static_cast<long>(l), static_cast<long>(t),
        static_cast<long>(w), static_cast<long>(h), Text(ha, action).c_str(), Text(hk, keys).c_str());
  }
  std::printf("]}\n");
  acc->Release();
  return 0;
}
