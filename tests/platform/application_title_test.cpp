#include <gtest/gtest.h>

#include "platform/process.h"

namespace zered {
namespace {

TEST(ApplicationTitleTest, NameWithoutFolderCutAtFirstDotRestLowerCase) {
  struct Case {
    const char* path;
    const char* title;
  } cases[] = {{"/opt/zered/bin/zered", "zered"},
               {"/opt/ZERED.EXE", "Zered"},
               {"/x/ZeReD.exe", "Zered"},
               {"/a.b/Zered.tar.gz", "Zered"},  // a dot in a folder does not count
               {"/x/.hidden", ""},
               {"/x/ŽERED", "Žered"},
               {"/x/zÉRED", "zéred"},
               {"/x/AB\xFF"
                "CD",
                "Ab\xFF"
                "cd"}};  // a byte that is no UTF-8 stays
  for (const Case& c : cases) {
    EXPECT_EQ(ApplicationTitle(c.path), c.title) << c.path;
  }
}

}  // namespace
}  // namespace zered
