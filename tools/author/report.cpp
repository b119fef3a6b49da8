#include "tools/author/report.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tools/author/version.h"

namespace {

const char* SeverityName(Severity s) {
  return s == Severity::Error ? "error" : s == Severity::Warning ? "warning" : "note";
}

std::string Location(const Finding& f) {
  std::string at = f.file;
  if (f.line > 0) at += ":" + std::to_string(f.line);
  if (f.line > 0 && f.column > 0) at += ":" + std::to_string(f.column);
  return at;
}

// The line a finding points into, for the caret under its column, as the program read it.
std::string SourceLine(const CheckResult& result, const Finding& f) {
  auto file = result.sourceLines.find(f.file);
  if (file == result.sourceLines.end()) return "";
  auto line = file->second.find(f.line);
  return line == file->second.end() ? "" : line->second;
}

std::string Summary(const CheckResult& r) {
  auto count = [](int n, const char* word) { return std::to_string(n) + " " + word + (n == 1 ? "" : "s"); };
  return count(r.Count(Severity::Error), "error") + ", " + count(r.Count(Severity::Warning), "warning") +
         ", " + count(r.Count(Severity::Note), "note");
}

std::string AbsoluteUri(const std::string& folder) {
  char resolved[PATH_MAX];
  std::string path = realpath(folder.c_str(), resolved) ? resolved : folder;
  if (path.empty() || path.back() != '/') path += '/';
  std::string uri = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || std::string("/-._~").find(static_cast<char>(c)) != std::string::npos) {
      uri += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      uri += hex;
    }
  }
  return uri;
}

}  // namespace

void WriteText(std::ostream& out, const CheckResult& result, const std::string& folder) {
  for (const Finding& f : result.findings) {
    out << Location(f) << ": " << SeverityName(f.severity) << ": " << f.message << " [" << f.code << "]\n";
    if (f.line > 0 && f.column > 0) {
      std::string line = SourceLine(result, f);
      if (!line.empty())
        out << "  " << line << "\n  " << std::string(static_cast<std::size_t>(f.column - 1), ' ') << "^\n";
    }
  }
  std::string read;
  for (const auto& [file, encoding] : result.encodings)
    read += (read.empty() ? "; " : ", ") + file + " read as " + encoding;
  out << folder << ": " << Summary(result) << "; kavo.inf " << result.startup << read << "\n";
}

void WriteJson(std::ostream& out, const CheckResult& result, const std::string& folder) {
  nlohmann::ordered_json j;
  j["tool"] = "velmaro-author";
  j["version"] = kVersion;
  j["disc"] = folder;
  j["startup"] = result.startup;
  j["encodings"] = result.encodings;
  j["findings"] = nlohmann::ordered_json::array();
  for (const Finding& f : result.findings) {
    nlohmann::ordered_json item;
    item["file"] = f.file;
    item["line"] = f.line;
    item["column"] = f.column;
    item["severity"] = SeverityName(f.severity);
    item["code"] = f.code;
    item["message"] = f.message;
    j["findings"].push_back(item);
  }
  j["pages"] = nlohmann::ordered_json::array();
  for (const auto& [page, verdict] : result.pages)
    j["pages"].push_back({{"page", page}, {"links", verdict.links}, {"lightsUp", verdict.lightsUp}});
  j["summary"] = {{"errors", result.Count(Severity::Error)},
                  {"warnings", result.Count(Severity::Warning)},
                  {"notes", result.Count(Severity::Note)}};
  out << j.dump(2) << "\n";
}

void WriteSarif(std::ostream& out, const CheckResult& result, const std::string& folder) {
  nlohmann::ordered_json rules = nlohmann::ordered_json::array();
  for (const auto& [code, text] : FindingCodes())
    rules.push_back({{"id", code}, {"shortDescription", {{"text", text}}}});
  nlohmann::ordered_json results = nlohmann::ordered_json::array();
  for (const Finding& f : result.findings) {
    nlohmann::ordered_json physical = {{"artifactLocation", {{"uri", f.file}, {"uriBaseId", "DISC"}}}};
    if (f.line > 0) {
      physical["region"] = {{"startLine", f.line}};
      if (f.column > 0) physical["region"]["startColumn"] = f.column;
    }
    results.push_back({{"ruleId", f.code},
                       {"level", SeverityName(f.severity)},
                       {"message", {{"text", f.message}}},
                       {"locations", {{{"physicalLocation", physical}}}}});
  }
  nlohmann::ordered_json sarif = {
      {"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
      {"version", "2.1.0"},
      {"runs",
       {{{"tool", {{"driver", {{"name", "velmaro-author"}, {"version", kVersion}, {"rules", rules}}}}},
         {"originalUriBaseIds", {{"DISC", {{"uri", AbsoluteUri(folder)}}}}},
         {"results", results}}}}};
  out << sarif.dump(2) << "\n";
}
