// The platform model of the native fuzz targets against the platform itself: the
// model's cases replayed through Windows' own functions under Wine. Where the two
// differ, the fuzz targets would check the kit against a machine that does not exist.
#include "model/code_pages.h"
#include "model/profile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWcErrInvalidChars = 0x80;  // WC_ERR_INVALID_CHARS, beyond the headers' Windows XP

struct Outcome {
  bool Ok;
  std::wstring Text;
  bool operator==(const Outcome& other) const { return Ok == other.Ok && Text == other.Text; }
};

Outcome Platform(UINT codePage, const std::string& bytes, bool strict) {
  const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, flags, bytes.data(), size, text.data(), length);
  return {length > 0, text};
}

Outcome Model(UINT codePage, const std::string& bytes, bool strict) {
  Outcome outcome;
  outcome.Ok = model::ToUtf16(codePage, bytes, strict, outcome.Text) && !outcome.Text.empty();
  return outcome;
}

std::string Hex(const std::string& bytes) {
  std::ostringstream out;
  for (unsigned char c : bytes) out << std::hex << static_cast<int>(c) << ' ';
  return out.str();
}

std::string Hex(const std::wstring& text) {
  std::ostringstream out;
  for (wchar_t c : text) out << std::hex << static_cast<int>(c) << ' ';
  return out.str();
}

// Replays every case in both modes; the first differences are named.
void ExpectSameDecoding(UINT codePage, const std::vector<std::string>& cases) {
  int differences = 0;
  for (const std::string& bytes : cases) {
    for (bool strict : {false, true}) {
      const Outcome expected = Platform(codePage, bytes, strict);
      const Outcome modelled = Model(codePage, bytes, strict);
      if (expected == modelled) continue;
      if (++differences <= 10) {
        ADD_FAILURE() << "code page " << codePage << (strict ? " strict" : "") << ", bytes "
                      << Hex(bytes) << ": platform " << (expected.Ok ? Hex(expected.Text) : "fails")
                      << ", model " << (modelled.Ok ? Hex(modelled.Text) : "fails");
      }
    }
  }
  EXPECT_EQ(0, differences);
}

}  // namespace

TEST(ModelReplay, CodePage949ReadsEveryByteAndPairAsThePlatform) {
  std::vector<std::string> cases;
  for (int first = 0; first < 0x100; ++first) {
    const char lead = static_cast<char>(first);
    cases.push_back(std::string(1, lead));
    cases.push_back(std::string(1, lead) + "A");
    cases.push_back(std::string("A") + lead);
    if (first < 0x81 || first == 0xFF) continue;
    for (int trail = 0; trail < 0x100; ++trail) {
      cases.push_back(std::string(1, lead) + static_cast<char>(trail));
    }
  }
  ExpectSameDecoding(949, cases);
}

TEST(ModelReplay, Utf8ReadsSequencesAsThePlatform) {
  std::vector<std::string> cases;
  for (int first = 0; first < 0x100; ++first) {
    for (int second = 0; second < 0x100; ++second) {
      cases.push_back({static_cast<char>(first), static_cast<char>(second)});
    }
  }
  // Longer sequences: every lead byte of one with bytes of each kind after it.
  const unsigned char kinds[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F,
                                 0xA0, 0xBF, 0xC0, 0xE0, 0xF4, 0xFF};
  for (int lead = 0xC0; lead < 0x100; ++lead) {
    for (unsigned char b : kinds) {
      for (unsigned char c : kinds) {
        cases.push_back({static_cast<char>(lead), static_cast<char>(b), static_cast<char>(c)});
        for (unsigned char d : kinds) {
          cases.push_back({static_cast<char>(lead), static_cast<char>(b), static_cast<char>(c),
                           static_cast<char>(d)});
        }
      }
    }
  }
  ExpectSameDecoding(CP_UTF8, cases);
}

