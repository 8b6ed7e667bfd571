#include "setup/shell_file_operation.h"

#include "win/errors.h"

namespace {

UINT ShellFunction(TFileOperation operation) {
  switch (operation) {
    case fopCopy:
      return FO_COPY;
    case fopDelete:
      return FO_DELETE;
    case fopMove:
      return FO_MOVE;
    case fopRename:
      return FO_RENAME;
  }
  return FO_COPY;
}

std::string WithoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::string DoubleZeroList(const std::vector<std::string>& texts) {
  std::string list;
  for (const std::string& text : texts) {
    list += text;
    list += '\0';
  }
  list += '\0';
  return list;
}

bool TShellFileOperation::Execute() {
  // An empty list would reach the shell as a bare terminator.
  if (SourceFiles.empty()) throw Exception("No source files for the file operation");
  std::string from = DoubleZeroList(SourceFiles);
  std::string to = DoubleZeroList({WithoutTrailingBackslashes(Destination)});

  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = OwnerWindow;
  operation.wFunc = ShellFunction(Operation);
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = Options;
  const int result = SHFileOperationA(&operation);
  if (result == 0 && !operation.fAnyOperationsAborted) return true;
  if (OnError) OnError(*this, result);
  return false;
}
