// The encoding of SETUP.INI, judged by what its bytes read as: setup's profile
// functions read them as code page 949, an editor may have meant UTF-8. Only the
// code page conversions of the platform are used, so the judgement runs over a
// model of them as well.
#pragma once

#include <cstddef>
#include <string>

enum class ScriptEncoding {
  Missing,
  Cp949,         // the kit's code page (plain ASCII included)
  Utf8WithMark,  // UTF-8 with a byte-order mark
  Utf8,          // UTF-8 without one: Hangul or CJK in its UTF-8 reading, or no code page 949 text
  Either,        // valid both ways and neither reading plainly meant
  NotCp949,      // bytes that are no code page 949 text
  ZeroByte,      // a zero byte: no text file; the profile functions lose keys around it
};

// What a UTF-8 reading (UTF-16 code units) holds beyond ASCII.
enum class Utf8Reading {
  Ascii,        // nothing
  Latin,        // only characters of U+0080 to U+024F, none next to an ASCII letter: what
                // Hangul of code page 949 reads as ("체크키트" as "üũŰƮ")
  HangulOrCjk,  // at least one Hangul or CJK character: meant as UTF-8
  Other,        // anything else: other scripts, Latin letters inside words ("Café")
};
Utf8Reading ClassifyUtf8Reading(const wchar_t* text, std::size_t length);

struct EncodingVerdict {
  ScriptEncoding Encoding = ScriptEncoding::Missing;
  // NotCp949: the first line that is no code page 949 text; Either: the first line
  // the two readings tell apart; ZeroByte: the first line with a zero byte (from 1).
  unsigned Line = 0;
  std::string AsCp949;  // Either: that line as setup reads it
  std::string
      AsUtf8;  // Either: that line read as UTF-8, shown in code page 949 ("?" where it has none)
  // Utf8WithMark: the section named on the first line, which the mark joins, so the
  // profile functions do not find that header; empty when the first line is no header.
  std::string MarkedSection;
  bool MarkedHighBytes = false;  // Utf8WithMark: bytes above 127 after the mark (broken Korean)
};

// A byte-order mark, or Hangul or CJK in the UTF-8 reading: UTF-8. A zero byte:
// ZeroByte (it passes as text both ways, but names are cut at it). Valid both ways
// and a Latin UTF-8 reading: code page 949. Any other text valid both ways: Either.
// Valid UTF-8 only: UTF-8. Otherwise code page 949 checked line by line.
EncodingVerdict JudgeEncoding(const std::string& bytes);
