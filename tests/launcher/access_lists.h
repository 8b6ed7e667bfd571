// Access lists as the tests read them back, in the system's text form (SDDL).
#pragma once

#include <string>

// The process's user, "S-1-5-21-...".
std::string UserSid();

// The file's or folder's access list ("D:P(A;OICI;FA;;;SY)..."); "unreadable" when
// it cannot be read.
std::string AccessList(const std::string& path);

// The entries of an access list that are inherited (ID) or for anyone but the user,
// Administrators (BA) and SYSTEM (SY); empty when there are none.
std::string ForeignEntries(const std::string& accessList, const std::string& user);
