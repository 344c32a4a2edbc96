#if !defined(_WIN32)

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "core/error_text.h"
#include "core/path_text.h"
#include "core/platform.h"

namespace core::platform {

bool LocalTime(std::time_t t, std::tm& out) { return ::localtime_r(&t, &out) != nullptr; }

long ProcessId() { return static_cast<long>(::getpid()); }

std::string ComputerName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "?";
  return name;
}

std::string UserName() {
  for (const char* key : {"USER", "LOGNAME"}) {
    if (const char* v = std::getenv(key); v && *v) return v;
  }
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
  return "?";
}

LockHandle OpenLockFile(const std::filesystem::path& file, std::string& error) {
  int fd = -1;
  bool created = false;
  for (int attempt = 0; attempt < 2 && fd < 0; ++attempt) {
    fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
      fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      created = fd >= 0;
      if (fd < 0 && errno == EEXIST) continue;  // another program created it meanwhile
    }
    break;
  }
  if (fd < 0) {
    error = DisplayPath(file) + ": " + ReasonTextOfErrno(errno);
    return kNoLockHandle;
  }
  // Whoever creates the file lets every other user of the folder lock it too.
  if (created) (void)::fchmod(fd, 0666);
  return fd;
}

namespace {

int lockByte(LockHandle handle, std::uint64_t offset, short type) {
  struct flock fl;
  std::memset(&fl, 0, sizeof fl);
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = static_cast<off_t>(offset);
  fl.l_len = 1;
#if defined(F_OFD_SETLK)
  // Locks of the open file description: two handles of one process exclude
  // each other, and closing another handle of the file keeps this lock.
  return ::fcntl(static_cast<int>(handle), F_OFD_SETLK, &fl);
#else
  return ::fcntl(static_cast<int>(handle), F_SETLK, &fl);
#endif
}

}  // namespace

LockAttempt TryLockByte(LockHandle handle, std::uint64_t offset, std::string& error) {
  for (;;) {
    if (lockByte(handle, offset, F_WRLCK) == 0) return LockAttempt::Taken;
    if (errno == EINTR) continue;
    if (errno == EACCES || errno == EAGAIN) return LockAttempt::Busy;
    error = ReasonTextOfErrno(errno);
    return LockAttempt::Failed;
  }
}

void UnlockByte(LockHandle handle, std::uint64_t offset) { (void)lockByte(handle, offset, F_UNLCK); }

bool WriteLockNote(LockHandle handle, std::uint64_t offset, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(static_cast<int>(handle), bytes.data() + done, bytes.size() - done,
                               static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void CloseLockFile(LockHandle handle) {
  if (handle != kNoLockHandle) ::close(static_cast<int>(handle));
}

}  // namespace core::platform

#endif
