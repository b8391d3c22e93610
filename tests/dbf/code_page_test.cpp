#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "dbf/dbf_globals.h"
#include "dbf/dbf_translator.h"
#include "dbf/language_driver.h"
#include "platform/code_page_conversion.h"

namespace zered {
namespace {

// Converts `bytes` from `from` to `to` through UTF-16, as a table's text is read.
std::string Convert(int from, int to, const std::string& bytes) {
  std::u16string wide(bytes.size(), u'\0');
  const int units = MultiByteToWideChar(from, bytes.data(), static_cast<int>(bytes.size()),
                                        wide.data(), static_cast<int>(wide.size()));
  std::string out(bytes.size(), '\0');
  out.resize(WideCharToMultiByte(to, wide.data(), units, out.data(), static_cast<int>(out.size())));
  return out;
}

struct BytePair {
  int from;
  uint8_t stored;
  uint8_t ansi;  // in 1250
};

TEST(CodePageConversionTest, KnownBytePairsTo1250) {
  const BytePair pairs[] = {
      {852, 0x9C, 0x9D},  {852, 0xA7, 0x9E},  {852, 0xD8, 0xEC},  {852, 0xFD, 0xF8},
      {852, 0x9F, 0xE8},  {852, 0x85, 0xF9},  {852, 0xA0, 0xE1},  {852, 0xE6, 0x8A},
      {852, 0xC4, '?'},   {1252, 0xE9, 0xE9}, {1252, 0x8A, 0x8A}, {1252, 0xE0, '?'},
      {1252, 0x80, 0x80}, {1252, 0xA3, '?'},  {1252, 0xE4, 0xE4}, {1252, 0x81, 0x81},
      {437, 0x82, 0xE9},  {437, 0x81, 0xFC},  {437, 0xE1, 0xDF},  {437, 0x9C, '?'},
      {437, 0xB3, '?'},   {437, 'A', 'A'},
  };
  for (const BytePair& pair : pairs) {
    const std::string stored(1, static_cast<char>(pair.stored));
    EXPECT_EQ(Convert(pair.from, 1250, stored), std::string(1, static_cast<char>(pair.ansi)))
        << pair.from << " byte " << int{pair.stored};
  }
}

TEST(CodePageConversionTest, OemToAnsiUsesTheSettingsCodePages) {
  const TFormatSettings czech = TFormatSettings::Czech();
  std::string text =
      "\x9C"
      "ab\xC4\x85";
  OemToCharBuff(czech, text.data(), text.data(), text.size());
  EXPECT_EQ(text.substr(0, 3),
            "\x9D"
            "ab");
  EXPECT_EQ(text.substr(4), "\xF9");
  // "─" (852 0xC4), which 1250 lacks: "?" from the conversion through UTF-16. On a Czech
  // Windows the settings are the machine's own pair, which OemToCharBuffA converts with its
  // best-fit look-alikes (Wine gives "¦", 0xA6).
  const bool system_pair = GetOEMCP() == 852 && GetACP() == 1250;
#ifdef _WIN32
  if (system_pair) {
    EXPECT_NE(std::string("?-|+\xA6").find(text[3]), std::string::npos) << int{text[3] & 0xFF};
  } else {
    EXPECT_EQ(text[3], '?');
  }
#else
  (void)system_pair;
  EXPECT_EQ(text[3], '?');
#endif
  std::string back = "\x9D\xF9";
  CharToOemBuff(czech, back.data(), back.data(), back.size());
  EXPECT_EQ(back, "\x9C\x85");
}

TEST(CodePageConversionTest, InstalledCodePages) {
  const std::vector<int>& installed = EnumSystemCodePages();
  EXPECT_TRUE(std::is_sorted(installed.begin(), installed.end()));
  for (int code_page : {437, 850, 852, 866, 932, 1250, 1251, 1252, 1255, 10000}) {
    EXPECT_TRUE(IsValidCodePage(code_page)) << code_page;
  }
  for (int code_page : {620, 867, 868, 895, 0}) {
    EXPECT_FALSE(IsValidCodePage(code_page)) << code_page;
  }
#ifdef _WIN32
  // Windows reports what it has installed, far more than the tables name (ISO 8859-2 here).
  EXPECT_TRUE(IsValidCodePage(28592));
#else
  // Every code page the stand-in counts as installed comes from the language driver table.
  for (int code_page : {65001, 28592}) EXPECT_FALSE(IsValidCodePage(code_page)) << code_page;
  size_t count = 0;
  const int* drivers = LanguageDriverCodePages(count);
  for (int code_page : installed) {
    EXPECT_NE(std::find(drivers, drivers + count, code_page), drivers + count) << code_page;
  }
#endif
  char16_t wide[4];
  EXPECT_EQ(MultiByteToWideChar(895, "abc", 3, wide, 4), 0);
}

TEST(CodePageConversionTest, ResultThatDoesNotFitGivesNothing) {
  char16_t wide[2];
  EXPECT_EQ(MultiByteToWideChar(1252, "abc", 3, wide, 2), 0);
  EXPECT_EQ(MultiByteToWideChar(932, "\x93\xfa\x96\x7b", 4, wide, 2), 2);  // two kanji
  char out[2];
  EXPECT_EQ(WideCharToMultiByte(1250, wide, 2, out, 2), 2);
  EXPECT_EQ(std::string(out, 2), "??");
}

TEST(LanguageDriverTest, IdsGiveCodePages) {
  const std::pair<uint8_t, int> cases[] = {
      {0x00, 0},    {0x01, 437},  {0x03, 1252}, {0x1F, 852},   {0x64, 852},
      {0x65, 866},  {0x69, 620},  {0x7D, 1255}, {0x96, 10007}, {0x9B, 1250},
      {0xC8, 1250}, {0xCB, 1253}, {0x05, 0},    {0xFF, 0},
  };
  for (const auto& [id, code_page] : cases) {
    EXPECT_EQ(LanguageDriverCodePage(id), code_page) << int{id};
  }
}

TEST(LanguageDriverTest, Level7NamesGiveCodePages) {
  const std::pair<std::string_view, int> cases[] = {
      {"DBWINUS0", 1252},
      {"DB437US0", 437},
      {"DB852CZ0", 852},
      {"DBHEBREW", 1255},
      {"DB8659NO", 8659},
      {"FOXWIN", 0},
      {"FOXDOWIN", 1252},
      {"FOX  437", 437},
      {"FOXDOS", 0},
      {"DBX", 0},
      {"DBABC", 0},
      {"PARADOX", 0},
      {"", 0},
      {std::string_view("DB437\0US", 9), 437},
  };
  for (const auto& [name, code_page] : cases) {
    EXPECT_EQ(Level7LanguageDriverCodePage(name), code_page) << name;
  }
}

TEST(DbfGlobalsTest, DefaultOpenCodePageIsTakenAtCreation) {
  TFormatSettings settings = TFormatSettings::Czech();
  TDbfGlobals globals(settings, {1252, 852});
  settings.ansi_code_page = 1252;
  EXPECT_EQ(globals.DefaultOpenCodePage(), 1250);
  EXPECT_TRUE(globals.CodePageInstalled(852));
  EXPECT_FALSE(globals.CodePageInstalled(437));
  EXPECT_EQ(&TDbfGlobals::Instance(), &TDbfGlobals::Instance());
}

struct ModeCase {
  int file_code_page;
  TDbfTranslationMode mode;
  int use_code_page;
};

TEST(DbfTranslatorTest, ModeFollowsTheCodePageInUse) {
  const TDbfGlobals globals(TFormatSettings::Czech(), {437, 852, 1250, 1252});
  const ModeCase cases[] = {
      {1250, tmNoneNeeded, 1250}, {0, tmNoneNeeded, 1250}, {852, tmOem, 852},
      {1252, tmUnicode, 1252},    {437, tmUnicode, 437},   {895, tmUnavailable, 895},
      {866, tmUnavailable, 866},
  };
  for (const ModeCase& c : cases) {
    TDbfTranslator translator;
    translator.Determine(c.file_code_page, globals);
    EXPECT_EQ(translator.Mode(), c.mode) << c.file_code_page;
    EXPECT_EQ(translator.UseCodePage(), c.use_code_page) << c.file_code_page;
  }
}

TEST(DbfTranslatorTest, LanguageWarningActions) {
  TFormatSettings settings = TFormatSettings::Czech();
  const TDbfGlobals globals(settings, {852, 1250});
  struct Case {
    TDbfLanguageAction action;
    TDbfTranslationMode mode;
    int use_code_page;
  };
  for (const Case& c :
       {Case{laReadOnly, tmUnavailable, 895}, Case{laForceOEM, tmOem, 852},
        Case{laForceANSI, tmNoneNeeded, 1250}, Case{laDefault, tmNoneNeeded, 1250}}) {
    TDbfTranslator translator;
    int asked = 0;
    translator.Determine(895, globals, [&](TDbfLanguageAction& action) {
      EXPECT_EQ(action, laReadOnly);
      action = c.action;
      ++asked;
    });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(translator.Mode(), c.mode) << c.action;
    EXPECT_EQ(translator.UseCodePage(), c.use_code_page) << c.action;
  }
  TDbfTranslator translator;
  translator.Determine(1250, globals, [](TDbfLanguageAction&) { FAIL() << "asked needlessly"; });
}

// Translates `text` (the value's bytes) with a translator for `file_code_page` on a Czech
// machine where 437, 852, 932, 1250 and 1252 are installed.
std::string Translated(int file_code_page, std::string text) {
  static const TDbfGlobals globals(TFormatSettings::Czech(), {437, 852, 932, 1250, 1252});
  TDbfTranslator translator;
  translator.Determine(file_code_page, globals);
  const size_t length = translator.Translate(text.data(), text.size());
  EXPECT_EQ(text.find('\0', length) == std::string::npos ? text.size() : text.find('\0', length),
            length);
  return text;
}

TEST(DbfTranslatorTest, ValuesAreTranslatedInPlace) {
  struct Case {
    int code_page;
    std::string stored;
    std::string read;
  };
  const std::string long_1252(TDbfTranslator::kMaxUnicodeUnits + 1, '\xE0');
  const std::string fits_1252(TDbfTranslator::kMaxUnicodeUnits, '\xE0');
  const std::vector<Case> cases = {
      {1250, "\x9D\xEC", "\x9D\xEC"},  // none needed: bytes as stored
      {852,
       "\x9C"
       "ab",
       "\x9D"
       "ab"},                       // OEM
      {1252, "\xE9\xE0", "\xE9?"},  // Unicode
      {895,
       "\x9C"
       "ab",
       "\x9C"
       "ab"},  // not installed: as stored
      {852, std::string("\x9C\0\x9C", 3), std::string("\x9D\0\x9C", 3)},  // ends at NUL
      {1252, long_1252, long_1252},  // too long for UTF-16 buffer
      {1252, fits_1252, std::string(fits_1252.size(), '?')},
      // A double-byte source gives a shorter result; the rest of the value is cleared.
      {932,
       "\x93\xfa"
       "ab",
       std::string("?ab\0", 4)},
      {1252, "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Translated(c.code_page, c.stored), c.read) << c.code_page << " " << c.stored;
  }
}

TEST(DbfTranslatorTest, MemoIsTranslatedInPiecesOf512) {
  const TDbfGlobals globals(TFormatSettings::Czech(), {852, 1250, 1252});
  TDbfTranslator translator;
  translator.Determine(852, globals);
  // The NUL ends the first piece's text; the bytes after it in that piece stay, the second
  // piece is translated on its own.
  std::string value = std::string(10, '\x9C') + '\0' + std::string(501, '\x9C') + "\x9C\x9C";
  translator.TranslateMemo(value);
  EXPECT_EQ(value, std::string(10, '\x9D') + '\0' + std::string(501, '\x9C') + "\x9D\x9D");
}

TEST(DbfTranslatorTest, OnTranslateReplacesTheTranslation) {
  const TDbfGlobals globals(TFormatSettings::Czech(), {852});
  TDbfTranslator translator;
  translator.Determine(852, globals);
  translator.SetOnTranslate([](const char* source, char* dest, bool to_table) {
    EXPECT_FALSE(to_table);
    EXPECT_STREQ(source, "abcd");
    std::strcpy(dest, "XY");
    return -1;
  });
  std::string value = "abcd";
  EXPECT_EQ(translator.Translate(value.data(), value.size()), 2u);
  EXPECT_EQ(value, std::string("XY\0\0", 4));
  std::string empty;
  EXPECT_EQ(translator.Translate(empty.data(), 0), 0u);
}

}  // namespace
}  // namespace zered
