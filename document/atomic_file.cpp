#include "document/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kTempMark = ".bwtmp-";

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string name_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names once symbolic links are followed. A dangling link still names its
// destination, so saving through it creates that file rather than replacing the link.
std::string resolve_target(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < 40; ++depth) {  // the kernel's own limit on link chains
    struct stat st {};
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char link[PATH_MAX];
    const ssize_t n = readlink(current.c_str(), link, sizeof link - 1);
    if (n <= 0) return current;
    const std::string dest(link, static_cast<std::size_t>(n));
    current = dest[0] == '/' || current.find('/') == std::string::npos ? dest : folder_of(current) + "/" + dest;
  }
  return current;
}

// Parses "<pid>-<n>" after the mark; 0 when the rest is not of that form.
pid_t writer_pid(const std::string& name) {
  const std::size_t mark = name.rfind(kTempMark);
  if (mark == std::string::npos || name.empty() || name[0] != '.') return 0;
  const char* s = name.c_str() + mark + std::strlen(kTempMark);
  char* end = nullptr;
  const long pid = std::strtol(s, &end, 10);
  if (end == s || *end != '-' || pid <= 0) return 0;
  const char* n = end + 1;
  std::strtoul(n, &end, 10);
  if (end == n || *end != '\0') return 0;
  return static_cast<pid_t>(pid);
}

bool process_gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

// Removes temporary files of writers that died in folder. Files of live writers (this
// process's other writes included) are left alone.
void remove_stale_temps(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    const pid_t pid = writer_pid(name);
    if (pid == 0 || pid == getpid() || !process_gone(pid)) continue;
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  closedir(dir);
}

void sync_folder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // best effort: the rename is already done
  ::close(fd);
}

}  // namespace

bool is_atomic_temp_name(const std::string& name) { return writer_pid(name) != 0; }

AtomicFile::AtomicFile(std::string path) : path_(std::move(path)) {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(int err) {
  if (reason_.empty()) reason_ = std::strerror(err);
  Discard();
  return false;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool AtomicFile::Open() {
  if (fd_ >= 0 || !reason_.empty()) return fd_ >= 0;
  target_ = resolve_target(path_);
  // The name part is cut so the temporary name stays within the 255 bytes a folder entry holds.
  const std::string prefix =
      folder_of(target_) + "/." + name_of(target_).substr(0, 200) + kTempMark + std::to_string(getpid()) + "-";
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = prefix + std::to_string(++counter);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_ = candidate;
      struct stat old {};
      if (stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) fchmod(fd_, old.st_mode & 07777);
      return true;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  return Fail(EEXIST);
}

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Fail(errno);
    if (n == 0) return Fail(ENOSPC);
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  if (fsync(fd_) != 0) return Fail(errno);
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) return Fail(errno);
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) return Fail(errno);
  temp_.clear();
  const std::string folder = folder_of(target_);
  sync_folder(folder);
  remove_stale_temps(folder);
  return true;
}

bool write_file_atomically(const std::string& path, std::string_view bytes, std::string* reason) {
  AtomicFile file(path);
  const bool ok = file.Open() && file.Write(bytes.data(), bytes.size()) && file.Commit();
  if (!ok && reason) *reason = file.reason();
  return ok;
}
