#include "platform/headless/windows_machine.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "platform/metafile.h"
#include "platform/win32/labels.h"
#include "platform/win32/picture.h"
#include "platform/win32/png.h"

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

unsigned Number(const std::string& digits) {
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
    return 0;
  return static_cast<unsigned>(std::strtoul(digits.c_str(), nullptr, 10));
}

// The format the first bytes name, as the Linux tools' decoder names it; empty for none it knows.
std::string Sniff(const std::string& head) {
  auto starts = [&](const char* magic, std::size_t length) {
    return head.size() >= length && std::memcmp(head.data(), magic, length) == 0;
  };
  if (starts("BM", 2)) return "bmp";
  if (starts("\xFF\xD8\xFF", 3)) return "jpeg";
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return "gif";
  if (IsPng(reinterpret_cast<const uint8_t*>(head.data()), head.size())) return "png";
  if (starts("\0\0\1\0", 4)) return "ico";
  if (starts("II*\0", 4) || starts("MM\0*", 4)) return "tiff";
  if (starts("RIFF", 4) && head.size() >= 12 && head.compare(8, 4, "WEBP") == 0) return "webp";
  return "";
}

}  // namespace

unsigned WindowsCodePage(const std::string& name) {
  static const struct {
    const char* name;
    unsigned number;
  } kNames[] = {{"UTF-8", 65001},   {"UTF8", 65001},   {"US-ASCII", 20127}, {"ASCII", 20127},
                {"KOI8-R", 20866},  {"KOI8-U", 21866}, {"SHIFT_JIS", 932},  {"SJIS", 932},
                {"SHIFT-JIS", 932}, {"EUC-JP", 20932}, {"GBK", 936},        {"GB2312", 936},
                {"BIG5", 950},      {"EUC-KR", 51949}, {"UHC", 949},        {"MACINTOSH", 10000},
                {"MAC", 10000},     {"IBM437", 437},   {"IBM850", 850},     {"IBM866", 866},
                {"TIS-620", 874},   {"LATIN1", 28591}, {"GB18030", 54936}};
  std::string upper = Upper(name);
  unsigned number = Number(upper);
  if (!number && upper.rfind("CP", 0) == 0) number = Number(upper.substr(2));
  if (!number && upper.rfind("WINDOWS-", 0) == 0) number = Number(upper.substr(8));
  if (!number && upper.rfind("ISO-8859-", 0) == 0) {
    unsigned part = Number(upper.substr(9));
    if (part >= 1 && part <= 16) number = 28590 + part;
  }
  if (!number && upper.rfind("ISO8859-", 0) == 0) {
    unsigned part = Number(upper.substr(8));
    if (part >= 1 && part <= 16) number = 28590 + part;
  }
  for (const auto& known : kNames)
    if (!number && upper == known.name) number = known.number;
  return number && IsValidCodePage(number) ? number : 0;
}

std::string SystemCodePageName() {
  return "CP" + std::to_string(GetACP());
}

WindowsMachine::WindowsMachine(const std::string& folder)
    : SimulatedMachine(folder, '\\'), tree_(folder), measuring_(CreateCompatibleDC(nullptr)) {
  codePage = SystemCodePageName();
}

PictureInfo WindowsMachine::Picture(const Resolved& file) const {
  PictureInfo info;
  if (!Open(file)) return info;
  info.exists = true;
  std::string head = ReadHead(file, 44);
  if (MetafileFrame(reinterpret_cast<const unsigned char*>(head.data()), head.size(), &info.size)) {
    info.format = head[0] == 1 ? "emf" : "wmf";
    info.decodes = info.shown = true;
    return info;
  }
  info.format = Sniff(head);
  if (info.format.empty()) return info;
  static const char* const kShown[] = {"bmp", "jpeg", "gif", "png", "ico"};
  info.shown =
      std::any_of(std::begin(kShown), std::end(kShown), [&](const char* f) { return info.format == f; });
  if (!info.shown) {
    info.decodes = true;
    return info;
  }
  std::unique_ptr<::Picture> picture = ::Picture::Load(PathOf(file));
  info.decodes = picture != nullptr;
  if (picture) info.size = picture->Size();
  return info;
}

void WindowsMachine::DecodeAnsi(const char* bytes, std::size_t length, Text& into) {
  // Every code page reads ASCII as ASCII; most lines are nothing else.
  if (std::all_of(bytes, bytes + length, [](char b) { return (b & 0x80) == 0; })) {
    into.assign(bytes, bytes + length);
    return;
  }
  unsigned number = WindowsCodePage(codePage);
  if (!number) number = GetACP();
  int count = length ? MultiByteToWideChar(number, 0, bytes, static_cast<int>(length), nullptr, 0) : 0;
  into.assign(static_cast<std::size_t>(std::max(count, 0)), L'\0');
  if (count > 0) MultiByteToWideChar(number, 0, bytes, static_cast<int>(length), &into[0], count);
}

TwipSize WindowsMachine::MeasureText(const LabelFont& font, const Text& caption) {
  if (const TwipSize* known = measured_->Find(font, dpi, caption)) return *known;
  TwipSize size = MeasureLabel(measuring_.get(), font, dpi, caption);
  measured_->Keep(font, dpi, caption, size);
  return size;
}

wchar_t WindowsMachine::UpperCase(wchar_t c) {
  return static_cast<wchar_t>(
      reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}
