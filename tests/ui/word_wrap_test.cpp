#include "ui/word_wrap.h"

#include "ui/gdi.h"
#include "win/gdi_scopes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class WordWrap : public ::testing::Test {
 protected:
  WordWrap() : dc_(nullptr), font_(dc_.Get(), FontHandleOf(TFont{"굴림체", 12})) {}

  std::vector<std::string> Wrap(const std::string& text, int width) {
    return WrapWords(dc_.Get(), text, width);
  }
  int Width(const std::string& text) {
    SIZE size = {};
    GetTextExtentPoint32A(dc_.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
  }

  WindowDC dc_;
  SelectedObject font_;
};

std::string JoinedWithBlanks(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : " ") + line;
  return text;
}

}  // namespace

TEST_F(WordWrap, KoreanWordsAreNeverSplit) {
  const std::string text = "설치 마법사는 별빛 가계부 1.0을(를) 다음 디렉토리에 설치할 것입니다.";
  const auto lines = Wrap(text, 353);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(text, JoinedWithBlanks(lines));  // every break stands at a blank
  for (const std::string& line : lines) EXPECT_LE(Width(line), 353);
  EXPECT_EQ("것입니다.", lines[1].substr(lines[1].rfind(' ') + 1));
}

TEST_F(WordWrap, LineBreaksAndOverlongWords) {
  EXPECT_EQ((std::vector<std::string>{"가", "", "나 다"}), Wrap("가\r\n\r\n나 다", 300));
  EXPECT_EQ((std::vector<std::string>{""}), Wrap("", 300));

  // A word wider than the line is cut between whole characters.
  const std::string word = "가나다라마바사아자차카타파하";
  const auto lines = Wrap(word, Width("가나다") + 2);
  ASSERT_GE(lines.size(), 4u);
  std::string joined;
  for (const std::string& line : lines) {
    EXPECT_LE(Width(line), Width("가나다") + 2);
    EXPECT_EQ(0u, line.size() % 2);  // two bytes per syllable: no cut inside one
    joined += line;
  }
  EXPECT_EQ(word, joined);
}
