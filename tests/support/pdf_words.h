#pragma once
// A written PDF read back as words with their positions (pdftotext -bbox of
// poppler-utils), so that tests can check what is printed where: inside the
// page's margins, apart from each other, whole.

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct PdfWord {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points from the page's top left
  std::string text;                               // UTF-8, ligatures spelled out
};

struct PdfPage {
  double width = 0, height = 0;  // points
  std::vector<PdfWord> words;
  // The words of the page in reading order, joined by blanks.
  std::string text() const;
  // Words whose text is `text`.
  std::vector<PdfWord> find(const std::string& text) const;
};

// Empty when pdftotext is missing or the file cannot be read.
std::vector<PdfPage> ReadPdfWords(const std::filesystem::path& pdf);

// One member of a zip file (a workbook's "xl/workbook.xml") as bytes, through
// unzip; empty when it cannot be read.
std::string Unzip(const std::filesystem::path& zip, const std::string& member);
bool HavePdfToText();

// Pairs of words on a page whose boxes overlap by more than `tolerance`
// points each way, as "a | b" lines (empty: none).
std::vector<std::string> OverlappingWords(const PdfPage& page, double tolerance = 0.3);

// Words closer than `margin` points to an edge of the page, as text lines.
std::vector<std::string> WordsOutside(const PdfPage& page, double left, double top, double right, double bottom);

inline constexpr double kPointsPerMm = 72.0 / 25.4;

}  // namespace testing_support
