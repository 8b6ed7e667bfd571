#include "win/file_owner.h"

#include "win/handles.h"

#include <aclapi.h>
#include <sddl.h>

namespace {

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE buffer[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof buffer;
  return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

}  // namespace

bool IsAdministratorsOrSelf(PSID owner, PSID self) {
  if (owner == nullptr || !IsValidSid(owner)) return false;
  return IsWellKnown(owner, WinBuiltinAdministratorsSid) || IsWellKnown(owner, WinLocalSystemSid) ||
         (self != nullptr && IsValidSid(self) && EqualSid(owner, self));
}

bool OwnedByAdministratorsOrSelf(HANDLE file) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                      nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  const LocalMemory descriptorOwner(descriptor);
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const ObjectHandle tokenOwner(token);
  BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenUser, user, sizeof user, &size)) return false;
  return IsAdministratorsOrSelf(owner, reinterpret_cast<TOKEN_USER*>(user)->User.Sid);
}

bool MakeAdministratorsOnlyDirectory(const char* path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
          "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;BU)", SDDL_REVISION_1, &descriptor,
          nullptr)) {
    return false;
  }
  const LocalMemory descriptorOwner(descriptor);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  return CreateDirectoryA(path, &attributes) != FALSE;
}
