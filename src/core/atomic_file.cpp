#include "core/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "core/error_text.h"
#include "core/path_text.h"
#include "core/platform.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace core {
namespace {

void setError(std::string* error, FileAction action, const fs::path& path, int err) {
  if (!error) return;
  *error = FileErrorText(action, path, err != 0 ? ReasonTextOfErrno(err) : std::string());
}

fs::path temporaryName(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  const long pid = platform::ProcessId();
  fs::path tmp = target;
  tmp += ".tmp" + std::to_string(pid) + "-" + std::to_string(counter++);
  return tmp;
}

#if !defined(_WIN32)
// Writes everything, retrying short writes and interrupted calls.
bool writeAll(int fd, std::string_view bytes, int& err) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}
#endif

}  // namespace

bool WriteFileAtomically(const fs::path& requested, std::string_view bytes, std::string* error) {
  if (requested.empty() || !requested.has_filename()) {
    setError(error, FileAction::Create, requested, EINVAL);
    return false;
  }
  // A link is followed, so that the file it points to is replaced and the
  // link stays a link.
  fs::path path = requested;
  std::error_code linkError;
  if (fs::is_symlink(requested, linkError)) {
    const fs::path target = fs::weakly_canonical(requested, linkError);
    if (!linkError) path = target;
  }
  const fs::path tmp = temporaryName(path);
#if defined(_WIN32)
  // Without the flush and the write-through move a power cut can leave the
  // replaced file empty.
  std::string why;
  if (!platform::WriteNewFileDurably(tmp, bytes, why)) {
    if (error) *error = why;
    return false;
  }
  bool locked = false;
  if (!platform::ReplaceFileDurably(tmp, path, why, locked)) {
    if (error) *error = why;
    return false;
  }
  return true;
#else
  // Keep the permissions of the file being replaced.
  mode_t mode = 0666;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) {
      setError(error, FileAction::Replace, path, EISDIR);
      return false;
    }
    mode = st.st_mode & 07777;
  }
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    setError(error, FileAction::Create, tmp, errno);
    return false;
  }
  int err = 0;
  bool ok = writeAll(fd, bytes, err);
  if (ok && ::fsync(fd) != 0) {
    err = errno;
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    err = errno;
    ok = false;
  }
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
    err = errno;
    ::unlink(tmp.c_str());
    setError(error, FileAction::Replace, path, err);
    return false;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    setError(error, FileAction::Write, path, err);
    return false;
  }
  // Make the rename itself durable; failure here does not undo the write.
  const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
  return true;
#endif
}

bool ReadWholeFile(const fs::path& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // Read in chunks rather than trusting the reported size, so special files
  // and files growing meanwhile are handled the same way.
  std::string data;
  char buf[65536];
  while (in) {
    in.read(buf, sizeof buf);
    const auto n = static_cast<std::size_t>(in.gcount());
    if (n == 0) break;
    if (data.size() + n > maxBytes) return false;
    data.append(buf, n);
  }
  if (in.bad()) return false;
  bytes = std::move(data);
  return true;
}

bool AppendToFile(const fs::path& path, std::string_view bytes) {
#if defined(_WIN32)
  // Like write(2) elsewhere: into the system's cache. A flush to the disk per
  // month-log line would slow a full download down; transfers flush their
  // logs at checkpoints (FlushToDisk).
  return platform::AppendDurably(path, bytes, false);
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  const bool sized = ::fstat(fd, &st) == 0;
  int err = 0;
  const bool ok = writeAll(fd, bytes, err);
  // A write cut short (disk full) must not leave half a line for the next
  // record to be glued to.
  if (!ok && sized) (void)::ftruncate(fd, st.st_size);
  const bool closed = ::close(fd) == 0;
  return ok && closed;
#endif
}

bool FlushToDisk(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
#if defined(_WIN32)
  // Appending nothing opens the file for writing and flushes its buffers.
  return platform::AppendDurably(path, {});
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
#endif
}

bool FlushFolder(const fs::path& folder) {
#if defined(_WIN32)
  (void)folder;
  return true;
#else
  const fs::path dir = folder.empty() ? fs::path(".") : folder;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
#endif
}

bool AppendToFileDurably(const fs::path& path, std::string_view bytes) {
#if defined(_WIN32)
  return platform::AppendDurably(path, bytes);
#else
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  const bool sized = ::fstat(fd, &st) == 0;
  int err = 0;
  bool ok = writeAll(fd, bytes, err);
  if (!ok && sized) (void)::ftruncate(fd, st.st_size);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
#endif
}

}  // namespace core
