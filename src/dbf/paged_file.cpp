#include "dbf/paged_file.h"

#include <algorithm>

#include "base/exceptions.h"
#include "base/format.h"

namespace zered {

TPagedFile::TPagedFile(std::string file_name, TPagedFileMode mode)
    : file_name_(std::move(file_name)), mode_(mode) {}

TPagedFile::~TPagedFile() = default;

uint64_t TPagedFile::FileSize() const { return file_ ? file_->Size() : 0; }

void TPagedFile::OpenFile() {
  if (file_) return;
  // Tables copied from Windows keep their upper-case names (FAP.DBF, fap.FPT).
  const std::string path = ResolveFileNameCase(file_name_);
  if (!FileExists(path)) {
    throw Exception(Format("Open: file not found: \"%s\".", file_name_.c_str()));
  }
  file_ = std::make_unique<TReadOnlyFile>(path);
}

void TPagedFile::CloseFile() {
  file_.reset();
  header_.clear();
  header_size_ = 0;
  record_size_ = 0;
}

size_t TPagedFile::ReadBlock(uint64_t offset, void* buffer, size_t size) const {
  if (!file_ || size == 0) return 0;
  return file_->ReadAt(offset, buffer, size);
}

void TPagedFile::ReadHeader(size_t header_size, size_t buffer_size) {
  header_size_ = static_cast<int>(header_size);
  header_.assign(std::max(header_size, buffer_size), 0);
  ReadBlock(0, header_.data(), header_.size());
}

uint64_t TPagedFile::PageOffset(int64_t page) const {
  if (pages_after_header_) {
    return static_cast<uint64_t>(header_size_) +
           static_cast<uint64_t>(page - 1) * static_cast<uint64_t>(record_size_);
  }
  return static_cast<uint64_t>(page) * static_cast<uint64_t>(record_size_);
}

}  // namespace zered
