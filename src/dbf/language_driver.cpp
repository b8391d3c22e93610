#include "dbf/language_driver.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zered {

namespace {

struct LanguageDriver {
  uint8_t id;
  int code_page;
};

constexpr LanguageDriver kLanguageDrivers[] = {
    {0x01, 437},  {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x08, 865},  {0x09, 437},
    {0x0A, 850},  {0x0B, 437},   {0x0C, 850},   {0x0D, 437},   {0x0E, 850},  {0x0F, 437},
    {0x10, 850},  {0x11, 437},   {0x12, 850},   {0x13, 932},   {0x14, 850},  {0x15, 437},
    {0x16, 850},  {0x17, 865},   {0x18, 437},   {0x19, 437},   {0x1A, 850},  {0x1B, 437},
    {0x1C, 863},  {0x1D, 850},   {0x1F, 852},   {0x20, 867},   {0x22, 852},  {0x23, 852},
    {0x24, 860},  {0x25, 850},   {0x26, 866},   {0x37, 850},   {0x4D, 936},  {0x4E, 949},
    {0x4F, 950},  {0x50, 874},   {0x56, 932},   {0x57, 1252},  {0x58, 1252}, {0x59, 1252},
    {0x5E, 437},  {0x5F, 437},   {0x60, 850},   {0x61, 1252},  {0x62, 1252}, {0x64, 852},
    {0x65, 866},  {0x66, 865},   {0x67, 861},   {0x68, 895},   {0x69, 620},  {0x6A, 737},
    {0x6B, 857},  {0x78, 950},   {0x79, 949},   {0x7A, 936},   {0x7B, 932},  {0x7C, 874},
    {0x7D, 1255}, {0x7E, 1256},  {0x85, 862},   {0x86, 437},   {0x87, 852},  {0x88, 857},
    {0x8E, 868},  {0x96, 10007}, {0x97, 10029}, {0x98, 10006}, {0x9B, 1250}, {0x9C, 850},
    {0xC8, 1250}, {0xC9, 1251},  {0xCA, 1254},  {0xCB, 1253},
};

constexpr size_t kDriverCount = sizeof(kLanguageDrivers) / sizeof(kLanguageDrivers[0]);

constexpr auto kCodePages = [] {
  std::array<int, kDriverCount> sorted{};
  for (size_t i = 0; i < kDriverCount; ++i) sorted[i] = kLanguageDrivers[i].code_page;
  std::sort(sorted.begin(), sorted.end());
  std::array<int, kDriverCount> unique{};
  size_t count = 0;
  for (size_t i = 0; i < kDriverCount; ++i) {
    if (count == 0 || unique[count - 1] != sorted[i]) unique[count++] = sorted[i];
  }
  return std::make_pair(unique, count);
}();

// Characters `first` to `last` (counted from 1) of `name`, or "" when it is shorter.
std::string_view Characters(std::string_view name, size_t first, size_t last) {
  if (name.size() < last) return {};
  return name.substr(first - 1, last - first + 1);
}

// The digits of `text` as a number; 0 unless every character is a digit.
int DigitsValue(std::string_view text) {
  if (text.empty()) return 0;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int LanguageDriverCodePage(uint8_t language_id) {
  for (const LanguageDriver& driver : kLanguageDrivers) {
    if (driver.id == language_id) return driver.code_page;
  }
  return 0;
}

int Level7LanguageDriverCodePage(std::string_view name) {
  name = name.substr(0, name.find('\0'));
  if (name.substr(0, 2) == "DB") {
    if (Characters(name, 3, 5) == "WIN") return 1252;
    if (Characters(name, 3, 8) == "HEBREW") return 1255;
    int code_page = DigitsValue(Characters(name, 3, 5));
    if (name.size() >= 6 && IsDigit(name[5])) code_page = code_page * 10 + (name[5] - '0');
    return code_page;
  }
  if (name.substr(0, 3) == "FOX") {
    if (Characters(name, 6, 8) == "WIN") return 1252;
    return DigitsValue(Characters(name, 6, 8));
  }
  return 0;
}

const int* LanguageDriverCodePages(size_t& count) {
  count = kCodePages.second;
  return kCodePages.first.data();
}

}  // namespace zered
