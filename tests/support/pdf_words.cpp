#include "support/pdf_words.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/path_text.h"

namespace testing_support {
namespace {

std::string Attribute(const std::string& tag, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const std::size_t at = tag.find(key);
  if (at == std::string::npos) return {};
  const std::size_t start = at + key.size();
  return tag.substr(start, tag.find('"', start) - start);
}

std::string Unescape(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&#39;", "'"}};
  for (const auto& [from, to] : entities) {
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + 1)) s.replace(p, std::string(from).size(), to);
  }
  const std::pair<const char*, const char*> ligatures[] = {{"\xEF\xAC\x81", "fi"}, {"\xEF\xAC\x82", "fl"},
                                                           {"\xEF\xAC\x80", "ff"}};
  for (const auto& [from, to] : ligatures) {
    for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + 1)) s.replace(p, 3, to);
  }
  return s;
}

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string Describe(const PdfWord& w) {
  char buf[160];
  std::snprintf(buf, sizeof buf, " [%.1f,%.1f-%.1f,%.1f]", w.xMin, w.yMin, w.xMax, w.yMax);
  return w.text + buf;
}

}  // namespace

std::string Unzip(const std::filesystem::path& zip, const std::string& member) {
  std::string out;
  const std::string cmd = "unzip -p " + Quote(core::Utf8FromPath(zip)) + " " + Quote(member) + " 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    pclose(p);
  }
  return out;
}

bool HavePdfToText() { return std::system("command -v pdftotext >/dev/null 2>&1") == 0; }

std::vector<PdfPage> ReadPdfWords(const std::filesystem::path& pdf) {
  std::vector<PdfPage> pages;
  const std::string cmd = "pdftotext -bbox " + Quote(core::Utf8FromPath(pdf)) + " - 2>/dev/null";
  std::string html;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[65536];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) html.append(buf, n);
    pclose(p);
  }
  for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
    const std::size_t end = html.find('>', at);
    if (end == std::string::npos) break;
    const std::string tag = html.substr(at, end - at + 1);
    if (tag.rfind("<page ", 0) == 0) {
      PdfPage page;
      page.width = std::atof(Attribute(tag, "width").c_str());
      page.height = std::atof(Attribute(tag, "height").c_str());
      pages.push_back(page);
    } else if (tag.rfind("<word ", 0) == 0 && !pages.empty()) {
      PdfWord w;
      w.xMin = std::atof(Attribute(tag, "xMin").c_str());
      w.yMin = std::atof(Attribute(tag, "yMin").c_str());
      w.xMax = std::atof(Attribute(tag, "xMax").c_str());
      w.yMax = std::atof(Attribute(tag, "yMax").c_str());
      const std::size_t close = html.find("</word>", end);
      w.text = Unescape(html.substr(end + 1, close - end - 1));
      pages.back().words.push_back(std::move(w));
      at = close;
    }
  }
  return pages;
}

std::string PdfPage::text() const {
  std::string out;
  for (const auto& w : words) out += (out.empty() ? "" : " ") + w.text;
  return out;
}

std::vector<PdfWord> PdfPage::find(const std::string& text) const {
  std::vector<PdfWord> found;
  for (const auto& w : words)
    if (w.text == text) found.push_back(w);
  return found;
}

std::vector<std::string> OverlappingWords(const PdfPage& page, double tolerance) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < page.words.size(); ++i) {
    for (std::size_t j = i + 1; j < page.words.size(); ++j) {
      const PdfWord& a = page.words[i];
      const PdfWord& b = page.words[j];
      const double dx = std::min(a.xMax, b.xMax) - std::max(a.xMin, b.xMin);
      const double dy = std::min(a.yMax, b.yMax) - std::max(a.yMin, b.yMin);
      if (dx > tolerance && dy > tolerance) out.push_back(Describe(a) + " | " + Describe(b));
    }
  }
  return out;
}

std::vector<std::string> WordsOutside(const PdfPage& page, double left, double top, double right, double bottom) {
  std::vector<std::string> out;
  for (const auto& w : page.words) {
    if (w.xMin < left || w.yMin < top || w.xMax > page.width - right || w.yMax > page.height - bottom)
      out.push_back(Describe(w));
  }
  return out;
}

}  // namespace testing_support
