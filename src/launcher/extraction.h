// Writes the payload's files into the temporary folder and proves each one: closed
// after writing, opened again without write or delete sharing (which fails while any
// other program holds it open for writing), and read back through that handle against
// its checksum. The handles stay with the folder, so the files stay as proved until
// setup has ended.
#pragma once

#include "launcher/payload_file.h"
#include "launcher/progress_window.h"
#include "launcher/temporary_folder.h"

// False when a file cannot be made, written or proved.
bool ExtractPayload(PayloadFile& payload, TemporaryFolder& folder, ProgressWindow& progress);
