#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/implementation.h"
#include "platform/process.h"

namespace zered {
namespace {

// The GNU and the XSI strerror_r differ in their result; both overloads keep either building.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }

int Descriptor(intptr_t handle) { return static_cast<int>(handle); }

// Makes the rename durable; a failure here does not undo the replacement, so it is ignored.
void SyncFolder(const std::string& path) {
  std::string folder = path.substr(0, FolderLength(path));
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

char PathDelimiter() { return '/'; }

bool IsPathDelimiter(char c) { return c == '/'; }

bool IsAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

size_t FolderLength(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

bool FileExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ExpandFileName(const std::string& path) {
  std::string full = path;
  if (!IsAbsolutePath(full)) {
    std::string current = GetCurrentDir();
    if (current.empty() || current.back() != '/') current += '/';
    full = current + full;
  }
  // Lexical clean-up: "//" and "/./" vanish, "/x/../" goes back one folder.
  std::vector<std::string_view> parts;
  std::string_view rest(full);
  const bool trailing_slash = full.size() > 1 && full.back() == '/';
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string result;
  for (const std::string_view part : parts) {
    result += '/';
    result += part;
  }
  if (result.empty() || trailing_slash) result += '/';
  return result;
}

std::string ResolveFileNameCase(const std::string& path) {
  struct stat info;
  if (path.empty() || ::lstat(path.c_str(), &info) == 0) return path;
  const std::string folder = path.substr(0, FolderLength(path));
  const std::string name = path.substr(folder.size());
  if (name.empty()) return path;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return path;
  // Several names may differ only in case; the smallest in byte order wins so the choice
  // does not depend on the directory's order.
  std::string best;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) != 0) continue;
    if (best.empty() || std::strcmp(entry->d_name, best.c_str()) < 0) best = entry->d_name;
  }
  ::closedir(dir);
  return best.empty() ? path : folder + best;
}

std::string SystemErrorText(int error_number) {
  char buffer[256] = {};
  return ErrorText(::strerror_r(error_number, buffer, sizeof buffer), buffer);
}

TAtomicFileWriter::TAtomicFileWriter(std::string path) : path_(std::move(path)), target_(path_) {
  struct stat info;
  if (::lstat(path_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* real = ::realpath(path_.c_str(), nullptr)) {
      target_ = real;
      std::free(real);
    }
  }
  static std::atomic<unsigned> counter{0};
  int fd = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path_ = target_ + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) break;
  }
  if (fd < 0) {
    const int error_number = errno;
    temp_path_.clear();
    throw FileCreateError(path_, error_number);
  }
  handle_ = fd;
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (handle_ != -1) ::close(Descriptor(handle_));
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
}

void TAtomicFileWriter::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t written =
        ::write(Descriptor(handle_), buffer_.data() + done, buffer_.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    done += static_cast<size_t>(written);
  }
  buffer_.clear();
}

void TAtomicFileWriter::Commit() {
  if (handle_ == -1) FailClosed();
  Flush();
  const int fd = Descriptor(handle_);
  // A replaced file keeps its permissions.
  struct stat info;
  if (::stat(target_.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    ::fchmod(fd, info.st_mode & 07777);
  if (::fsync(fd) != 0) Fail(errno);
  handle_ = -1;
  if (::close(fd) != 0) Fail(errno);
  if (::rename(temp_path_.c_str(), target_.c_str()) != 0) Fail(errno);
  temp_path_.clear();
  SyncFolder(target_);
}

void TAtomicFileWriter::Fail(int error_number) {
  if (handle_ != -1) ::close(Descriptor(handle_));
  handle_ = -1;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
  buffer_.clear();
  throw FileCreateError(path_, error_number);
}

void TAtomicFileWriter::FailClosed() { throw FileCreateError(path_, EBADF); }

TReadOnlyFile::TReadOnlyFile(const std::string& path, std::chrono::milliseconds lock_wait_limit)
    : path_(path), lock_wait_limit_(lock_wait_limit) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw FileOpenError(path_, errno);
  struct stat info;
  int error_number = 0;
  if (::fstat(fd, &info) != 0) {
    error_number = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error_number = EISDIR;
  }
  if (error_number != 0) {
    ::close(fd);
    throw FileOpenError(path_, error_number);
  }
  handle_ = fd;
}

TReadOnlyFile::~TReadOnlyFile() {
  if (handle_ != -1) ::close(Descriptor(handle_));
}

size_t TReadOnlyFile::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  char* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t got =
        ::pread(Descriptor(handle_), out + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileOpenError(path_, errno);
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// POSIX locks are advisory: a read never meets one, and the wait limit has nothing to bound.
std::optional<size_t> TReadOnlyFile::TryReadAt(uint64_t offset, void* buffer, size_t size) const {
  return ReadAt(offset, buffer, size);
}

uint64_t TReadOnlyFile::Size() const {
  struct stat info;
  if (::fstat(Descriptor(handle_), &info) != 0) throw FileOpenError(path_, errno);
  return static_cast<uint64_t>(info.st_size);
}

}  // namespace zered
