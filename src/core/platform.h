#pragma once
// The few operating-system calls that core needs and that differ between
// Windows and the POSIX systems. Each has one implementation in
// platform_posix.cpp and one in platform_win32.cpp.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace core::platform {

// The local calendar time of `t`; false when the system cannot convert it.
bool LocalTime(std::time_t t, std::tm& out);

// Numeric id of this process, for scratch file names.
long ProcessId();

// The name of this computer and of the user the program runs for, as the
// system tells them (UTF-8); "?" when it does not.
std::string ComputerName();
std::string UserName();

// Locks between processes, also on other computers sharing a folder: an
// exclusive lock of one byte of a lock file (fcntl record locks elsewhere,
// LockFileEx on Windows). The system releases a lock when its holder's
// handle is closed or its process dies, however it dies.
using LockHandle = std::intptr_t;
inline constexpr LockHandle kNoLockHandle = -1;

// Opens `file` for reading and writing, creating it when missing, shared
// with every other program. kNoLockHandle with `error` set otherwise.
LockHandle OpenLockFile(const std::filesystem::path& file, std::string& error);

enum class LockAttempt { Taken, Busy, Failed };
// Takes the exclusive lock of the byte at `offset` without waiting: Busy when
// another handle (of this or another process) holds it, Failed with `error`
// when the system refuses locks on that file.
LockAttempt TryLockByte(LockHandle handle, std::uint64_t offset, std::string& error);
void UnlockByte(LockHandle handle, std::uint64_t offset);

// Writes `bytes` at `offset` of the lock file (a note for whoever waits).
bool WriteLockNote(LockHandle handle, std::uint64_t offset, std::string_view bytes);
void CloseLockFile(LockHandle handle);

#if defined(_WIN32)
// Why a Windows call failed (GetLastError's code): the reasons a clerk meets
// most in Slovak, the system's own text for the rest.
std::string SystemErrorText(unsigned long code);

// Writes `bytes` to a new file `tmp` (which must not exist) through its wide
// path and flushes it to the disk; false with `error` set otherwise, and then
// no file is left behind.
bool WriteNewFileDurably(const std::filesystem::path& tmp, std::string_view bytes, std::string& error);

// Moves `tmp` over `target` with write-through, retrying a few times while the
// target is held open by another program. On failure `tmp` is removed, the
// target is untouched, `error` says why and `locked` tells whether the target
// stayed open in another program.
bool ReplaceFileDurably(const std::filesystem::path& tmp, const std::filesystem::path& target, std::string& error,
                        bool& locked);

// Appends `bytes` through the wide path, and with `toDisk` flushes them to the
// disk (FlushFileBuffers) before returning; a write cut short is undone so
// that no half line stays at the end.
bool AppendDurably(const std::filesystem::path& file, std::string_view bytes, bool toDisk = true);

// The name of `path` as the C runtime's narrow functions (fopen) take it: in
// the ANSI code page, not UTF-8. When the code page lacks some of its letters,
// the short (8.3) form of the path, or of its folder, stands in. No value when
// neither can express it (short names switched off on the volume).
std::optional<std::string> NarrowFileName(const std::filesystem::path& path);
#endif

}  // namespace core::platform