TEST(ModelReplay, CodePage949WritesEveryCharacterTheModelKnows) {
  // The model writes "?" for what the code page lacks; the platform may put a
  // look-alike there instead (best fit: "e" for U+00E9, a compatibility jamo for a
  // conjoining one), which does not read back as the character written. So a
  // character the model lacks must not come back whole from the platform.
  int differences = 0;
  for (unsigned unit = 1; unit < 0x10000; ++unit) {
    const std::wstring text(1, static_cast<wchar_t>(unit));
    char buffer[8] = {};
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(949, 0, text.data(), 1, buffer, sizeof buffer, nullptr, &usedDefault);
    const std::string platform(buffer, length > 0 ? length : 0);
    std::string modelled;
    bool defaulted = false;
    model::FromUtf16(949, text, false, modelled, defaulted);
    const bool same = defaulted ? Platform(949, platform, false).Text != text
                                : platform == modelled && !usedDefault;
    if (!same && ++differences <= 10) {
      ADD_FAILURE() << "U+" << std::hex << unit << ": platform " << Hex(platform) << ", model "
                    << Hex(modelled);
    }
  }
  EXPECT_EQ(0, differences);
}

TEST(ModelReplay, Utf8WritesEveryUnitAsThePlatform) {
  std::vector<std::wstring> cases;
  for (unsigned unit = 1; unit < 0x10000; ++unit) cases.push_back({static_cast<wchar_t>(unit)});
  cases.push_back({wchar_t(0xD83D), wchar_t(0xDE00)});
  cases.push_back({wchar_t(0xDE00), wchar_t(0xD83D)});
  cases.push_back({wchar_t(0xD83D), L'A'});
  int differences = 0;
  for (const std::wstring& text : cases) {
    for (bool strict : {false, true}) {
      char buffer[16] = {};
      const int length = WideCharToMultiByte(CP_UTF8, strict ? kWcErrInvalidChars : 0, text.data(),
                                             static_cast<int>(text.size()), buffer, sizeof buffer,
                                             nullptr, nullptr);
      const std::string platform(buffer, length > 0 ? length : 0);
      std::string modelled;
      bool defaulted = false;
      const bool ok = model::FromUtf16(CP_UTF8, text, strict, modelled, defaulted);
      if ((length > 0) == ok && platform == modelled) continue;
      if (++differences <= 10) {
        ADD_FAILURE() << "units " << Hex(text) << (strict ? " strict" : "") << ": platform "
                      << Hex(platform) << ", model " << Hex(modelled);
      }
    }
  }
  EXPECT_EQ(0, differences);
}

namespace {

// One file of lines picked from fragments that each touch a rule of the reader,
// ended in every way a line can end.
std::vector<std::string> ProfileFiles() {
  const std::vector<std::string> fragments = {"[APP]",
                                              "[app]",
                                              " [ B ] ",
                                              "[C]junk",
                                              "[D",
                                              "[]",
                                              "NAME=x",
                                              "name = \"q\" ",
                                              "K='s'",
                                              "NOEQ",
                                              "=empty",
                                              ";C=3",
                                              "A=\xC7\xD1\xB1\xDB",
                                              "V=\xFF\x80",
                                              "L=\x81",
                                              "",
                                              "  ",
                                              "\tT\t=\t v \t",
                                              "Q=\"a\"b\"",
                                              "Z=\"",
                                              "E=\xA8\xA3",
                                              "\xC7\xD1=\xB1\xDB",
                                              "W= x = y ",
                                              "[\xC7\xD1\xB1\xDB]",
                                              "[ app ]",
                                              "K=second",
                                              "NAME",
                                              "\xA1\xA1"
                                              "A\xA1\xA1=\xA1\xA1"
                                              "w",
                                              "[a]b]",
                                              "\"K\"=quoted name",
                                              "=again",
                                              "Z\x1A=ctrl-z",
                                              "V=\"x\" ",
                                              "[X] ; note"};
  const std::vector<std::string> ends = {"\r\n", "\n", "\r", std::string("\0\n", 2)};
  std::vector<std::string> files = {"", "\xEF\xBB\xBF[APP]\r\nNAME=\xEC\xB2\xB4\r\n",
                                    "\xEF\xBB\xBF;x\r\n[APP]\r\nNAME=1\r\n", "A=1\n[B]\nC=2\n",
                                    "[A]\nK=" + std::string(40, 'x') + "\n"};
  unsigned state = 12345;
  auto next = [&state] {
    state = state * 1103515245 + 12345;
    return (state >> 16) & 0x7FFF;
  };
  for (int n = 0; n < 150; ++n) {
    std::string file;
    const unsigned lines = 1 + next() % 10;
    for (unsigned i = 0; i < lines; ++i) {
      file += fragments[next() % fragments.size()] + ends[next() % ends.size()];
    }
    files.push_back(file);
  }
  return files;
}

struct Answer {
  unsigned Returned;
  std::string Buffer;
  bool operator==(const Answer& other) const {
    return Returned == other.Returned && Buffer == other.Buffer;
  }
};

// What was returned and the buffer up to a little beyond it.
std::string Shown(const Answer& answer) {
  const std::size_t end = std::min<std::size_t>(answer.Buffer.size(), answer.Returned + 3);
  return std::to_string(answer.Returned) + " [" + Hex(answer.Buffer.substr(0, end)) + "]";
}

}  // namespace

