#include "platform/file_lock.h"

#include <windows.h>

#include "base/exceptions.h"
#include "base/format.h"
#include "platform/files.h"

namespace zered {

TFileLock::TFileLock(const std::string& path) {
  // Full sharing: a holder of the lock must not stop another run from opening the file to
  // find the lock taken.
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD create_error = ::GetLastError();
  if (file == INVALID_HANDLE_VALUE && create_error == ERROR_ACCESS_DENIED) {
    file = ::CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    throw EFCreateError(Format("Cannot create file \"%s\". %s", ExpandFileName(path).c_str(),
                               SystemErrorReason(static_cast<int>(create_error)).c_str()));
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  // One byte at offset 0 stands for the whole file; a lock may lie beyond the file's end.
  OVERLAPPED at_start{};
  locked_ = ::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &at_start) != 0;
}

// Closing the handle releases the lock; the system does the same when the process ends.
TFileLock::~TFileLock() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

}  // namespace zered
