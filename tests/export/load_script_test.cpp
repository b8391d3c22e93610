#include "export/load_script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "support/dbf_builder.h"

namespace zered {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(LoadScriptTest, WritesTheSameNineteenLinesOnEveryRun) {
  const std::string path = test::TestFolder("load_script") + "sa.txt";
  WriteLoadScript(path);
  const std::string content = ReadBytes(path);
  EXPECT_EQ(content.size(), 907u);

  // Each line's length without its CR LF; the edges that carry blanks are checked below.
  const std::vector<size_t> lengths = {6,  26,  17, 23, 23, 9,  71, 39, 22, 25,
                                       97, 117, 55, 94, 26, 94, 35, 83, 7};
  std::vector<size_t> found;
  size_t start = 0;
  for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
    found.push_back(end - start);
  }
  EXPECT_EQ(start, content.size()) << "text after the last CR LF";
  EXPECT_EQ(found, lengths);

  const TextLines lines = LoadScriptLines();
  EXPECT_EQ(lines[4], "LOAD DATA LOCAL INFILE ");
  EXPECT_EQ(lines[5], "'sa2.txt'");
  EXPECT_EQ(lines[6].substr(0, 34), " INTO TABLE pohledavky2  CHARACTER");
  EXPECT_EQ(lines[9].back(), ' ');
  EXPECT_EQ(lines[10].front(), ' ');
  EXPECT_EQ(lines[13], lines[15]);
  EXPECT_EQ(lines[16], " WHERE p.ICO=a.ICO and p.KODPAR=\"\";");

  WriteLoadScript(path);
  EXPECT_EQ(ReadBytes(path), content);
}

}  // namespace
}  // namespace zered
