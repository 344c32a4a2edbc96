#pragma once
// The tips file "vortane.tip": sections started by a marker line that contains
// the key ("[DAY", "[KARTA", "[TABDOCH") and running to the next line that
// contains "[".

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class TipDrawer {
 public:
  // Returns a whole number from 0 to n inclusive.
  using RandomSource = std::function<int(int n)>;

  // A source drawing uniformly from a generator seeded by the system.
  static RandomSource SystemRandom();

  explicit TipDrawer(RandomSource random = SystemRandom());

  struct Result {
    enum Kind { Keep, Show } kind = Keep;  // Keep: the tip window keeps its text
    std::vector<std::string> lines;        // for Show
  };

  // Draws as the tip window does: a missing file shows the single line
  // "Neexistuje súbor tipov: VORTANE.TIP"; no section of the key keeps the
  // window's text; otherwise r is drawn from 0..n until it differs from the
  // previous draw (of any key) and the (r+1)-th section is shown, or nothing
  // changes when r == n.
  Result draw(const std::filesystem::path& tipsFile, const std::string& key);
  // The same over the file's bytes (Windows-1250); no value: the file is missing.
  Result drawFromBytes(std::optional<std::string_view> bytes, const std::string& key);

  int lastDraw() const { return m_last; }

  static constexpr const char* kMissingFileLine = "Neexistuje súbor tipov: VORTANE.TIP";

 private:
  int drawNumber(int n);

  RandomSource m_random;
  int m_last = 0;
};

}  // namespace core
