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

#include "base/exceptions.h"
#include "base/format.h"
#include "platform/process.h"

namespace zered {
namespace {

constexpr size_t kWriteBlock = 64 * 1024;

// The GNU and the XSI strerror_r differ in their result; both overloads keep either building.
[[maybe_unused]] const char* ErrorText(int result, const char* buffer) {
  return result == 0 ? buffer : "Unknown error";
}
[[maybe_unused]] const char* ErrorText(const char* result, const char*) { return result; }

EFOpenError OpenError(const std::string& path, int error_number) {
  return EFOpenError(Format("Cannot open file \"%s\". %s", ExpandFileName(path).c_str(),
                            SystemErrorReason(error_number).c_str()));
}

EFCreateError CreateError(const std::string& path, int error_number) {
  return EFCreateError(Format("Cannot create file \"%s\". %s", ExpandFileName(path).c_str(),
                              SystemErrorReason(error_number).c_str()));
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Makes the rename durable; a failure here does not undo the replacement, so it is ignored.
void SyncFolder(const std::string& path) {
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

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
  if (full.empty() || full[0] != '/') {
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
  const std::string folder = FolderOf(path);
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

std::string SystemErrorReason(int error_number) {
  char buffer[256] = {};
  std::string text = ErrorText(::strerror_r(error_number, buffer, sizeof buffer), buffer);
  while (!text.empty() &&
         (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.'))
    text.pop_back();
  return text;
}

std::string ReadWholeFile(const std::string& path) {
  TReadOnlyFile file(path);
  std::string content;
  const uint64_t size = file.Size();
  content.resize(static_cast<size_t>(size));
  size_t done = file.ReadAt(0, content.data(), content.size());
  content.resize(done);
  // The file may have grown since its size was taken.
  char block[16 * 1024];
  for (;;) {
    const size_t got = file.ReadAt(done, block, sizeof block);
    if (got == 0) break;
    content.append(block, got);
    done += got;
  }
  return content;
}

TextLines LoadLinesFromFile(const std::string& path) { return SplitLines(ReadWholeFile(path)); }

void ReplaceFileAtomically(const std::string& path, std::string_view content) {
  TAtomicFileWriter writer(path);
  writer.Write(content);
  writer.Commit();
}

void SaveLinesToFile(const std::string& path, const TextLines& lines) {
  TAtomicFileWriter writer(path);
  for (const std::string& line : lines) {
    writer.Write(line);
    writer.Write("\r\n");
  }
  writer.Commit();
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
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path_ = target_ + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd_ = ::open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) break;
    if (errno != EEXIST) break;
  }
  if (fd_ < 0) {
    const int error_number = errno;
    temp_path_.clear();
    throw CreateError(path_, error_number);
  }
  buffer_.reserve(kWriteBlock);
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
}

void TAtomicFileWriter::Write(std::string_view bytes) {
  if (fd_ < 0) throw CreateError(path_, EBADF);
  if (buffer_.size() + bytes.size() > kWriteBlock) {
    Flush();
    if (bytes.size() >= kWriteBlock) {
      buffer_.assign(bytes);
      Flush();
      return;
    }
  }
  buffer_.append(bytes);
}

void TAtomicFileWriter::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t written = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    done += static_cast<size_t>(written);
  }
  buffer_.clear();
}

void TAtomicFileWriter::Commit() {
  if (fd_ < 0) throw CreateError(path_, EBADF);
  Flush();
  // A replaced file keeps its permissions.
  struct stat info;
  if (::stat(target_.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    ::fchmod(fd_, info.st_mode & 07777);
  if (::fsync(fd_) != 0) Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail(errno);
  if (::rename(temp_path_.c_str(), target_.c_str()) != 0) Fail(errno);
  temp_path_.clear();
  SyncFolder(target_);
}

void TAtomicFileWriter::Fail(int error_number) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
  buffer_.clear();
  throw CreateError(path_, error_number);
}

TReadOnlyFile::TReadOnlyFile(const std::string& path) : path_(path) {
  do {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) throw OpenError(path_, errno);
  struct stat info;
  int error_number = 0;
  if (::fstat(fd_, &info) != 0) {
    error_number = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error_number = EISDIR;
  }
  if (error_number != 0) {
    ::close(fd_);
    fd_ = -1;
    throw OpenError(path_, error_number);
  }
}

TReadOnlyFile::~TReadOnlyFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t TReadOnlyFile::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  char* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw OpenError(path_, errno);
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// POSIX locks are advisory: a read never meets one.
std::optional<size_t> TReadOnlyFile::TryReadAt(uint64_t offset, void* buffer, size_t size) const {
  return ReadAt(offset, buffer, size);
}

uint64_t TReadOnlyFile::Size() const {
  struct stat info;
  if (::fstat(fd_, &info) != 0) throw OpenError(path_, errno);
  return static_cast<uint64_t>(info.st_size);
}

}  // namespace zered
