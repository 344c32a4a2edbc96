// The folder locks between programs sharing one program folder: held by one
// thread (reentrant), waited for by others and by other processes, named by
// their holder's note, released by the system when the holder is killed;
// and vortane.ini written by two processes at the same time keeps both
// programs' values.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "core/folder_lock.h"
#include "core/ini_file.h"
#include "core/platform.h"
#include "support/child_process.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using core::FolderLock;
using core::LockKind;
using testing_support::ChildProcess;
using testing_support::TempDir;

// Child: takes a lock of a folder, says so with a file, and keeps it until
// it is killed (or for a minute).
[[maybe_unused]] const bool kHolderRole = testing_support::RegisterRole("hold-lock", [](const std::vector<std::string>& a) {
  if (a.size() != 2) return 2;
  const fs::path folder = core::PathFromUtf8(a[0]);
  const auto kind = a[1] == "settings" ? LockKind::Settings : LockKind::Transfer;
  const auto lock = FolderLock::Acquire(folder, kind, 10s);
  if (!lock.held()) return 3;
  testing_support::WriteBytes(folder / "child-holds", "x");
  std::this_thread::sleep_for(60s);
  return 0;
});

// Child: writes `count` keys "<prefix>N" into section REQPTR of an ini file,
// one write each, as transfers store their pointers.
[[maybe_unused]] const bool kWriterRole = testing_support::RegisterRole("write-ini", [](const std::vector<std::string>& a) {
  if (a.size() != 3) return 2;
  const fs::path ini = core::PathFromUtf8(a[0]);
  const int count = std::stoi(a[2]);
  // Both writers start together.
  while (!fs::exists(ini.parent_path() / "go")) std::this_thread::sleep_for(1ms);
  for (int i = 0; i < count; ++i) {
    if (!core::WriteProfileInt(ini, "REQPTR", a[1] + std::to_string(i), i)) return 4;
  }
  return 0;
});

bool WaitFor(const fs::path& file, std::chrono::milliseconds most = 20s) {
  const auto end = std::chrono::steady_clock::now() + most;
  while (!fs::exists(file)) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(FolderLock, ReentrantForItsThreadAndWaitedForByOthers) {
  TempDir dir;
  auto first = FolderLock::Acquire(dir.path(), LockKind::Transfer, 0ms);
  ASSERT_TRUE(first.held()) << first.error();
  {
    // The same thread again (a transfer that stores its pointer): at once.
    auto again = FolderLock::Acquire(dir.path(), LockKind::Transfer, 0ms);
    EXPECT_TRUE(again.held());
  }
  // The other lock of the folder is independent of it.
  EXPECT_TRUE(FolderLock::Acquire(dir.path(), LockKind::Settings, 0ms).held());

  // Another thread: not at once, and it learns who holds it.
  std::atomic<int> calls{0};
  core::LockHolder seen;
  std::thread other([&] {
    const auto t = FolderLock::Acquire(dir.path(), LockKind::Transfer, 150ms, [&](const core::LockHolder& h) {
      seen = h;
      ++calls;
      return true;
    });
    EXPECT_EQ(t.status(), FolderLock::Status::TimedOut);
    EXPECT_EQ(t.holder().process, core::platform::ProcessId());
  });
  other.join();
  EXPECT_GT(calls.load(), 0);
  EXPECT_EQ(seen.computer, core::platform::ComputerName());
  EXPECT_EQ(seen.user, core::platform::UserName());
  EXPECT_EQ(seen.process, core::platform::ProcessId());
  EXPECT_FALSE(seen.since.empty());

  // Cancelled by its waiting callback.
  std::thread cancelled([&] {
    const auto t = FolderLock::Acquire(dir.path(), LockKind::Transfer, 10s, [](const core::LockHolder&) { return false; });
    EXPECT_EQ(t.status(), FolderLock::Status::Cancelled);
    EXPECT_FALSE(t.held());
  });
  cancelled.join();

  // Released (once per acquisition), the waiter gets it.
  std::atomic<bool> got{false};
  std::thread waiter([&] {
    auto t = FolderLock::Acquire(dir.path(), LockKind::Transfer, 10s);
    got = t.held();
  });
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(got.load());
  first.release();
  waiter.join();
  EXPECT_TRUE(got.load());
}

TEST(FolderLock, AFolderThatCannotHoldTheLockFileFails) {
  TempDir dir;
  testing_support::WriteBytes(dir / "file", "x");
  const auto lock = FolderLock::Acquire(dir / "file", LockKind::Transfer, 1s);
  EXPECT_EQ(lock.status(), FolderLock::Status::Failed);
  EXPECT_NE(lock.error().find("vortane.lck"), std::string::npos) << lock.error();
}

TEST(FolderLock, AnotherProcessHoldsItUntilItIsKilled) {
  TempDir dir;
  for (const char* kind : {"transfer", "settings"}) {
    SCOPED_TRACE(kind);
    fs::remove(dir / "child-holds");
    const LockKind k = std::string(kind) == "settings" ? LockKind::Settings : LockKind::Transfer;
    const LockKind otherKind = k == LockKind::Settings ? LockKind::Transfer : LockKind::Settings;
    ChildProcess child("hold-lock", {core::Utf8FromPath(dir.path()), kind});
    ASSERT_TRUE(child.started());
    ASSERT_TRUE(WaitFor(dir / "child-holds"));

    const auto busy = FolderLock::Acquire(dir.path(), k, 200ms);
    EXPECT_EQ(busy.status(), FolderLock::Status::TimedOut);
    EXPECT_EQ(busy.holder().process, child.pid());
    EXPECT_EQ(busy.holder().computer, core::platform::ComputerName());
    EXPECT_EQ(core::ReadLockHolder(dir.path(), k).process, child.pid());
    EXPECT_NE(core::LockBusyText(busy.holder()).find(core::platform::ComputerName()), std::string::npos);
    // The folder's other lock stays free meanwhile.
    EXPECT_TRUE(FolderLock::Acquire(dir.path(), otherKind, 0ms).held());

    // Killed as a power loss would: the system lets go of its lock.
    EXPECT_TRUE(child.kill());
    const auto after = FolderLock::Acquire(dir.path(), k, 5s);
    EXPECT_TRUE(after.held()) << after.error();
  }
}

TEST(FolderLock, TwoProcessesWritingOneIniFileKeepEachOthersValues) {
  TempDir dir;
  const fs::path ini = dir / "vortane.ini";
  testing_support::WriteBytes(ini, "[GLOBAL]\r\ntype=1\r\n");
  constexpr int kEach = 60;
  ChildProcess a("write-ini", {core::Utf8FromPath(ini), "1", std::to_string(kEach)});
  ChildProcess b("write-ini", {core::Utf8FromPath(ini), "2", std::to_string(kEach)});
  ASSERT_TRUE(a.started() && b.started());
  testing_support::WriteBytes(dir / "go", "");
  EXPECT_EQ(a.wait(), 0);
  EXPECT_EQ(b.wait(), 0);
  const core::IniFile file = core::IniFile::load(ini);
  int missing = 0;
  for (const char* prefix : {"1", "2"}) {
    for (int i = 0; i < kEach; ++i)
      missing += file.readInt("REQPTR", prefix + std::to_string(i), -1) == i ? 0 : 1;
  }
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(file.readInt("GLOBAL", "type", -1), 1);
}

}  // namespace
