#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace zered {

// How the files of one table are opened. This reader never writes: every mode opens the
// files for reading only and shared with other processes; corrections of a header stay in
// memory.
enum TPagedFileMode { pfReadOnly, pfReadWriteOpen, pfExclusiveOpen };

// A file read in pages of `RecordSize()` bytes. Pages are counted from 1 after the header
// (table file) or from 0 at the start of the file (memo file). Every read is one positioned
// read; the header is kept in memory.
class TPagedFile {
 public:
  TPagedFile(std::string file_name, TPagedFileMode mode);
  virtual ~TPagedFile();
  TPagedFile(const TPagedFile&) = delete;
  TPagedFile& operator=(const TPagedFile&) = delete;

  const std::string& FileName() const { return file_name_; }
  TPagedFileMode Mode() const { return mode_; }
  bool Active() const { return file_ != nullptr; }

  // The header length: pages of a table file start here. The header buffer may hold more
  // bytes than this (a damaged header may claim less room than its first descriptor).
  int HeaderSize() const { return header_size_; }
  int RecordSize() const { return record_size_; }
  // The header as read (and as corrected in memory).
  const uint8_t* Header() const { return header_.data(); }
  uint8_t* Header() { return header_.data(); }

  // The current file size (the file may grow while it is open); 0 when closed.
  uint64_t FileSize() const;

 protected:
  // Opens the file read-only and shared. A missing file throws Exception
  // "Open: file not found: "%s"."; a file that cannot be opened throws EFOpenError.
  void OpenFile();
  void CloseFile();
  // Reads up to `size` bytes at `offset`; returns how many were read.
  size_t ReadBlock(uint64_t offset, void* buffer, size_t size) const;
  // Sets the header length and fills a header buffer of at least `buffer_size` bytes (and
  // at least `header_size`) from the start of the file; bytes beyond the end of the file
  // read as zero.
  void ReadHeader(size_t header_size, size_t buffer_size = 0);
  size_t HeaderBufferSize() const { return header_.size(); }
  void SetRecordSize(int record_size) { record_size_ = record_size; }
  // The offset of page `page`: from the end of the header when `pages_after_header`.
  uint64_t PageOffset(int64_t page) const;
  void SetPagesAfterHeader(bool value) { pages_after_header_ = value; }

 private:
  std::string file_name_;
  TPagedFileMode mode_;
  std::unique_ptr<TReadOnlyFile> file_;
  std::vector<uint8_t> header_;
  int header_size_ = 0;
  int record_size_ = 0;
  bool pages_after_header_ = true;
};

}  // namespace zered
