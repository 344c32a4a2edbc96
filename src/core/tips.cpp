#include "core/tips.h"

#include <algorithm>
#include <memory>
#include <random>

#include "core/atomic_file.h"
#include "core/text_codec.h"
#include "core/text_util.h"

namespace core {
namespace {
// A tips file is a few kilobytes; anything near this size is not one.
constexpr std::size_t kMaxTipsFileBytes = 16u << 20;
}  // namespace

TipDrawer::RandomSource TipDrawer::SystemRandom() {
  auto engine = std::make_shared<std::mt19937>(std::random_device{}());
  return [engine](int n) { return std::uniform_int_distribution<int>(0, n)(*engine); };
}

TipDrawer::TipDrawer(RandomSource random) : m_random(std::move(random)) {
  if (!m_random) m_random = SystemRandom();
}

int TipDrawer::drawNumber(int n) {
  // With n >= 1 there are at least two values, so a fair source soon differs
  // from the previous draw; a source stuck on one value must not hang the
  // tip window, so after many equal draws the next value in turn is taken.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    int r = m_random(n);
    if (r < 0 || r > n) r = ((r % (n + 1)) + (n + 1)) % (n + 1);
    if (r != m_last) return r;
  }
  return (m_last + 1) % (n + 1);
}

TipDrawer::Result TipDrawer::draw(const std::filesystem::path& tipsFile, const std::string& key) {
  std::string bytes;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(tipsFile, ec) || !ReadWholeFile(tipsFile, bytes, kMaxTipsFileBytes)) {
    return drawFromBytes(std::nullopt, key);
  }
  return drawFromBytes(bytes, key);
}

TipDrawer::Result TipDrawer::drawFromBytes(std::optional<std::string_view> bytes, const std::string& key) {
  Result result;
  if (!bytes) {
    result.kind = Result::Show;
    result.lines.push_back(kMissingFileLine);
    return result;
  }
  if (key.empty()) return result;
  const std::string text = Cp1250ToUtf8(*bytes);
  const auto lines = splitLines(text);

  std::vector<std::size_t> markers;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find(key) != std::string_view::npos) markers.push_back(i);
  }
  if (markers.empty()) return result;

  const int n = static_cast<int>(std::min<std::size_t>(markers.size(), 1u << 30));
  const int r = drawNumber(n);
  m_last = r;
  if (r >= n) return result;

  result.kind = Result::Show;
  for (std::size_t i = markers[static_cast<std::size_t>(r)] + 1; i < lines.size(); ++i) {
    if (lines[i].find('[') != std::string_view::npos) break;
    result.lines.emplace_back(lines[i]);
  }
  return result;
}

}  // namespace core
