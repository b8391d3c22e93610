#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "base/exceptions.h"
#include "base/format.h"
#include "platform/files.h"

namespace zered {

TFileLock::TFileLock(const std::string& path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  const int create_error = errno;
  // flock needs no write access: an existing lock file in a read-only folder still serves.
  if (fd < 0 && (create_error == EACCES || create_error == EROFS)) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) {
    throw EFCreateError(Format("Cannot create file \"%s\". %s", ExpandFileName(path).c_str(),
                               SystemErrorReason(create_error).c_str()));
  }
  handle_ = fd;
  // flock, not fcntl: an fcntl lock is the process's, so a second lock within the process
  // would be granted, and closing any descriptor of the file would drop it.
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  locked_ = result == 0;
}

TFileLock::~TFileLock() { ::close(static_cast<int>(handle_)); }

}  // namespace zered
