#include <gtest/gtest.h>

#include "platform/process.h"

namespace zered {
namespace {

TEST(ApplicationTitleTest, NameWithoutFolderCutAtFirstDotRestLowerCase) {
  struct Case {
    const char* path;
    const char* title;
  };
#ifdef _WIN32
  const Case cases[] = {{"C:\\Zered\\zered.exe", "zered"},
                        {"C:\\Program Files\\ZERED.EXE", "Zered"},
                        {"D:\\x\\ZeReD.exe", "Zered"},
                        {"C:\\a.b\\Zered.tar.gz", "Zered"},  // a dot in a folder does not count
                        {"C:\\x\\.hidden", ""}};
#else
  const Case cases[] = {{"/opt/zered/bin/zered", "zered"},
                        {"/opt/ZERED.EXE", "Zered"},
                        {"/x/ZeReD.exe", "Zered"},
                        {"/a.b/Zered.tar.gz", "Zered"},  // a dot in a folder does not count
                        {"/x/.hidden", ""},
                        // File names are UTF-8 here; a byte that is no UTF-8 stays.
                        {"/x/ŽERED", "Žered"},
                        {"/x/zÉRED", "zéred"},
                        {"/x/AB\xFF"
                         "CD",
                         "Ab\xFF"
                         "cd"}};
#endif
  for (const Case& c : cases) {
    EXPECT_EQ(ApplicationTitle(c.path), c.title) << c.path;
  }
}

}  // namespace
}  // namespace zered
