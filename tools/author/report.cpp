#include "tools/author/report.h"

#include <climits>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "tools/author/explain.h"
#include "tools/author/folder_path.h"
#include "tools/author/snippet.h"
#include "tools/author/version.h"

namespace {

// File names come from the disc as bytes; a name that is not UTF-8 cannot go into JSON as it is. Such bytes
// become U+FFFD there: the JSON stays valid, and SARIF's URIs keep the exact bytes, percent-encoded.
const auto kNotUtf8 = nlohmann::ordered_json::error_handler_t::replace;

const char* SeverityName(Severity s) {
  return s == Severity::Error ? "error" : s == Severity::Warning ? "warning" : "note";
}

std::string Location(const std::string& file, long line, long column) {
  std::string at = Printable(file);
  if (line > 0) at += ":" + std::to_string(line);
  if (line > 0 && column > 0) at += ":" + std::to_string(column);
  return at;
}

// The line a finding or a note points into, as the program read it; none past the file's end.
const std::string* SourceLine(const CheckResult& result, const std::string& file, long line) {
  auto lines = result.sourceLines.find(file);
  if (lines == result.sourceLines.end()) return nullptr;
  auto found = lines->second.find(line);
  return found == lines->second.end() ? nullptr : &found->second;
}

void WriteSource(std::ostream& out,
                 const CheckResult& result,
                 const std::string& file,
                 long line,
                 long column,
                 const std::string& fix) {
  if (line <= 0 || column <= 0) return;
  if (const std::string* source = SourceLine(result, file, line)) out << Snippet(*source).Render(column, fix);
}

std::string Count(int n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string Summary(const CheckResult& r) {
  return Count(r.Count(Severity::Error), "error") + ", " + Count(r.Count(Severity::Warning), "warning") +
         ", " + Count(r.Count(Severity::Note), "note");
}

// A URI reference keeps only unreserved characters and the slash; everything else, every byte beyond ASCII
// among them, is percent-encoded.
std::string UriEncoded(const std::string& path) {
  std::string uri;
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

std::string AbsoluteUri(const std::string& folder) {
  std::string path = FolderRealPath(folder);
  if (path.empty()) path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  return "file://" + UriEncoded(path);
}

nlohmann::ordered_json SarifLocation(const std::string& file, long line, long column) {
  nlohmann::ordered_json physical = {
      {"artifactLocation", {{"uri", UriEncoded(file)}, {"uriBaseId", "DISC"}}}};
  if (line > 0) {
    physical["region"] = {{"startLine", line}};
    if (column > 0) physical["region"]["startColumn"] = column;
  }
  return physical;
}

}  // namespace

CheckResult Reported(const CheckResult& result, const ReportOptions& options) {
  CheckResult reported = result;
  reported.findings.clear();
  for (const Finding& f : result.findings) {
    if (options.ignore.count(f.code)) continue;
    reported.findings.push_back(f);
    if (options.warningsAreErrors && f.severity == Severity::Warning)
      reported.findings.back().severity = Severity::Error;
  }
  return reported;
}

int ExitStatus(const CheckResult& reported) {
  return reported.Count(Severity::Error) > 0 ? 1 : 0;
}

void WriteText(std::ostream& out,
               const CheckResult& reported,
               const std::string& folder,
               const ReportOptions& options) {
  std::size_t shown = 0;
  for (const Finding& f : reported.findings) {
    if (options.maxFindings > 0 && shown == options.maxFindings) break;
    ++shown;
    out << Location(f.file, f.line, f.column) << ": " << SeverityName(f.severity) << ": "
        << Printable(f.message) << " [" << f.code << "]\n";
    WriteSource(out, reported, f.file, f.line, f.column, f.fix);
    for (const FindingNote& n : f.notes) {
      out << Location(n.file, n.line, n.column) << ": note: " << Printable(n.message) << "\n";
      WriteSource(out, reported, n.file, n.line, n.column, "");
    }
  }
  if (shown < reported.findings.size())
    out << "velmaro-author: " << Count(static_cast<int>(reported.findings.size() - shown), "more finding")
        << " not shown; --max-findings 0 shows them all\n";
  std::string read;
  for (const auto& [file, encoding] : reported.encodings)
    read += (read.empty() ? "; " : ", ") + file + " read as " + encoding;
  out << Printable(folder) << ": " << Summary(reported) << (options.warningsAreErrors ? " (--werror)" : "")
      << "; kavo.inf " << reported.startup << read << "\n";
}

void WriteJson(std::ostream& out, const CheckResult& reported, const std::string& folder) {
  nlohmann::ordered_json j;
  j["tool"] = "velmaro-author";
  j["version"] = kVersion;
  j["disc"] = folder;
  j["startup"] = reported.startup;
  j["encodings"] = reported.encodings;
  j["findings"] = nlohmann::ordered_json::array();
  for (const Finding& f : reported.findings) {
    nlohmann::ordered_json item;
    item["file"] = f.file;
    item["line"] = f.line;
    item["column"] = f.column;
    item["severity"] = SeverityName(f.severity);
    item["code"] = f.code;
    item["message"] = f.message;
    item["notes"] = nlohmann::ordered_json::array();
    for (const FindingNote& n : f.notes)
      item["notes"].push_back(
          {{"file", n.file}, {"line", n.line}, {"column", n.column}, {"message", n.message}});
    if (!f.fix.empty()) item["fix"] = f.fix;
    j["findings"].push_back(std::move(item));
  }
  j["pages"] = nlohmann::ordered_json::array();
  for (const auto& [page, verdict] : reported.pages)
    j["pages"].push_back({{"page", page}, {"links", verdict.links}, {"lightsUp", verdict.lightsUp}});
  j["summary"] = {{"errors", reported.Count(Severity::Error)},
                  {"warnings", reported.Count(Severity::Warning)},
                  {"notes", reported.Count(Severity::Note)}};
  out << j.dump(2, ' ', false, kNotUtf8) << "\n";
}

void WriteSarif(std::ostream& out, const CheckResult& reported, const std::string& folder) {
  nlohmann::ordered_json rules = nlohmann::ordered_json::array();
  for (const auto& [code, text] : FindingCodes()) {
    nlohmann::ordered_json rule = {{"id", code}, {"shortDescription", {{"text", text}}}};
    // Code scanning shows a rule's help beside each result: what explain says.
    if (const Explanation* e = FindExplanation(code))
      rule["help"] = {{"text", std::string(e->meaning) + "\n\n" + e->fix + "\n\nExample:\n" + e->example}};
    rules.push_back(std::move(rule));
  }
  nlohmann::ordered_json results = nlohmann::ordered_json::array();
  for (const Finding& f : reported.findings) {
    // A fix is a text to write, not an exact span to replace, so it goes into the message.
    std::string message = f.message + (f.fix.empty() ? "" : " (write \"" + f.fix + "\")");
    nlohmann::ordered_json item = {
        {"ruleId", f.code},
        {"level", SeverityName(f.severity)},
        {"message", {{"text", message}}},
        {"locations", {{{"physicalLocation", SarifLocation(f.file, f.line, f.column)}}}}};
    if (!f.notes.empty()) {
      nlohmann::ordered_json related = nlohmann::ordered_json::array();
      for (const FindingNote& n : f.notes)
        related.push_back({{"id", related.size()},
                           {"physicalLocation", SarifLocation(n.file, n.line, n.column)},
                           {"message", {{"text", n.message}}}});
      item["relatedLocations"] = std::move(related);
    }
    if (!f.fix.empty()) item["properties"] = {{"fix", f.fix}};
    results.push_back(std::move(item));
  }
  nlohmann::ordered_json sarif = {
      {"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
      {"version", "2.1.0"},
      {"runs",
       {{{"tool", {{"driver", {{"name", "velmaro-author"}, {"version", kVersion}, {"rules", rules}}}}},
         {"originalUriBaseIds", {{"DISC", {{"uri", AbsoluteUri(folder)}}}}},
         {"results", results}}}}};
  out << sarif.dump(2, ' ', false, kNotUtf8) << "\n";
}
