#include "ui/word_wrap.h"

namespace {

int TextWidth(HDC dc, const std::string& text) {
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The longest head of word (whole characters, at least one) that fits width.
std::string::size_type FittingHead(HDC dc, const std::string& word, int width) {
  std::string::size_type fits = 0;
  const char* p = word.c_str();
  while (*p) {
    const char* next = CharNextA(p);
    const auto end = static_cast<std::string::size_type>(next - word.c_str());
    if (fits > 0 && TextWidth(dc, word.substr(0, end)) > width) break;
    fits = end;
    p = next;
  }
  return fits;
}

void WrapParagraph(HDC dc, const std::string& paragraph, int width,
                   std::vector<std::string>& lines) {
  std::string line;
  std::string::size_type pos = 0;
  while (pos < paragraph.size()) {
    const auto wordEnd = paragraph.find(' ', pos);
    std::string word =
        paragraph.substr(pos, wordEnd == std::string::npos ? std::string::npos : wordEnd - pos);
    pos = wordEnd == std::string::npos ? paragraph.size() : wordEnd + 1;
    const std::string joined = line.empty() ? word : line + " " + word;
    if (TextWidth(dc, joined) <= width || (line.empty() && word.empty())) {
      line = joined;
      continue;
    }
    if (!line.empty()) lines.push_back(line);
    // A word wider than a whole line is cut where it must be.
    while (TextWidth(dc, word) > width) {
      const auto head = FittingHead(dc, word, width);
      lines.push_back(word.substr(0, head));
      word.erase(0, head);
    }
    line = word;
  }
  lines.push_back(line);
}

}  // namespace

std::vector<std::string> WrapWords(HDC dc, const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string::size_type pos = 0;
  for (;;) {
    const auto end = text.find_first_of("\r\n", pos);
    WrapParagraph(dc, text.substr(pos, end == std::string::npos ? std::string::npos : end - pos),
                  width, lines);
    if (end == std::string::npos) break;
    pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}
