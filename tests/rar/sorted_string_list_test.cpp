// The sorted list of the archive component's properties: its order and its copies.
#include "rar/sorted_string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(SortedStringList, KeepsTextsInOrderWithoutCaseAndOnceEach) {
  TSortedStringList list{"b.txt", "A.TXT", "a.txt", "\xC7\xD1", "B.TXT", "b.txt", "a"};
  std::vector<std::string> texts(list.begin(), list.end());
  EXPECT_EQ((std::vector<std::string>{"a", "A.TXT", "a.txt", "B.TXT", "b.txt", "\xC7\xD1"}), texts);
}

TEST(SortedStringList, AssigningCopiesTheTexts) {
  std::vector<std::string> source{"Z", "Y"};
  TSortedStringList list;
  list = source;
  source.push_back("W");
  ASSERT_EQ(2u, list.Count());
  EXPECT_EQ("Y", list[0]);
  TSortedStringList other;
  other = {"X"};
  EXPECT_EQ(1u, other.Count());
  list = {"Q"};
  ASSERT_EQ(1u, list.Count());
  EXPECT_EQ("Q", list[0]);
}
