#include "platform/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/implementation.h"
#include "platform/lock_retry.h"
#include "platform/process.h"

namespace zered {
namespace {

// ReadFile and WriteFile take 32-bit sizes; larger requests go in pieces of this size.
constexpr size_t kMaxPiece = size_t{1} << 30;

HANDLE Handle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

int LastError() { return static_cast<int>(::GetLastError()); }

// Reads the region in pieces; nullopt when a piece is still locked by another process after
// `lock_wait_limit`. The end of the file ends the read short.
std::optional<size_t> ReadRegion(HANDLE handle, const std::string& path, uint64_t offset,
                                 void* buffer, size_t size,
                                 std::chrono::milliseconds lock_wait_limit) {
  char* out = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const DWORD piece = static_cast<DWORD>(std::min(size - done, kMaxPiece));
    const uint64_t position = offset + done;
    DWORD got = 0;
    DWORD error = 0;
    const TLockedAttempt outcome = RetryWhileLocked(
        [&] {
          OVERLAPPED at{};
          at.Offset = static_cast<DWORD>(position);
          at.OffsetHigh = static_cast<DWORD>(position >> 32);
          got = 0;
          error = ::ReadFile(handle, out + done, piece, &got, &at) ? 0 : ::GetLastError();
          return error == ERROR_LOCK_VIOLATION ? TLockedAttempt::kLocked : TLockedAttempt::kDone;
        },
        lock_wait_limit);
    if (outcome == TLockedAttempt::kLocked) return std::nullopt;
    if (error == ERROR_HANDLE_EOF) break;
    if (error != 0) throw FileOpenError(path, static_cast<int>(error));
    if (got == 0) break;
    done += got;
  }
  return done;
}

}  // namespace

char PathDelimiter() { return '\\'; }

bool IsPathDelimiter(char c) { return c == '\\' || c == '/'; }

bool IsAbsolutePath(std::string_view path) {
  if (path.size() < 2) return false;
  const bool drive =
      path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  // A folder rooted on the current drive ("\data") is not full: it depends on that drive.
  return drive || (IsPathDelimiter(path[0]) && IsPathDelimiter(path[1]));
}

size_t FolderLength(std::string_view path) {
  const size_t last = path.find_last_of("\\/:");
  return last == std::string_view::npos ? 0 : last + 1;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ExpandFileName(const std::string& path) {
  if (path.empty()) {
    std::string current = GetCurrentDir();
    if (!current.empty() && !IsPathDelimiter(current.back())) current += '\\';
    return current;
  }
  std::vector<char> full(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) return std::string(full.data(), length);
    full.resize(length);
  }
}

std::string ResolveFileNameCase(const std::string& path) { return path; }

std::string SystemErrorText(int error_number) {
  char buffer[1024];
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error_number), 0, buffer, sizeof buffer, nullptr);
  if (length == 0) return "Unknown error " + std::to_string(error_number);
  return std::string(buffer, length);
}

TAtomicFileWriter::TAtomicFileWriter(std::string path) : path_(std::move(path)), target_(path_) {
  static std::atomic<unsigned> counter{0};
  HANDLE handle = INVALID_HANDLE_VALUE;
  int error_number = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path_ = target_ + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" +
                 std::to_string(counter++);
    handle = ::CreateFileA(temp_path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) break;
    error_number = LastError();
    if (error_number != ERROR_FILE_EXISTS && error_number != ERROR_ALREADY_EXISTS) break;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    temp_path_.clear();
    throw FileCreateError(path_, error_number);
  }
  handle_ = reinterpret_cast<intptr_t>(handle);
}

TAtomicFileWriter::~TAtomicFileWriter() {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
  if (!temp_path_.empty()) ::DeleteFileA(temp_path_.c_str());
}

void TAtomicFileWriter::Flush() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const DWORD piece = static_cast<DWORD>(std::min(buffer_.size() - done, kMaxPiece));
    DWORD written = 0;
    if (!::WriteFile(Handle(handle_), buffer_.data() + done, piece, &written, nullptr)) {
      Fail(LastError());
    }
    done += written;
  }
  buffer_.clear();
}

void TAtomicFileWriter::Commit() {
  if (handle_ == -1) FailClosed();
  Flush();
  const HANDLE handle = Handle(handle_);
  if (!::FlushFileBuffers(handle)) Fail(LastError());
  handle_ = -1;
  if (!::CloseHandle(handle)) Fail(LastError());
  if (!::MoveFileExA(temp_path_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail(LastError());
  }
  temp_path_.clear();
}

void TAtomicFileWriter::Fail(int error_number) {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
  handle_ = -1;
  if (!temp_path_.empty()) ::DeleteFileA(temp_path_.c_str());
  temp_path_.clear();
  buffer_.clear();
  throw FileCreateError(path_, error_number);
}

void TAtomicFileWriter::FailClosed() { throw FileCreateError(path_, ERROR_INVALID_HANDLE); }

TReadOnlyFile::TReadOnlyFile(const std::string& path, std::chrono::milliseconds lock_wait_limit)
    : path_(path), lock_wait_limit_(lock_wait_limit) {
  const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw FileOpenError(path_, LastError());
  handle_ = reinterpret_cast<intptr_t>(handle);
}

TReadOnlyFile::~TReadOnlyFile() {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
}

size_t TReadOnlyFile::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  const std::optional<size_t> got =
      ReadRegion(Handle(handle_), path_, offset, buffer, size, lock_wait_limit_);
  if (!got) throw FileOpenError(path_, ERROR_LOCK_VIOLATION);
  return *got;
}

std::optional<size_t> TReadOnlyFile::TryReadAt(uint64_t offset, void* buffer, size_t size) const {
  return ReadRegion(Handle(handle_), path_, offset, buffer, size, std::chrono::milliseconds(0));
}

uint64_t TReadOnlyFile::Size() const {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(Handle(handle_), &size)) throw FileOpenError(path_, LastError());
  return static_cast<uint64_t>(size.QuadPart);
}

}  // namespace zered
