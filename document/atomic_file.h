// Replacing a file so that a crash, a kill or a full disk never leaves it damaged: the new
// content goes to a temporary file in the target's folder, is flushed and synced, and is
// renamed over the target only when every byte is on disk. Until the rename the old file is
// untouched; after it the new one is complete.
//
// The target keeps the mode of the file it replaces (a new file gets 0666 minus the umask).
// Writing through a symbolic link replaces the file the link points to and keeps the link.
// A writer that dies may leave its temporary file ("." + name + ".bwtmp-" + pid + "-" + n);
// every successful replacement removes such files in its folder whose writing process is gone.
//
// Nothing here throws. Failures give the system's reason (strerror text).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class AtomicFile {
 public:
  explicit AtomicFile(std::string path);
  ~AtomicFile();  // an uncommitted temporary file is removed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file beside the (link-resolved) target.
  bool Open();
  // Appends bytes; after the first failure every call fails.
  bool Write(const void* data, std::size_t size);
  // Syncs and closes the temporary file and renames it over the target. False leaves the
  // target as it was and removes the temporary file.
  bool Commit();

  const std::string& reason() const { return reason_; }
  const std::string& temp_path() const { return temp_; }

 private:
  bool Fail(int err);
  void Discard();

  std::string path_;
  std::string target_;
  std::string temp_;
  std::string reason_;
  int fd_ = -1;
};

// Replaces path with bytes in one step. False leaves path as it was; *reason then holds the
// system's reason.
bool write_file_atomically(const std::string& path, std::string_view bytes, std::string* reason);

// True for a name this writer gives its temporary files (without the folder).
bool is_atomic_temp_name(const std::string& name);
