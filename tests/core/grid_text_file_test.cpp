#include <gtest/gtest.h>

#include <string>

#include "core/grid_text_file.h"
#include "core/path_text.h"
#include "core/text_codec.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

Grid sheet() {
  Grid g(6, 32);
  const int widths[] = {120, 80, 40, 200, 100, 100};
  for (int c = 0; c < 6; ++c) g.setColumnWidth(c, widths[c]);
  g.setCell(0, 0, "Údaj");
  g.setCell(3, 0, "Dochádzka");
  g.setCell(0, 1, "Meno");
  g.setCell(1, 1, "Ľudovít Štúr, ml.");
  g.setCell(2, 1, "1-Str");
  g.setCell(3, 1, "07:58 PR N - 16:31 OD N - ");
  g.setCell(4, 1, "8:33");
  g.setComment(4, 1, "a comment is not stored");
  g.setCell(5, 31, "posledná bunka");
  return g;
}

TEST(GridTextFile, WritesTheSheetLayout) {
  const std::string expected =
      "6,32\r\ncw 0,120\r\ncw 1,80\r\ncw 2,40\r\ncw 3,200\r\ncw 4,100\r\ncw 5,100\r\n"
      "0,0,Údaj\r\n3,0,Dochádzka\r\n0,1,Meno\r\n1,1,Ľudovít Štúr, ml.\r\n2,1,1-Str\r\n"
      "3,1,07:58 PR N - 16:31 OD N - \r\n4,1,8:33\r\n5,31,posledná bunka\r\n";
  EXPECT_EQ(GridTextFile::ToBytes(sheet()), Utf8ToCp1250(expected));
}

