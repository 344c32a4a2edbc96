#include "core/text_util.h"

#include <cctype>
#include <climits>

namespace core {

std::string_view trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

namespace {
std::optional<long long> parseDigits(std::string_view s, int base) {
  if (s.empty()) return std::nullopt;
  unsigned long long v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    if (v > (static_cast<unsigned long long>(LLONG_MAX) - static_cast<unsigned>(d)) / static_cast<unsigned>(base))
      return std::nullopt;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
  }
  return static_cast<long long>(v);
}

std::optional<long long> parseSigned(std::string_view s, bool allowHex) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  std::optional<long long> v;
  if (allowHex && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) v = parseDigits(s.substr(2), 16);
  else v = parseDigits(s, 10);
  if (!v) return std::nullopt;
  return negative ? -*v : *v;
}
}  // namespace

std::optional<long long> parseDecimal(std::string_view s) { return parseSigned(s, false); }
std::optional<long long> parseInteger(std::string_view s) { return parseSigned(s, true); }

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    std::size_t end = lf;
    if (end > start && text[end - 1] == '\r') --end;
    lines.push_back(text.substr(start, end - start));
    start = lf + 1;
  }
  return lines;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  if (from.empty()) return std::string(text);
  std::size_t pos = 0;
  while (true) {
    const auto hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::size_t utf8Length(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

std::string cutUtf8(std::string_view s, std::size_t n) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (chars == n) return std::string(s.substr(0, i));
      ++chars;
    }
  }
  return std::string(s);
}

}  // namespace core
