#include "platform/code_page_conversion.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/implementation.h"
#include "platform/regional_settings.h"

namespace zered {

namespace {

// The code pages that DBF language drivers name; those that iconv converts count as
// installed, except the ones Windows itself does not install.
constexpr int kCandidates[] = {437,  620,  737,  850,  852,  857,   860,   861,   862,  863,  865,
                               866,  867,  868,  874,  895,  932,   936,   949,   950,  1250, 1251,
                               1252, 1253, 1254, 1255, 1256, 10000, 10006, 10007, 10029};
constexpr int kNeverInstalled[] = {620, 867, 868, 895};

std::string IconvName(int code_page) {
  switch (code_page) {
    case 10000:
      return "MACINTOSH";
    case 10007:
      return "MAC-CYRILLIC";
    case 10029:
      return "MAC-CENTRALEUROPE";
    case 10006:
      return "";  // Mac Greek: iconv has no converter
    default:
      return "CP" + std::to_string(code_page);
  }
}

bool IsDoubleByte(int code_page) {
  return code_page == 932 || code_page == 936 || code_page == 949 || code_page == 950;
}

// One converter per code page and direction, opened on first use and kept; iconv_t is not
// reentrant, so each use holds the lock.
class Converters {
 public:
  static Converters& Instance() {
    static Converters instance;
    return instance;
  }

  // Runs `use(cd)` with the converter, or returns false when there is none.
  template <typename Use>
  bool With(int code_page, bool to_unicode, Use use) {
    std::lock_guard<std::mutex> lock(mutex_);
    iconv_t cd = Get(code_page, to_unicode);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    use(cd);
    return true;
  }