TEST(ModelReplay, ProfileReadsEveryFileAsThePlatform) {
  const std::string dir = "C:\\model-replay\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  const char* const sections[] = {"APP", "app", " B ", "C", "D", "", "\xC7\xD1\xB1\xDB", "X"};
  const char* const keys[] = {"NAME", "name", "K", "NOEQ", "",  ";C",       "A", "V",
                              "L",    "T",    "Q", "Z",    "E", "\xC7\xD1", "W", "MISSING"};
  struct Query {
    const char* Section;
    const char* Key;
    const char* Default;
    unsigned Size;
  };
  const std::vector<std::string> files = ProfileFiles();
  int differences = 0;
  for (std::size_t n = 0; n < files.size(); ++n) {
    // A new name for every file: the platform keeps files it has read in a cache.
    const std::string path = dir + "case" + std::to_string(n) + ".ini";
    if (n > 0) {
      HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD written = 0;
      WriteFile(file, files[n].data(), static_cast<DWORD>(files[n].size()), &written, nullptr);
      CloseHandle(file);
    }
    // Lists and values whole, and cut by small buffers in every third file.
    std::vector<Query> queries = {{nullptr, nullptr, "DEF", 1024}};
    for (const char* section : sections) {
      queries.push_back({section, nullptr, "DEF", 1024});
      for (const char* key : keys) queries.push_back({section, key, "DEF", 1024});
    }
    queries.push_back({"APP", "MISSING", "  def  ", 1024});
    queries.push_back({"APP", "MISSING", nullptr, 1024});
    for (unsigned size = 1; n % 3 == 0 && size <= 8; ++size) {
      queries.push_back({nullptr, nullptr, "DEF", size});
      queries.push_back({"APP", nullptr, "DEF", size});
      for (const char* key : {"NAME", "A", "K", "E"}) queries.push_back({"APP", key, "DEF", size});
    }
    for (const Query& q : queries) {
      Answer platform{0, std::string(q.Size + 2, '#')};
      platform.Returned = GetPrivateProfileStringA(q.Section, q.Key, q.Default, &platform.Buffer[0],
                                                   q.Size, path.c_str());
      Answer modelled{0, std::string(q.Size + 2, '#')};
      modelled.Returned = model::ProfileString(files[n], n > 0, q.Section, q.Key, q.Default,
                                               &modelled.Buffer[0], q.Size);
      if (platform == modelled) continue;
      if (++differences <= 10) {
        ADD_FAILURE() << "file " << Hex(files[n]) << "\nsection "
                      << (q.Section ? q.Section : "(none)") << ", key "
                      << (q.Key ? q.Key : "(none)") << ", default "
                      << (q.Default ? q.Default : "(none)") << ", size " << q.Size << ": platform "
                      << Shown(platform) << ", model " << Shown(modelled);
      }
    }
  }
  EXPECT_EQ(0, differences);
}
