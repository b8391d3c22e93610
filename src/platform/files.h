#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_lines.h"

namespace zered {

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// The full path of `path`: relative paths are taken from the current directory, "." and ".."
// parts and doubled "/" are removed lexically (links are not followed).
std::string ExpandFileName(const std::string& path);

// The exact name if it exists, else a file in the same folder whose name differs only in
// letter case (tables from Windows arrive as FAP.DBF, fap.FPT), else `path` unchanged.
std::string ResolveFileNameCase(const std::string& path);

// The platform's text for an error number, trailing blanks, line breaks and dots removed.
std::string SystemErrorReason(int error_number);

// Reads a whole file. Throws EFOpenError "Cannot open file "%s". %s" (messages name the
// expanded path).
std::string ReadWholeFile(const std::string& path);
TextLines LoadLinesFromFile(const std::string& path);

// Writes a file so that readers see either the old or the complete new content: the bytes
// go to a temporary file in the same folder, are flushed and renamed over `path`.
// Throws EFCreateError "Cannot create file "%s". %s"; the old file then stays.
void ReplaceFileAtomically(const std::string& path, std::string_view content);
void SaveLinesToFile(const std::string& path, const TextLines& lines);

// Streams a file that replaces `path` only on Commit(); destroying it uncommitted removes
// the temporary file and leaves `path` untouched. Errors throw EFCreateError naming `path`.
// A symbolic link stays: the file it points to is replaced, and a replaced file keeps its
// permissions.
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
  void Fail(int error_number);

  std::string path_;
  std::string target_;  // `path_`, or the file it links to
  std::string temp_path_;
  int fd_ = -1;
  std::string buffer_;
};

// A file opened read-only, shared with writers (another program may write meanwhile).
class TReadOnlyFile {
 public:
  // Throws EFOpenError "Cannot open file "%s". %s" when it cannot be opened.
  explicit TReadOnlyFile(const std::string& path);
  ~TReadOnlyFile();
  TReadOnlyFile(const TReadOnlyFile&) = delete;
  TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

  // Reads up to `size` bytes at `offset`; returns how many were read (short at the end).
  // Where the system has mandatory byte-range locks (Windows), a read of a region that another
  // process has locked is repeated every millisecond until the lock is gone, for a bounded
  // time. An I/O error, or a lock held beyond that bound, throws EFOpenError naming the file.
  size_t ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // Reads as ReadAt, but gives up at once when another process holds a lock on part of the
  // region: nullopt then, and the caller may read a smaller region with ReadAt.
  std::optional<size_t> TryReadAt(uint64_t offset, void* buffer, size_t size) const;
  // The current size; the file may grow while it is open.
  uint64_t Size() const;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace zered
