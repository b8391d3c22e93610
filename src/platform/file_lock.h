#pragma once

#include <cstdint>
#include <string>

namespace zered {

// An exclusive lock on a whole small file, tried once without waiting and held while the
// object lives. The operating system releases it when the process ends, however it ends, so a
// crash never leaves it behind. Two locks on the same file exclude each other also within one
// process. The file itself stays (removing it would let a later locker take a fresh file
// while an earlier one still holds the old).
class TFileLock {
 public:
  // Opens `path`, creating an empty file when there is none, and tries to lock it. Throws
  // EFCreateError "Cannot create file "%s". %s" when the file can be neither created nor
  // opened.
  explicit TFileLock(const std::string& path);
  ~TFileLock();
  TFileLock(const TFileLock&) = delete;
  TFileLock& operator=(const TFileLock&) = delete;

  // False when another holder had the lock at the time of the attempt.
  bool Locked() const { return locked_; }

 private:
  std::intptr_t handle_;  // the open file: a descriptor on POSIX, a HANDLE on Windows
  bool locked_ = false;
};

}  // namespace zered
