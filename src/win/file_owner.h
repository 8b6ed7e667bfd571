// Who owns an open file, and a directory only administrators may change: for files an
// elevated program acts on that lie where other users could have put them.
#pragma once

#include <windows.h>

// True when the file is owned by the Administrators group, by SYSTEM, or by the user
// this process runs as: what an elevated program makes. False for a file another user
// made, or when the owner cannot be read.
bool OwnedByAdministratorsOrSelf(HANDLE file);

// The same decision on a given owner and the process's user.
bool IsAdministratorsOrSelf(PSID owner, PSID self);

// Makes the directory with an access list of its own, nothing inherited: Administrators
// and SYSTEM may change what it holds, other users only read it. False when it exists
// already or cannot be made.
bool MakeAdministratorsOnlyDirectory(const char* path);
