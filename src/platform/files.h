#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_lines.h"

namespace zered {

// Paths as the platform writes them. The folder delimiter is "\" on Windows, which takes
// "/" as well, and "/" elsewhere. A full path starts with "/" on POSIX; on Windows with a
// drive ("C:") or two delimiters (a share, "\\server"); any other path is relative.
char PathDelimiter();
bool IsPathDelimiter(char c);
bool IsAbsolutePath(std::string_view path);
// The length of the folder part of `path`: up to and including its last delimiter (on
// Windows also a drive's ":"), 0 for a bare name.
size_t FolderLength(std::string_view path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// The full path of `path`: relative paths are taken from the current directory, "." and ".."
// parts and doubled delimiters are removed lexically (links are not followed); on Windows
// every "/" becomes "\".
std::string ExpandFileName(const std::string& path);

// The exact name if it exists, else a file in the same folder whose name differs only in
// letter case (tables from Windows arrive as FAP.DBF, fap.FPT), else `path` unchanged. On
// Windows, whose file names ignore letter case, always `path`.
std::string ResolveFileNameCase(const std::string& path);

// The platform's text for an error number (errno, or a Windows error code), trailing
// blanks, line breaks and dots removed.
std::string SystemErrorReason(int error_number);

// Reads a whole file. Throws EFOpenError "Cannot open file "%s". %s" (messages name the
// expanded path).
std::string ReadWholeFile(const std::string& path);
TextLines LoadLinesFromFile(const std::string& path);

// Writes a file so that readers see either the old or the complete new content: the bytes
// go to a temporary file in the same folder, are flushed to the disk and renamed over `path`
// (on Windows with MoveFileExA, replacing and writing through).
// Throws EFCreateError "Cannot create file "%s". %s"; the old file then stays.
void ReplaceFileAtomically(const std::string& path, std::string_view content);
void SaveLinesToFile(const std::string& path, const TextLines& lines);

// Streams a file that replaces `path` only on Commit(); destroying it uncommitted removes
// the temporary file and leaves `path` untouched. Errors throw EFCreateError naming `path`;
// after a failure neither the temporary file nor a partly written `path` remains. On POSIX
// a symbolic link stays (the file it points to is replaced) and a replaced file keeps its
// permissions; on Windows the new file takes the folder's inherited permissions, and a
// read-only `path` is not replaced.
class TAtomicFileWriter {
 public:
  explicit TAtomicFileWriter(std::string path);
  ~TAtomicFileWriter();
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  // Buffered; flushes in large blocks.
  void Write(std::string_view bytes);
  void Commit();

 private:
  void Flush();
  [[noreturn]] void Fail(int error_number);
  [[noreturn]] void FailClosed();

  std::string path_;
  std::string target_;  // `path_`, or the file it links to
  std::string temp_path_;
  intptr_t handle_ = -1;  // file descriptor or HANDLE of the temporary file, -1 when none
  std::string buffer_;
};

// A file opened read-only, shared with writers (another program may write meanwhile, and on
// Windows rename or delete it: FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE).
class TReadOnlyFile {
 public:
  // How long a read waits for another process's lock on its region by default: 10 seconds.
  // Locks of the accounting program last while it writes a record; a region locked longer
  // than this fails the read instead of holding up an unattended run for good.
  static constexpr std::chrono::milliseconds kLockWaitLimit{10000};

  // Throws EFOpenError "Cannot open file "%s". %s" when it cannot be opened.
  explicit TReadOnlyFile(const std::string& path,
                         std::chrono::milliseconds lock_wait_limit = kLockWaitLimit);
  ~TReadOnlyFile();
  TReadOnlyFile(const TReadOnlyFile&) = delete;
  TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

  // Reads up to `size` bytes at `offset`; returns how many were read (short at the end).
  // Where the system has mandatory byte-range locks (Windows: ERROR_LOCK_VIOLATION), a read of
  // a region that another process has locked is repeated every millisecond until the lock is
  // gone, for at most the lock wait limit. An I/O error, or a lock held beyond that limit,
  // throws EFOpenError "Cannot open file "%s". %s" naming the file and the system's reason.
  size_t ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // Reads as ReadAt, but gives up at once when another process holds a lock on part of the
  // region: nullopt then, and the caller may read a smaller region with ReadAt.
  std::optional<size_t> TryReadAt(uint64_t offset, void* buffer, size_t size) const;
  // The current size; the file may grow while it is open.
  uint64_t Size() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  [[maybe_unused]] std::chrono::milliseconds lock_wait_limit_;  // where reads meet locks
  intptr_t handle_ = -1;  // file descriptor or HANDLE, -1 when none
};

}  // namespace zered
