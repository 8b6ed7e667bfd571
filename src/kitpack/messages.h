// What kitpack says, in code page 949. Paths are shown as the user gave them, joined
// with the names found below them; a character code page 949 lacks shows as "?".
#pragma once

#include "kitpack/wide_string.h"

#include <cstdint>
#include <string>

struct PackReport;
struct OneFileReport;

// Wrong arguments (exit code 2).
std::string UsageText();
std::string NotADirectoryText(const WideString& folder);

// Failures of a run (exit code 1).
std::string UnrepresentableNameText(const WideString& path);
std::string NameTooLongText(const WideString& path);
std::string UnreadableDirectoryText(const WideString& path);
std::string ReparsePointText(const WideString& path);
std::string UnreadableFileText(const WideString& path);
std::string ChangedFileText(const WideString& path);
std::string UnwritableArchiveText(const WideString& archive);
std::string InterruptedText(const WideString& archive);

// Failures of a one-file run (exit code 1).
std::string UnfitFileNameText(const WideString& path);
std::string SameNameText(const WideString& first, const WideString& second);
std::string TooManyFilesText();
std::string KitcheckMissingText(const WideString& kitcheck);
std::string KitcheckFailedText();
std::string RefusedMediumText();
std::string LauncherMissingText(const WideString& launcher);

// A completed run (exit code 0).
std::string ReportText(const WideString& archive, const PackReport& report);
std::string OneFileReportText(const WideString& out, const OneFileReport& report);

// The number with a comma between groups of three digits: "1,234,567".
std::string GroupedNumber(std::uint64_t number);
