// Shortcut files (".LNK") in the current user's or the machine's shell folders.
#pragma once

#include <string>

// Makes the shortcut folder path + "\" + linkName to target. folderName is a value
// name of the user's "Shell Folders" key, or when the user's key has no such value,
// of the machine's ("Common Programs", "Common Desktop", ...); letter case does not
// matter; an unknown name gives an empty folder path. linkName may hold one directory level, which
// is created when missing. linkPath is set before the link is made, so it is set also when saving
// fails; a path too long for the link file is not saved at all. COM must be initialised on the
// calling thread. Raises when the shell folder value is not a string or the shell link object
// cannot be had.
void CreateShortcut(const std::string& folderName, const std::string& linkName,
                    const std::string& target, const std::string& arguments, std::string& linkPath);

// Where CreateShortcut puts the link: the folder's path + "\" + linkName. Reads the
// shell folder list only; raises like CreateShortcut for a value that is no string.
std::string ShortcutPath(const std::string& folderName, const std::string& linkName);

// The shortcut's working directory for a target: its directory part without the
// final "\", unless that "\" follows ":" or "\" ("C:\" stays "C:\").
std::string ShortcutWorkingDirectory(const std::string& target);
