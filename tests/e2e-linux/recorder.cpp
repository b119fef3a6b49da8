// A Linux program of the disc for the end-to-end cases: appends what it was started with (its argv and
// working folder) as one JSON line to the file $VELMARO_E2E_RECORD names.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Quoted(const char* s) {
  std::string out = "\"";
  for (const char* c = s; *c; ++c) {
    unsigned char b = static_cast<unsigned char>(*c);
    if (b == '"' || b == '\\') {
      out += '\\';
      out += *c;
    } else if (b < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", b);
      out += escape;
    } else {
      out += *c;
    }
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  const char* record = std::getenv("VELMARO_E2E_RECORD");
  if (!record) return 2;
  char cwd[PATH_MAX] = "";
  if (!getcwd(cwd, sizeof cwd)) cwd[0] = 0;
  std::string line = "{\"kind\": \"elf\", \"cwd\": " + Quoted(cwd) + ", \"argv\": [";
  for (int i = 0; i < argc; ++i)
    line += (i ? ", " : "") + Quoted(argv[i]);
  line += "]}\n";
  FILE* f = std::fopen(record, "a");
  if (!f) return 2;
  std::fputs(line.c_str(), f);
  std::fclose(f);
  return 0;
}