  ~Converters() {
    for (const auto& [key, cd] : converters_) {
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  }

  bool Available(int code_page) {
    std::lock_guard<std::mutex> lock(mutex_);
    return Get(code_page, true) != reinterpret_cast<iconv_t>(-1) &&
           Get(code_page, false) != reinterpret_cast<iconv_t>(-1);
  }

 private:
  iconv_t Get(int code_page, bool to_unicode) {
    auto key = std::make_pair(code_page, to_unicode);
    auto it = converters_.find(key);
    if (it != converters_.end()) return it->second;
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
    const std::string name = IconvName(code_page);
    if (!name.empty()) {
      cd = to_unicode ? iconv_open("UTF-16LE", name.c_str()) : iconv_open(name.c_str(), "UTF-16LE");
    }
    converters_.emplace(key, cd);
    return cd;
  }

  std::mutex mutex_;
  std::map<std::pair<int, bool>, iconv_t> converters_;
};

}  // namespace

int GetACP() { return SystemFormatSettings().ansi_code_page; }
int GetOEMCP() { return SystemFormatSettings().oem_code_page; }

const std::vector<int>& EnumSystemCodePages() {
  static const std::vector<int> installed = [] {
    std::vector<int> result;
    for (const int code_page : kCandidates) {
      if (std::find(std::begin(kNeverInstalled), std::end(kNeverInstalled), code_page) !=
          std::end(kNeverInstalled)) {
        continue;
      }
      if (Converters::Instance().Available(code_page)) result.push_back(code_page);
    }
    return result;
  }();
  return installed;
}

namespace {

int IconvToWide(int code_page, const char* source, int source_length, char16_t* dest,
                int dest_length) {
  int written = -1;
  Converters::Instance().With(code_page, true, [&](iconv_t cd) {
    char* in = const_cast<char*>(source);
    size_t in_left = static_cast<size_t>(source_length);
    char* out = reinterpret_cast<char*>(dest);
    size_t out_left = static_cast<size_t>(dest_length) * sizeof(char16_t);
    while (in_left > 0) {
      if (iconv(cd, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) return;  // does not fit: nothing is converted
      // A byte the code page does not define (or a cut double-byte character) reads as the
      // character of the same number, as Windows reads it.
      if (out_left < sizeof(char16_t)) return;
      const char16_t unit = static_cast<unsigned char>(*in);
      std::copy_n(reinterpret_cast<const char*>(&unit), sizeof(unit), out);
      out += sizeof(unit);
      out_left -= sizeof(unit);
      ++in;
      --in_left;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    written = static_cast<int>((out - reinterpret_cast<char*>(dest)) / sizeof(char16_t));
  });
  return written < 0 ? 0 : written;
}

int IconvFromWide(int code_page, const char16_t* source, int source_length, char* dest,
                  int dest_length) {
  int written = 0;
  const bool single_byte = !IsDoubleByte(code_page);
  Converters::Instance().With(code_page, false, [&](iconv_t cd) {
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(source));
    size_t in_left = static_cast<size_t>(source_length) * sizeof(char16_t);
    char* out = dest;
    size_t out_left = static_cast<size_t>(dest_length);
    while (in_left > 0) {
      if (iconv(cd, &in, &in_left, &out, &out_left) != static_cast<size_t>(-1)) break;
      if (errno == E2BIG || out_left == 0) break;  // cut at the destination's end
      char16_t unit;
      std::copy_n(in, sizeof(unit), reinterpret_cast<char*>(&unit));
      size_t skip = sizeof(char16_t);
      if (unit >= 0xD800 && unit <= 0xDBFF && in_left >= 2 * sizeof(char16_t)) skip *= 2;
      if (errno == EINVAL) skip = in_left;  // a lone high surrogate at the end
      // A C1 control that the single-byte code page lacks goes back to its own byte, so that
      // undefined bytes survive a round trip as on Windows; anything else becomes "?".
      *out++ = single_byte && unit >= 0x80 && unit <= 0x9F ? static_cast<char>(unit) : '?';
      --out_left;
      in += skip;
      in_left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    written = static_cast<int>(out - dest);
  });
  return written;
}

// A single-byte code page as two lookup tables, built once from iconv's own conversion so
// that both give the same results; text is converted a value at a time, and iconv's per-call
// cost would dominate.
class SingleByteTable {
 public:
  explicit SingleByteTable(int code_page) : from_wide_(0x10000, kUnmapped) {
    for (int byte = 0; byte < 256; ++byte) {
      const char source = static_cast<char>(byte);
      char16_t unit = 0;
      IconvToWide(code_page, &source, 1, &unit, 1);
      to_wide_[byte] = unit;
      char back = 0;
      if (IconvFromWide(code_page, &unit, 1, &back, 1) == 1 && static_cast<uint8_t>(back) == byte &&
          from_wide_[unit] == kUnmapped) {
        from_wide_[unit] = static_cast<uint16_t>(byte);
      }
    }
  }

  int ToWide(const char* source, int source_length, char16_t* dest, int dest_length) const {
    if (source_length > dest_length) return 0;
    for (int i = 0; i < source_length; ++i) dest[i] = to_wide_[static_cast<uint8_t>(source[i])];
    return source_length;
  }

  int FromWide(const char16_t* source, int source_length, char* dest, int dest_length) const {
    int written = 0;
    for (int i = 0; i < source_length && written < dest_length; ++i) {
      const char16_t unit = source[i];
      const uint16_t byte = from_wide_[unit];
      if (byte != kUnmapped) {
        dest[written++] = static_cast<char>(byte);
        continue;
      }
      // As the iconv path: a lacking C1 control keeps its byte, anything else (a surrogate
      // pair counting once) becomes "?".
      dest[written++] = unit >= 0x80 && unit <= 0x9F ? static_cast<char>(unit) : '?';
      if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < source_length && source[i + 1] >= 0xDC00 &&
          source[i + 1] <= 0xDFFF) {
        ++i;
      }
    }
    return written;
  }

 private:
  static constexpr uint16_t kUnmapped = 0xFFFF;
  char16_t to_wide_[256];
  std::vector<uint16_t> from_wide_;
};

// The table of an installed single-byte code page; nullptr for a double-byte one.
const SingleByteTable* SingleByte(int code_page) {
  if (IsDoubleByte(code_page)) return nullptr;
  thread_local int last_code_page = 0;
  thread_local const SingleByteTable* last_table = nullptr;
  if (code_page == last_code_page) return last_table;
  static std::mutex mutex;
  static std::map<int, std::unique_ptr<SingleByteTable>> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto& table = tables[code_page];
  if (!table) table = std::make_unique<SingleByteTable>(code_page);
  last_code_page = code_page;
  last_table = table.get();
  return last_table;
}

}  // namespace

int MultiByteToWideChar(int code_page, const char* source, int source_length, char16_t* dest,
                        int dest_length) {
  if (source_length <= 0 || dest_length <= 0 || !IsValidCodePage(code_page)) return 0;
  if (const SingleByteTable* table = SingleByte(code_page)) {
    return table->ToWide(source, source_length, dest, dest_length);
  }
  return IconvToWide(code_page, source, source_length, dest, dest_length);
}

int WideCharToMultiByte(int code_page, const char16_t* source, int source_length, char* dest,
                        int dest_length) {
  if (source_length <= 0 || dest_length <= 0 || !IsValidCodePage(code_page)) return 0;
  if (const SingleByteTable* table = SingleByte(code_page)) {
    return table->FromWide(source, source_length, dest, dest_length);
  }
  return IconvFromWide(code_page, source, source_length, dest, dest_length);
}

void OemToCharBuff(const TFormatSettings& settings, const char* source, char* dest, size_t length) {
  ConvertCodePage(settings.oem_code_page, settings.ansi_code_page, source, dest, length);
}

void CharToOemBuff(const TFormatSettings& settings, const char* source, char* dest, size_t length) {
  ConvertCodePage(settings.ansi_code_page, settings.oem_code_page, source, dest, length);
}

}  // namespace zered
