// What taking turns in a shared program folder costs one transfer: its
// transfer lock (open vortane.lck, lock a byte, write the holder's note),
// the look for journals left by other terminals' transfers, the settings
// lock around storing the pointer, and letting both go.
//
// The folder is a fresh temporary one, or VORTANE_BENCH_DIR (a folder on the
// file share the installation uses, for example).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/folder_lock.h"
#include "core/ini_file.h"
#include "device/transfer_journal.h"

namespace {

namespace fs = std::filesystem;

class Folder {
 public:
  Folder() {
    if (const char* given = std::getenv("VORTANE_BENCH_DIR"); given && *given) {
      m_path = fs::path(given) / ("vortane-lock-bench-" + std::to_string(std::random_device{}()));
    } else {
      m_path = fs::temp_directory_path() / ("vortane-lock-bench-" + std::to_string(std::random_device{}()));
    }
    fs::create_directories(m_path);
    // A program folder as installations have it.
    std::ofstream(m_path / "vortane.ini") << "[GLOBAL]\r\ntype=1\r\n[REQPTR]\r\n4321=0\r\n";
    for (const char* f : {"prac.txt", "sviatky.txt", "stav.bin", "vortane.tip"}) std::ofstream(m_path / f) << "x";
    fs::create_directories(m_path / "Log");
    fs::create_directories(m_path / "html");
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const fs::path& path() const { return m_path; }

 private:
  fs::path m_path;
};

void BM_TransferLockAndRelease(benchmark::State& state) {
  Folder folder;
  for (auto _ : state) {
    auto lock = core::FolderLock::Acquire(folder.path(), core::LockKind::Transfer, std::chrono::milliseconds(0));
    if (!lock.held()) state.SkipWithError("lock not had");
    lock.release();
  }
}
BENCHMARK(BM_TransferLockAndRelease)->Unit(benchmark::kMicrosecond);

// Everything a transfer does on account of the shared folder.
void BM_LockingOfOneTransfer(benchmark::State& state) {
  Folder folder;
  const fs::path ini = folder.path() / "vortane.ini";
  for (auto _ : state) {
    auto lock = core::FolderLock::Acquire(folder.path(), core::LockKind::Transfer, std::chrono::milliseconds(0));
    benchmark::DoNotOptimize(device::JournalFilesBeside(ini));
    auto settings = core::LockSettingsOf(ini);
    if (!lock.held() || !settings.held()) state.SkipWithError("lock not had");
    settings.release();
    lock.release();
  }
}
BENCHMARK(BM_LockingOfOneTransfer)->Unit(benchmark::kMicrosecond);

// For scale: storing the pointer itself (read, change, replace vortane.ini).
void BM_StorePointer(benchmark::State& state) {
  Folder folder;
  const fs::path ini = folder.path() / "vortane.ini";
  long long value = 0;
  for (auto _ : state) {
    if (!core::WriteProfileInt(ini, "REQPTR", "4321", ++value)) state.SkipWithError("not written");
  }
}
BENCHMARK(BM_StorePointer)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
