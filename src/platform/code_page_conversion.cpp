#include "platform/code_page_conversion.h"

#include <algorithm>
#include <string>

#include "platform/implementation.h"

namespace zered {
namespace {

// A UTF-16 buffer on the stack for short texts.
class Utf16Buffer {
 public:
  explicit Utf16Buffer(size_t size) : size_(size) {
    if (size > kStackUnits) heap_.resize(size);
  }
  char16_t* Data() { return size_ > kStackUnits ? heap_.data() : stack_; }

 private:
  static constexpr size_t kStackUnits = 1024;
  size_t size_;
  char16_t stack_[kStackUnits];
  std::u16string heap_;
};

}  // namespace

bool IsValidCodePage(int code_page) {
  const std::vector<int>& installed = EnumSystemCodePages();
  return std::binary_search(installed.begin(), installed.end(), code_page);
}

void ConvertCodePage(int from, int to, const char* source, char* dest, size_t length) {
  if (length == 0) return;
  if (from == to || !IsValidCodePage(from) || !IsValidCodePage(to)) {
    if (dest != source) std::copy(source, source + length, dest);
    return;
  }
  const int count = static_cast<int>(std::min<size_t>(length, 0x7FFFFFFF));
  Utf16Buffer wide(static_cast<size_t>(count));
  const int units = MultiByteToWideChar(from, source, count, wide.Data(), count);
  const int written = WideCharToMultiByte(to, wide.Data(), units, dest, count);
  std::fill(dest + written, dest + length, '\0');
}

}  // namespace zered
