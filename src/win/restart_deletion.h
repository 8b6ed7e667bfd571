// The files and directories Windows deletes when it next starts: the uninstaller hands
// its own running file to that list (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT and no
// new name), so a product installed again before the restart would lose it.
#pragma once

#include <string>

// Takes the deletion of the file at fullPath (code page 949; letter case ignored) off
// that list; renames and the deletions of other paths keep their places. True when the
// list no longer names it (or never did), false when it could not be read or changed.
bool CancelRestartDeletion(const std::string& fullPath);
