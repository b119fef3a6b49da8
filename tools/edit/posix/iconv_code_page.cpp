#include "tools/edit/posix/iconv_code_page.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/headless/iconv_decode.h"

namespace {

const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

}  // namespace

IconvCodePage::IconvCodePage(std::string name)
    : name_(std::move(name)),
      decoder_(iconv_open("WCHAR_T", name_.c_str())),
      encoder_(iconv_open(name_.c_str(), "WCHAR_T")) {
  if (decoder_ == kNone || encoder_ == kNone) {
    if (decoder_ != kNone) iconv_close(decoder_);
    if (encoder_ != kNone) iconv_close(encoder_);
    throw std::invalid_argument("unknown code page " + name_);
  }
}

IconvCodePage::~IconvCodePage() {
  iconv_close(decoder_);
  iconv_close(encoder_);
}

void IconvCodePage::Decode(const char* bytes, std::size_t length, Text& into) const {
  IconvDecode(decoder_, bytes, length, into);
}

bool IconvCodePage::Encode(const Text& text, std::string& into) const {
  into.assign(text.size() * 4, '\0');
  iconv(encoder_, nullptr, nullptr, nullptr, nullptr);
  Text source = text;
  char* in = reinterpret_cast<char*>(&source[0]);
  std::size_t inLeft = source.size() * sizeof(wchar_t);
  char* out = &into[0];
  std::size_t outLeft = into.size();
  if (inLeft > 0 && iconv(encoder_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
    return false;
  if (iconv(encoder_, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) return false;
  into.resize(into.size() - outLeft);
  return true;
}

std::size_t IconvCodePage::CharacterLength(const char* bytes, std::size_t available) const {
  // A lead byte alone is an unfinished character to iconv.
  iconv(decoder_, nullptr, nullptr, nullptr, nullptr);
  wchar_t scratch[2];
  char* in = const_cast<char*>(bytes);
  std::size_t inLeft = 1;
  char* out = reinterpret_cast<char*>(scratch);
  std::size_t outLeft = sizeof scratch;
  bool unfinished =
      iconv(decoder_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) && errno == EINVAL;
  return unfinished && available >= 2 ? 2 : 1;
}
