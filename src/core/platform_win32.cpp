#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/error_text.h"
#include "core/path_text.h"
#include "core/platform.h"

namespace core::platform {
namespace {

std::string Utf8FromWide(const wchar_t* text, int length) {
  if (length <= 0) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = n > 0 ? Utf8FromWide(buffer, static_cast<int>(n)) : std::string();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  if (text.empty()) text = "error " + std::to_string(code);
  return text;
}

// The reasons a clerk meets most, in Slovak whatever language Windows
// speaks; the system's own text for the rest.
std::string ReasonOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return "súbor neexistuje";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return "priečinok neexistuje alebo nie je dostupný";
    case ERROR_ACCESS_DENIED:
      return "prístup bol odmietnutý";
    case ERROR_SHARING_VIOLATION:
      return "súbor používa iný program";
    case ERROR_LOCK_VIOLATION:
      return "súbor zamkol iný program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "disk je plný";
    case ERROR_WRITE_PROTECT:
      return "disk je chránený proti zápisu";
    case ERROR_DIRECTORY:
      return "na tom mieste je priečinok";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "súbor už existuje";
    case ERROR_INVALID_NAME:
      return "neplatný názov súboru";
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
      return "sieťové spojenie sa prerušilo";
    default:
      return SystemMessage(code);
  }
}

std::string Describe(FileAction action, const std::filesystem::path& path, DWORD code) {
  return FileErrorText(action, path, ReasonOf(code));
}

bool WriteAll(HANDLE file, std::string_view bytes, DWORD& code) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr) || written == 0) {
      code = ::GetLastError();
      return false;
    }
    done += written;
  }
  return true;
}

// A scanner or an indexer holds a file for a moment; a spreadsheet program
// holds it as long as the workbook is open. A move over a held file may also
// be refused as "access denied", which a folder the user may not write to
// gives too: opening the file for deletion tells the two apart.
bool HeldByAnotherProgram(DWORD code, const std::filesystem::path& target) {
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) return true;
  if (code != ERROR_ACCESS_DENIED) return false;
  const HANDLE probe = ::CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
  ::CloseHandle(probe);
  return false;
}

}  // namespace

std::string SystemErrorText(unsigned long code) { return ReasonOf(static_cast<DWORD>(code)); }

bool LocalTime(std::time_t t, std::tm& out) { return ::localtime_s(&out, &t) == 0; }

long ProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!::GetComputerNameW(name, &size) || size == 0) return "?";
  return Utf8FromWide(name, static_cast<int>(size));
}

std::string UserName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  if (!::GetUserNameW(name, &size) || size <= 1) return "?";
  return Utf8FromWide(name, static_cast<int>(size - 1));  // the size counts the terminating zero
}

LockHandle OpenLockFile(const std::filesystem::path& file, std::string& error) {
  // Shared for everything, so that every program (on this computer or on
  // another one reaching the folder over a share) opens the same file.
  const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = DisplayPath(file) + ": " + ReasonOf(::GetLastError());
    return kNoLockHandle;
  }
  return reinterpret_cast<LockHandle>(h);
}

namespace {
OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}
}  // namespace

