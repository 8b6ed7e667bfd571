// The archive library's result codes, open modes, operations and header flags.
// Pure: no platform headers, so the archive readers can use them anywhere.
#pragma once

// The library's result codes.
namespace rar_code {
constexpr int kSuccess = 0;
constexpr int kEndArchive = 10;
constexpr int kNoMemory = 11;
constexpr int kBadData = 12;  // checksum error
constexpr int kBadArchive = 13;
constexpr int kUnknownFormat = 14;
constexpr int kOpenError = 15;
constexpr int kCreateError = 16;
constexpr int kCloseError = 17;
constexpr int kReadError = 18;
constexpr int kWriteError = 19;
constexpr int kSmallBuffer = 20;
constexpr int kUnknown = 21;  // also: cancelled through a callback
constexpr int kMissingPassword = 22;
constexpr int kReferenceError = 23;
constexpr int kBadPassword = 24;
}  // namespace rar_code

// Open modes, operations of RARProcessFile, change-volume modes, header flags.
namespace rar_const {
constexpr unsigned kOpenList = 0;
constexpr unsigned kOpenExtract = 1;

constexpr int kSkip = 0;
constexpr int kTest = 1;
constexpr int kExtract = 2;

constexpr int kVolumeAsk = 0;
constexpr int kVolumeNotify = 1;

constexpr unsigned kFlagSplitBefore = 0x01;
constexpr unsigned kFlagSplitAfter = 0x02;
constexpr unsigned kFlagEncrypted = 0x04;
constexpr unsigned kFlagSolid = 0x10;
constexpr unsigned kFlagDirectory = 0xE0;  // all three window bits

constexpr unsigned kCommentRead = 1;  // CmtState: the comment was read completely
}  // namespace rar_const
