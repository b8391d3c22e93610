#include "base/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zered {
namespace {

struct FindCase {
  const char* name;
  std::string content;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

class FindProfileValueTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindProfileValueTest, FindsTheValueAsStored) {
  const FindCase& c = GetParam();
  EXPECT_EQ(FindProfileValue(c.content, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindProfileValueTest,
    testing::Values(
        FindCase{"Plain", "[LogON]\r\nIP=10.0.0.5\r\n", "LogON", "IP", "10.0.0.5"},
        FindCase{"NamesIgnoreCase", "[logon]\r\nip=h\r\n", "LogON", "IP", "h"},
        FindCase{"BlanksAroundEverything", " [ s ] \r\n \t k \t=  v  w \t\r\n", "s", "k", "v  w"},
        FindCase{"EmptyValueIsNotAbsent", "[s]\r\nk=\r\n", "s", "k", ""},
        FindCase{"BlankValueIsEmpty", "[s]\r\nk=   \r\n", "s", "k", ""},
        FindCase{"DoubleQuotesRemoved", "[s]\r\nk=\" a b \"\r\n", "s", "k", " a b "},
        FindCase{"SingleQuotesRemoved", "[s]\r\nk='x'\r\n", "s", "k", "x"},
        FindCase{"OnlyOnePairRemoved", "[s]\r\nk=\"\"x\"\"\r\n", "s", "k", "\"x\""},
        FindCase{"MismatchedQuotesKept", "[s]\r\nk=\"x'\r\n", "s", "k", "\"x'"},
        FindCase{"LoneQuoteKept", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        FindCase{"EqualsInValue", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        FindCase{"LoneLfLineEnds", "[s]\nk=v\n", "s", "k", "v"},
        FindCase{"LoneCrLineEnds", "[s]\rk=v\r", "s", "k", "v"},
        FindCase{"NoFinalLineEnd", "[s]\r\nk=v", "s", "k", "v"},
        FindCase{"TextAfterSectionBracket", "[s] ; note\r\nk=v\r\n", "s", "k", "v"},
        FindCase{"FirstDuplicateKeyWins", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "1"},
        FindCase{"SameSectionTwice", "[s]\r\na=1\r\n[t]\r\nk=2\r\n[S]\r\nk=3\r\n", "s", "k", "3"},
        FindCase{"SemicolonComment", "[s]\r\n;k=1\r\n", "s", "k", std::nullopt},
        FindCase{"HashComment", "[s]\r\n  # k=1\r\n", "s", "k", std::nullopt},
        FindCase{"KeyOfAnotherSection", "[a]\r\nk=1\r\n[b]\r\n", "b", "k", std::nullopt},
        FindCase{"KeyBeforeAnySection", "k=1\r\n[s]\r\n", "s", "k", std::nullopt},
        FindCase{"LineWithoutEquals", "[s]\r\nk\r\n", "s", "k", std::nullopt},
        FindCase{"NoSuchSection", "[s]\r\nk=1\r\n", "t", "k", std::nullopt},
        FindCase{"EmptyText", "", "s", "k", std::nullopt}),
    [](const testing::TestParamInfo<FindCase>& info) { return info.param.name; });

TEST(FindProfileValueLimitTest, ValuesAreCutAfter2047Characters) {
  for (const size_t length : {2047u, 2048u, 5000u}) {
    const std::string value(length, 'x');
    for (const std::string& stored : {value, "\"" + value + "\""}) {
      SCOPED_TRACE(stored.size());
      EXPECT_EQ(FindProfileValue("[s]\r\nk=" + stored + "\r\n", "s", "k"),
                std::string(std::min<size_t>(length, 2047), 'x'));
    }
  }
}

struct SetCase {
  const char* name;
  std::string before;
  const char* value;
  std::string after;
};

class SetProfileValueTest : public testing::TestWithParam<SetCase> {};

// Every case writes key "k" of section "s".
TEST_P(SetProfileValueTest, ChangesOnlyWhatTheWriteNeeds) {
  const SetCase& c = GetParam();
  std::string content = c.before;
  ASSERT_TRUE(SetProfileValue(content, "s", "k", c.value));
  EXPECT_EQ(content, c.after);
  EXPECT_EQ(FindProfileValue(content, "s", "k"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetProfileValueTest,
    testing::Values(
        SetCase{"NewFile", "", "v", "[s]\r\nk=v\r\n"},
        SetCase{"ReplacedInPlace", "; c\n[S]\n  K = old\nz=1\n", "v", "; c\n[S]\n  K =v\nz=1\n"},
        SetCase{"ReplacedByEmpty", "[s]\r\nk=old\r\n", "", "[s]\r\nk=\r\n"},
        SetCase{"OnlyFirstDuplicateReplaced", "[s]\nk=1\nk=2\n", "v", "[s]\nk=v\nk=2\n"},
        SetCase{"NewKeyAfterLastEntry", "[s]\na=1\n\n; about t\n[t]\nb=2\n", "v",
                "[s]\na=1\nk=v\r\n\n; about t\n[t]\nb=2\n"},
        SetCase{"NewKeyInEmptySection", "[s]\n[t]\n", "v", "[s]\nk=v\r\n[t]\n"},
        SetCase{"NewKeyInFirstOfTwinSections", "[s]\na=1\n[s]\nb=2\n", "v",
                "[s]\na=1\nk=v\r\n[s]\nb=2\n"},
        SetCase{"CommentedKeyStays", "[s]\n;k=1\n[t]\n", "v", "[s]\nk=v\r\n;k=1\n[t]\n"},
        SetCase{"LastLineWithoutBreak", "[s]\na=1", "v", "[s]\na=1\r\nk=v\r\n"},
        SetCase{"LoneCrFile", "[s]\ra=1\r", "v", "[s]\ra=1\rk=v\r\n"},
        SetCase{"NewSectionAfterBlankLine", "[t]\r\nb=2\r\n", "v",
                "[t]\r\nb=2\r\n\r\n[s]\r\nk=v\r\n"},
        SetCase{"NewSectionAfterUnbrokenLine", "[t]\nb=2", "v", "[t]\nb=2\r\n\r\n[s]\r\nk=v\r\n"},
        SetCase{"NewSectionAfterExistingBlank", "[t]\n\n", "v", "[t]\n\n[s]\r\nk=v\r\n"}),
    [](const testing::TestParamInfo<SetCase>& info) { return info.param.name; });

TEST(SetProfileValueTest, RefusesEntriesThatCouldNotBeReadBack) {
  struct Entry {
    const char* section;
    const char* key;
    const char* value;
  };
  for (const Entry& e :
       {Entry{"", "k", "v"}, Entry{" s", "k", "v"}, Entry{"s]", "k", "v"}, Entry{"a\nb", "k", "v"},
        Entry{"s", "", "v"}, Entry{"s", "k ", "v"}, Entry{"s", "a=b", "v"}, Entry{"s", ";k", "v"},
        Entry{"s", "[k", "v"}, Entry{"s", "k\r", "v"}, Entry{"s", "k", "a\r\n[t]"}}) {
    SCOPED_TRACE(std::string(e.section) + "|" + e.key + "|" + e.value);
    std::string content = "[s]\r\nk=1\r\n";
    EXPECT_FALSE(SetProfileValue(content, e.section, e.key, e.value));
    EXPECT_EQ(content, "[s]\r\nk=1\r\n");
  }
}

}  // namespace
}  // namespace zered