LockAttempt TryLockByte(LockHandle handle, std::uint64_t offset, std::string& error) {
  OVERLAPPED o = At(offset);
  if (::LockFileEx(reinterpret_cast<HANDLE>(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &o))
    return LockAttempt::Taken;
  const DWORD code = ::GetLastError();
  if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return LockAttempt::Busy;
  error = ReasonOf(code);
  return LockAttempt::Failed;
}

void UnlockByte(LockHandle handle, std::uint64_t offset) {
  OVERLAPPED o = At(offset);
  ::UnlockFileEx(reinterpret_cast<HANDLE>(handle), 0, 1, 0, &o);
}

bool WriteLockNote(LockHandle handle, std::uint64_t offset, std::string_view bytes) {
  OVERLAPPED o = At(offset);
  DWORD written = 0;
  return ::WriteFile(reinterpret_cast<HANDLE>(handle), bytes.data(), static_cast<DWORD>(bytes.size()), &written, &o) &&
         written == bytes.size();
}

void CloseLockFile(LockHandle handle) {
  if (handle != kNoLockHandle) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

bool WriteNewFileDurably(const std::filesystem::path& tmp, std::string_view bytes, std::string& error) {
  const HANDLE file = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = Describe(FileAction::Create, tmp, ::GetLastError());
    return false;
  }
  DWORD code = 0;
  bool ok = WriteAll(file, bytes, code);
  if (ok && !::FlushFileBuffers(file)) {
    code = ::GetLastError();
    ok = false;
  }
  if (!::CloseHandle(file) && ok) {
    code = ::GetLastError();
    ok = false;
  }
  if (!ok) {
    ::DeleteFileW(tmp.c_str());
    error = Describe(FileAction::Write, tmp, code);
  }
  return ok;
}

bool ReplaceFileDurably(const std::filesystem::path& tmp, const std::filesystem::path& target, std::string& error,
                        bool& locked) {
  locked = false;
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(tmp.c_str());
    error = Describe(FileAction::Replace, target, ERROR_DIRECTORY);
    return false;
  }
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
  constexpr int kDelaysMs[] = {50, 100, 200, 400, 800};
  DWORD code = 0;
  bool held = false;
  for (std::size_t attempt = 0;; ++attempt) {
    if (::MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    code = ::GetLastError();
    held = !readOnly && HeldByAnotherProgram(code, target);
    if (!held || attempt == std::size(kDelaysMs)) break;
    ::Sleep(static_cast<DWORD>(kDelaysMs[attempt]));
  }
  ::DeleteFileW(tmp.c_str());
  if (held) {
    locked = true;
    error = "Súbor " + DisplayPath(target) + " je otvorený v inom programe, zatvorte ho a skúste to znova";
  } else {
    error = Describe(FileAction::Replace, target, code);
  }
  return false;
}

bool AppendDurably(const std::filesystem::path& path, std::string_view bytes, bool toDisk) {
  const HANDLE file =
      ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  LARGE_INTEGER zero{};
  bool ok = ::SetFilePointerEx(file, zero, &size, FILE_END) != 0;
  DWORD code = 0;
  if (ok && !WriteAll(file, bytes, code)) {
    // A write cut short (disk full) must not leave half a line for the next
    // record to be glued to.
    if (::SetFilePointerEx(file, size, nullptr, FILE_BEGIN)) ::SetEndOfFile(file);
    ok = false;
  }
  if (ok && toDisk && !::FlushFileBuffers(file)) ok = false;
  const bool closed = ::CloseHandle(file) != 0;
  return ok && closed;
}

namespace {

std::optional<std::string> AnsiText(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  BOOL lossy = FALSE;
  const int length = static_cast<int>(wide.size());
  const int size =
      ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), length, nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), length, text.data(), size, nullptr, &lossy);
  if (lossy) return std::nullopt;
  return text;
}

// The 8.3 form of an existing file or folder; empty when there is none.
std::wstring ShortName(const std::wstring& wide) {
  const DWORD size = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring shortName(size, L'\0');
  const DWORD n = ::GetShortPathNameW(wide.c_str(), shortName.data(), size);
  if (n == 0 || n >= size) return {};
  shortName.resize(n);
  return shortName;
}

}  // namespace

std::optional<std::string> NarrowFileName(const std::filesystem::path& path) {
  if (auto text = AnsiText(path.native())) return text;
  const std::wstring whole = ShortName(path.native());
  if (!whole.empty()) {
    if (auto text = AnsiText(whole)) return text;
  }
  const std::wstring folder = ShortName(path.parent_path().native());
  if (!folder.empty()) {
    if (auto text = AnsiText((std::filesystem::path(folder) / path.filename()).native())) return text;
  }
  return std::nullopt;
}

}  // namespace core::platform

#endif
