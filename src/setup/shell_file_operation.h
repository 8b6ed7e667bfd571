// The shell file-operation component: one SHFileOperationA call (copy, delete,
// move or rename) over a list of sources, with options fixed by its owner.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

enum TFileOperation { fopCopy, fopDelete, fopMove, fopRename };

// The options, as the shell's FOF_ flags.
enum : FILEOP_FLAGS {
  foAllowUndo = FOF_ALLOWUNDO,
  foFilesOnly = FOF_FILESONLY,
  foNoConfirmation = FOF_NOCONFIRMATION,
  foNoConfirmMkDir = FOF_NOCONFIRMMKDIR,
  foRenameCollision = FOF_RENAMEONCOLLISION,
  foSilent = FOF_SILENT,
  foNoErrorUI = FOF_NOERRORUI,
};

class TShellFileOperation;
using TFileOperationError = std::function<void(TShellFileOperation& Sender, int Error)>;

class TShellFileOperation {
 public:
  // owner: the window that owns whatever the shell shows during the operation.
  explicit TShellFileOperation(HWND owner = nullptr) : OwnerWindow(owner) {}

  HWND OwnerWindow;
  TFileOperation Operation = fopRename;
  FILEOP_FLAGS Options =
      foAllowUndo | foFilesOnly | foNoConfirmation | foNoConfirmMkDir | foRenameCollision;
  std::vector<std::string> SourceFiles;  // wildcards allowed where the shell takes them
  // Trailing "\" characters are dropped when the operation runs.
  std::string Destination;
  TFileOperationError OnError;

  // Runs the operation. False (after OnError, if assigned) when the shell reports an
  // error or the operation was cut short. Raises Exception when SourceFiles is empty:
  // the shell would read an empty list as the end of it and do nothing useful.
  bool Execute();
};

// Texts joined for the shell: each followed by a zero byte, then one more zero byte.
std::string DoubleZeroList(const std::vector<std::string>& texts);
