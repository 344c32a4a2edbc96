#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/atomic_file.h"
#include "core/error_text.h"
#include "core/path_text.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

std::size_t filesIn(const std::filesystem::path& dir) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(AtomicFile, ReplacesWholeFileAndLeavesNoTemporary) {
  TempDir dir;
  const auto file = dir / "prac.txt";
  WriteBytes(file, "old content that is longer than the new one\r\n");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(file, std::string("new\r\n\0x", 7), &error)) << error;
  EXPECT_EQ(ReadBytes(file), std::string("new\r\n\0x", 7));
  EXPECT_EQ(filesIn(dir.path()), 1u);

  ASSERT_TRUE(WriteFileAtomically(dir / "created.txt", ""));
  EXPECT_TRUE(std::filesystem::exists(dir / "created.txt"));
  EXPECT_EQ(ReadBytes(dir / "created.txt"), "");
}

TEST(AtomicFile, FollowsLinksAndKeepsPermissions) {
#if defined(_WIN32)
  GTEST_SKIP() << "symbolic links and POSIX permission bits: Windows has neither for ordinary users";
#endif
  TempDir dir;
  namespace fs = std::filesystem;
  WriteBytes(dir / "real.ini", "old");
  fs::permissions(dir / "real.ini", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real.ini", dir / "link.ini");
  ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "new"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(ReadBytes(dir / "real.ini"), "new");
  EXPECT_EQ(fs::status(dir / "real.ini").permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(AtomicFile, FailedWriteKeepsOldFileAndReports) {
  TempDir dir;
  WriteBytes(dir / "blocker", "a regular file");
  struct Case {
    std::filesystem::path target;
  };
  const Case cases[] = {
      {dir / "blocker" / "vortane.ini"},  // parent is a regular file
      {dir / "missing" / "vortane.ini"},  // parent does not exist
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(c.target, "x", &error));
    EXPECT_NE(error.find("vortane.ini"), std::string::npos) << error;
  }
  // A directory standing where the file should go is never replaced.
  std::filesystem::create_directory(dir / "sub");
  WriteBytes(dir / "sub" / "keep.txt", "kept");
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(dir / "sub", "x", &error));
  EXPECT_EQ(ReadBytes(dir / "sub" / "keep.txt"), "kept");
  EXPECT_EQ(ReadBytes(dir / "blocker"), "a regular file");
  EXPECT_EQ(filesIn(dir.path()), 2u);
}

TEST(AtomicFile, ReadWholeFileHonoursCap) {
  TempDir dir;
  const auto file = dir / "data.bin";
  const std::string data(200000, 'z');
  WriteBytes(file, data);
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(file, bytes));
  EXPECT_EQ(bytes, data);
  EXPECT_TRUE(ReadWholeFile(file, bytes, data.size()));
  EXPECT_FALSE(ReadWholeFile(file, bytes, data.size() - 1));
  EXPECT_TRUE(bytes.empty());
  EXPECT_FALSE(ReadWholeFile(dir / "none.bin", bytes));
  EXPECT_FALSE(ReadWholeFile(dir.path(), bytes));
}

TEST(AtomicFile, AppendCreatesAndExtends) {
  TempDir dir;
  const auto file = dir / "3_2005.txt";
  EXPECT_TRUE(AppendToFile(file, "a\r\n"));
  EXPECT_TRUE(AppendToFile(file, "b\r\n"));
  EXPECT_EQ(ReadBytes(file), "a\r\nb\r\n");
  EXPECT_FALSE(AppendToFile(dir / "missing" / "3_2005.txt", "x"));
  EXPECT_FALSE(AppendToFile(dir.path(), "x"));
}

}  // namespace

// What the clerk reads about a file that cannot be written: one Slovak
// sentence with the path and the reason, whatever language the system
// speaks.
TEST(AtomicFile, FailuresAreReportedInSlovakWithPathAndReason) {
  TempDir dir;
  std::filesystem::create_directories(dir / "folder");
  struct Case {
    std::filesystem::path target;
    std::string start;   // what the message begins with
    std::string reason;  // what it ends with
  };
  const Case cases[] = {
      {dir / "folder", "Nie je možné nahradiť súbor " + DisplayPath(dir / "folder"), ": na tom mieste je priečinok"},
#if defined(_WIN32)
      {dir / "missing" / "a.txt", "Nie je možné vytvoriť súbor " + DisplayPath(dir / "missing"),
       ": priečinok neexistuje alebo nie je dostupný"},
#else
      {dir / "missing" / "a.txt", "Nie je možné vytvoriť súbor " + DisplayPath(dir / "missing"),
       ": súbor alebo priečinok neexistuje"},
#endif
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(c.target, "x", &error));
    EXPECT_EQ(error.rfind(c.start, 0), 0u) << error;
    EXPECT_TRUE(error.size() >= c.reason.size() && error.compare(error.size() - c.reason.size(), std::string::npos,
                                                                  c.reason) == 0)
        << error;
    for (const char* english : {"Cannot", "Invalid", "directory", "No such"})
      EXPECT_EQ(error.find(english), std::string::npos) << error;
  }
}

TEST(ErrorText, CommonReasonsReadInSlovakOthersAsTheSystemSaysThem) {
  const struct {
    std::errc condition;
    const char* text;
  } cases[] = {
      {std::errc::permission_denied, "prístup bol odmietnutý"},
      {std::errc::no_space_on_device, "disk je plný"},
      {std::errc::read_only_file_system, "disk je len na čítanie"},
      {std::errc::device_or_resource_busy, "súbor používa iný program"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReasonText(std::make_error_code(c.condition)), c.text);
  const auto other = std::make_error_code(std::errc::protocol_error);
  EXPECT_EQ(ReasonText(other), other.message());
  EXPECT_EQ(ReasonText(std::error_code()), "");
  EXPECT_EQ(FileErrorText(FileAction::Read, "a.txt"), "Nie je možné čítať súbor a.txt");
}
