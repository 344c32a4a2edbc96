#pragma once
// Small text helpers shared by the file readers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Without surrounding blanks and tabs.
std::string_view trim(std::string_view s);
// Whole text as a decimal integer with an optional sign; no value when it is
// not one or does not fit in 64 bits.
std::optional<long long> parseDecimal(std::string_view s);
// Like parseDecimal, but also accepts a "0x" hexadecimal form.
std::optional<long long> parseInteger(std::string_view s);
// ASCII case-insensitive comparison (section and key names).
bool equalsNoCase(std::string_view a, std::string_view b);
// Splits at CR LF, or at a lone LF; a final line without a line end is kept.
// A lone CR inside a line stays part of the line.
std::vector<std::string_view> splitLines(std::string_view text);
// Replaces every occurrence of `from` by `to`.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);
// At most n UTF-8 characters of the text (never cuts a character in half).
std::string cutUtf8(std::string_view s, std::size_t n);
std::size_t utf8Length(std::string_view s);

}  // namespace core
