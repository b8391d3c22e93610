#include "platform/files.h"

#include "base/format.h"
#include "platform/implementation.h"

namespace zered {
namespace {

constexpr size_t kWriteBlock = 64 * 1024;

}  // namespace

EFOpenError FileOpenError(const std::string& path, int error_number) {
  return EFOpenError(Format("Cannot open file \"%s\". %s", ExpandFileName(path).c_str(),
                            SystemErrorReason(error_number).c_str()));
}

EFCreateError FileCreateError(const std::string& path, int error_number) {
  return EFCreateError(Format("Cannot create file \"%s\". %s", ExpandFileName(path).c_str(),
                              SystemErrorReason(error_number).c_str()));
}

std::string SystemErrorReason(int error_number) {
  std::string text = SystemErrorText(error_number);
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

void TAtomicFileWriter::Write(std::string_view bytes) {
  if (handle_ == -1) FailClosed();
  if (buffer_.size() + bytes.size() > kWriteBlock) {
    Flush();
    if (bytes.size() >= kWriteBlock) {
      buffer_.assign(bytes);
      Flush();
      return;
    }
  }
  if (buffer_.capacity() < kWriteBlock) buffer_.reserve(kWriteBlock);
  buffer_.append(bytes);
}

}  // namespace zered