TEST(GridTextFile, LineBreaksAreEncodedInsideTheLine) {
  struct Case {
    std::string text;
    std::string stored;
    std::string multi;   // read back, report
    std::string single;  // read back, sheet
  };
  const Case cases[] = {
      {"Novák\r\nJán", "Novák\t\bJán", "Novák\r\nJán", "Novák"},
      {"a\nb\nc", "a\bb\bc", "a\nb\nc", "a"},  // bare line feeds are encoded too
      {"tab\there", "tab\there", "tab\there", "tab\there"},
      {"x,y,z", "x,y,z", "x,y,z", "x,y,z"},
      {"D 8:30\r\nSC 2:00\r\n", "D 8:30\t\bSC 2:00\t\b", "D 8:30\r\nSC 2:00\r\n", "D 8:30"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    Grid g(2, 2);
    g.setCell(1, 1, c.text);
    const std::string bytes = GridTextFile::ToBytes(g);
    EXPECT_EQ(bytes, "2,2\r\ncw 0,64\r\ncw 1,64\r\n1,1," + Utf8ToCp1250(c.stored) + "\r\n");
    Grid multi, single;
    std::string error;
    ASSERT_TRUE(GridTextFile::FromBytes(bytes, multi, GridTextFile::Cells::MultiLine, "f", &error)) << error;
    ASSERT_TRUE(GridTextFile::FromBytes(bytes, single, GridTextFile::Cells::SingleLine, "f", &error)) << error;
    EXPECT_EQ(multi.cell(1, 1), c.multi);
    EXPECT_EQ(single.cell(1, 1), c.single);
  }
}

TEST(GridTextFile, FileRoundTripKeepsEveryByte) {
  TempDir dir;
  const auto file = dir / "32005.zdr";
  Grid report(51, 4);
  for (int c = 0; c < 51; ++c) report.setColumnWidth(c, 30 + c);
  report.setCell(0, 0, "Meno");
  report.setCell(0, 1, "Žofia Ďurčová");
  report.setCell(20, 1, "D 8:30\r\nPN 2:00");
  report.setCell(50, 3, "€ 12,50; ôäéí");
  std::string error;
  ASSERT_TRUE(GridTextFile::Write(file, report, &error)) << error;
  const std::string bytes = ReadBytes(file);
  EXPECT_EQ(bytes.substr(0, 6), "51,4\r\n");

  Grid back(3, 3);
  back.setCell(2, 2, "previous content");
  back.setComment(0, 0, "previous comment");
  ASSERT_TRUE(GridTextFile::Read(file, back, GridTextFile::Cells::MultiLine, &error)) << error;
  EXPECT_EQ(back, report);
  ASSERT_TRUE(GridTextFile::Write(dir / "again.zdr", back, &error)) << error;
  EXPECT_EQ(ReadBytes(dir / "again.zdr"), bytes);

  // Comments never reach the file.
  Grid withComment = sheet();
  Grid readSheet;
  ASSERT_TRUE(GridTextFile::FromBytes(GridTextFile::ToBytes(withComment), readSheet, GridTextFile::Cells::SingleLine,
                                      "s", &error));
  withComment.setComment(4, 1, "");
  EXPECT_EQ(readSheet, withComment);
}

TEST(GridTextFile, RefusesFilesWithoutSize) {
  const std::string corrupt = "File contains no data or corrupt file /p/a.dok";
  const std::string cases[] = {
      "",
      "\r\n6,32\r\n",
      "abc",
      "6",
      "6,",
      ",32",
      "0,32\r\n0,0,x\r\n",
      "6,0\r\n",
      "-6,32\r\n",
      "6,32x\r\n",
      "1001,1\r\n",
      "1,100001\r\n",
      "1000,100000\r\n",  // within each cap, but far too many cells
      "99999999999999999999,1\r\n",
      "cw 0,120\r\n",
  };
  for (const auto& bytes : cases) {
    SCOPED_TRACE(bytes);
    Grid g(2, 2);
    g.setCell(1, 1, "kept");
    std::string error;
    EXPECT_FALSE(GridTextFile::FromBytes(bytes, g, GridTextFile::Cells::MultiLine, "/p/a.dok", &error));
    EXPECT_EQ(error, corrupt);
    EXPECT_EQ(g.cell(1, 1), "kept");  // a refused file changes nothing
    EXPECT_EQ(g.columnCount(), 2);
  }
}

TEST(GridTextFile, SkipsWhatDoesNotFit) {
  const std::string bytes =
      " 3 , 2 \n"  // blanks around the size, LF-only lines
      "cw 0,50\n"
      "cw 7,99\n"  // column outside the grid
      "cw x,10\n"
      "cw 1,-5\n"
      "cw\n"
      "\n"
      "garbage without commas\n"
      "1,x,text\n"
      "5,0,outside\n"
      "0,99999999999999999999,huge row\n"
      "0,-1,negative\n"
      "2,1\n"  // one comma only
      "2,1,last\r\n"
      "0,0,first\n"
      "0,0,overwritten\n"
      "1,0,";  // final line without line end, empty text
  Grid g(9, 9);
  g.setCell(8, 8, "gone");
  std::string error;
  ASSERT_TRUE(GridTextFile::FromBytes(bytes, g, GridTextFile::Cells::SingleLine, "n", &error));
  EXPECT_EQ(g.columnCount(), 3);
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(g.columnWidth(0), 50);
  EXPECT_EQ(g.columnWidth(1), 64);
  EXPECT_EQ(g.cell(2, 1), "last");
  EXPECT_EQ(g.cell(0, 0), "overwritten");
  EXPECT_EQ(g.cell(1, 0), "");
  EXPECT_EQ(g.cell(8, 8), "");
  int filled = 0;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) filled += g.cell(c, r).empty() ? 0 : 1;
  EXPECT_EQ(filled, 2);
}

TEST(GridTextFile, FileErrors) {
  TempDir dir;
  Grid g(1, 1);
  std::string error;
  const auto missing = dir / "none.dok";
  EXPECT_FALSE(GridTextFile::Read(missing, g, GridTextFile::Cells::SingleLine, &error));
  EXPECT_EQ(error, "File " + core::DisplayPath(missing) + " not found");
  EXPECT_FALSE(GridTextFile::Read(dir.path(), g, GridTextFile::Cells::SingleLine, &error));
  EXPECT_EQ(error, "File " + core::DisplayPath(dir.path()) + " not found");

  WriteBytes(dir / "empty.dok", "");
  EXPECT_FALSE(GridTextFile::Read(dir / "empty.dok", g, GridTextFile::Cells::SingleLine, &error));
  EXPECT_EQ(error, "File contains no data or corrupt file " + core::DisplayPath(dir / "empty.dok"));

  WriteBytes(dir / "blocker", "x");
  error.clear();
  EXPECT_FALSE(GridTextFile::Write(dir / "blocker" / "a.dok", sheet(), &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
