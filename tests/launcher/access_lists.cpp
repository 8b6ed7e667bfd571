#include "launcher/access_lists.h"

#include "win/handles.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

std::string UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
  const ObjectHandle owner(token);
  char buffer[256] = {};
  DWORD size = 0;
  char* sid = nullptr;
  if (!GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) ||
      !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
    return std::string();
  }
  const std::string text = sid;
  LocalFree(sid);
  return text;
}

std::string AccessList(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return "unreadable";
  }
  char* text = nullptr;
  ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                       DACL_SECURITY_INFORMATION, &text, nullptr);
  const std::string result = text ? text : "unreadable";
  LocalFree(text);
  LocalFree(descriptor);
  return result;
}

std::string ForeignEntries(const std::string& accessList, const std::string& user) {
  std::string foreign;
  for (std::size_t at = accessList.find('('); at != std::string::npos;
       at = accessList.find('(', at + 1)) {
    // "(type;flags;rights;object;inherited object;sid)"
    const std::string entry = accessList.substr(at + 1, accessList.find(')', at) - at - 1);
    const std::size_t flagsAt = entry.find(';') + 1;
    const std::string flags = entry.substr(flagsAt, entry.find(';', flagsAt) - flagsAt);
    const std::string sid = entry.substr(entry.rfind(';') + 1);
    if ((sid != user && sid != "BA" && sid != "SY") || flags.find("ID") != std::string::npos) {
      foreign += "(" + entry + ")";
    }
  }
  return foreign;
}
