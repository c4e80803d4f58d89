#include "service/class_list.h"

#include <gtest/gtest.h>

namespace marrowel {
namespace {

TEST(SplitClassList, KeepsEveryPieceEmptyOnesIncluded) {
  struct Case {
    WideString list;
    std::vector<WideString> pieces;
  };
  const Case cases[] = {
      {u"", {u""}},
      {u"A", {u"A"}},
      {u"A|B", {u"A", u"B"}},
      {u"A||B", {u"A", u"", u"B"}},
      {u"A|", {u"A", u""}},
      {u"|", {u"", u""}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitClassList(c.list), c.pieces) << toUtf8(c.list);
}

TEST(PathBeside, ReplacesTheFileNameAfterEitherSeparator) {
  EXPECT_EQ(pathBeside(u"C:\\Apps\\Marrowel.exe", u"X.dll"), u"C:\\Apps\\X.dll");
  EXPECT_EQ(pathBeside(u"/opt/m/Marrowel", u"X.so"), u"/opt/m/X.so");
  EXPECT_EQ(pathBeside(u"C:/a\\b/Marrowel.exe", u"X.dll"), u"C:/a\\b/X.dll");
  EXPECT_EQ(pathBeside(u"Marrowel", u"X.so"), u"X.so");
}

}  // namespace
}  // namespace marrowel
