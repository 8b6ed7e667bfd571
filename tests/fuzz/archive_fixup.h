// Mutated archives made whole again where only a checksum stands in the way, so that
// a fuzz target's mutations reach the block and name parsing behind the checks.
// Pure: no platform headers.
#pragma once

#include <string>

// Walks the blocks of a RAR 4.x archive as the stand-in's reader does and gives
// every block header the checksum its bytes call for, and every stored entry that
// lies whole in these bytes the checksum of its data. Stops where the reader would
// (a block that does not fit, the end block); other bytes are left as they are.
void FixArchiveChecksums(std::string& bytes);
