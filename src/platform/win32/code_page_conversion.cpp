#include "platform/code_page_conversion.h"

#include <windows.h>

// winnls.h and winuser.h name their ANSI variants through these macros; this file defines the
// program's own functions of the same names.
#undef EnumSystemCodePages
#undef OemToCharBuff
#undef CharToOemBuff

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/implementation.h"

namespace zered {
namespace {

// EnumSystemCodePagesA's callback has no context; the enumeration runs once, on one thread.
std::vector<int>* enumerated = nullptr;

BOOL CALLBACK CollectCodePage(LPSTR code_page) {
  enumerated->push_back(std::atoi(code_page));
  return TRUE;
}

// Some code pages (UTF-8, the ISO-2022 family) refuse conversion flags; they convert without.
bool RefusesFlags() { return ::GetLastError() == ERROR_INVALID_FLAGS; }

// Between OEM and ANSI: the machine's own pair takes the system's conversion; tests and other
// pairs go through UTF-16 like any other conversion.
void ConvertOemAnsi(const TFormatSettings& settings, bool to_ansi, const char* source, char* dest,
                    size_t length) {
  const int oem = settings.oem_code_page;
  const int ansi = settings.ansi_code_page;
  if (oem != static_cast<int>(::GetOEMCP()) || ansi != static_cast<int>(::GetACP())) {
    ConvertCodePage(to_ansi ? oem : ansi, to_ansi ? ansi : oem, source, dest, length);
    return;
  }
  const auto convert = to_ansi ? &::OemToCharBuffA : &::CharToOemBuffA;
  constexpr size_t kPiece = std::numeric_limits<DWORD>::max();
  for (size_t done = 0; done < length;) {
    const DWORD piece = static_cast<DWORD>(std::min(length - done, kPiece));
    convert(source + done, dest + done, piece);
    done += piece;
  }
}

}  // namespace

int GetACP() { return static_cast<int>(::GetACP()); }

int GetOEMCP() { return static_cast<int>(::GetOEMCP()); }

const std::vector<int>& EnumSystemCodePages() {
  static const std::vector<int> installed = [] {
    std::vector<int> result;
    enumerated = &result;
    ::EnumSystemCodePagesA(CollectCodePage, CP_INSTALLED);
    enumerated = nullptr;
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    return result;
  }();
  return installed;
}

int MultiByteToWideChar(int code_page, const char* source, int source_length, char16_t* dest,
                        int dest_length) {
  if (source_length <= 0 || dest_length <= 0 || !IsValidCodePage(code_page)) return 0;
  const auto cp = static_cast<UINT>(code_page);
  wchar_t* wide = reinterpret_cast<wchar_t*>(dest);
  int units = ::MultiByteToWideChar(cp, MB_PRECOMPOSED, source, source_length, wide, dest_length);
  if (units == 0 && RefusesFlags()) {
    units = ::MultiByteToWideChar(cp, 0, source, source_length, wide, dest_length);
  }
  return units;
}

int WideCharToMultiByte(int code_page, const char16_t* source, int source_length, char* dest,
                        int dest_length) {
  if (source_length <= 0 || dest_length <= 0 || !IsValidCodePage(code_page)) return 0;
  const auto cp = static_cast<UINT>(code_page);
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(source);
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int written =
      ::WideCharToMultiByte(cp, flags, wide, source_length, dest, dest_length, nullptr, nullptr);
  if (written == 0 && RefusesFlags()) {
    flags = 0;
    written =
        ::WideCharToMultiByte(cp, flags, wide, source_length, dest, dest_length, nullptr, nullptr);
  }
  if (written == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    // Windows writes nothing when the result does not fit; the contract cuts it instead.
    const int needed =
        ::WideCharToMultiByte(cp, flags, wide, source_length, nullptr, 0, nullptr, nullptr);
    std::string whole(static_cast<size_t>(std::max(needed, 0)), '\0');
    ::WideCharToMultiByte(cp, flags, wide, source_length, whole.data(), needed, nullptr, nullptr);
    written = std::min(needed, dest_length);
    std::copy_n(whole.data(), written, dest);
  }
  return written;
}

void OemToCharBuff(const TFormatSettings& settings, const char* source, char* dest, size_t length) {
  ConvertOemAnsi(settings, true, source, dest, length);
}

void CharToOemBuff(const TFormatSettings& settings, const char* source, char* dest, size_t length) {
  ConvertOemAnsi(settings, false, source, dest, length);
}

}  // namespace zered
