// Helpers for tests that run under Wine: scratch folders, whole-file access
// and the paths of the build tree.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// A fresh, empty directory C:\kit-tests\<name> (made anew on every call),
// returned with a trailing "\".
std::string ScratchDir(const std::string& name);

// Removes a directory with everything below it; no error when it is missing.
void RemoveTree(const std::string& path);

// Creates the directory and its missing parents.
void MakeDirectories(const std::string& path);

void WriteFileBytes(const std::string& path, const std::string& bytes);

// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// size bytes of a pattern that differs with seed and does not repeat within 64 KiB.
std::string PatternBytes(std::size_t size, unsigned seed = 7);

// The texts with separator between them.
std::string Joined(const std::vector<std::string>& texts, const std::string& separator);

// Today's local date as "YYYY-MM-DD".
std::string TodayText();

// A Unix path as Wine's drive Z: shows it.
std::string WindowsPathOfUnix(const std::string& unixPath);

// A file of the build tree (relativePath in Unix form), as a Windows path.
std::string BuildTreePath(const std::string& relativePath);

// A built program or library of the kit (setup.exe, UNRAR.DLL, ...).
std::string KitOutputPath(const std::string& fileName);

// A file of the source tree (relativePath in Unix form), as a Windows path.
std::string SourceTreePath(const std::string& relativePath);

// A date and time of these fields (the day of the week left 0).
SYSTEMTIME MakeSystemTime(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0,
                          WORD second = 0, WORD milliseconds = 0);

// Sets a file's or a directory's last-write time, given as local time; throws when it
// cannot.
void SetLastWriteTime(const std::string& path, const SYSTEMTIME& local);
