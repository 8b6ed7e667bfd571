// The names of the volumes of a set, each from the one before.
#pragma once

#include <string>

// With the new naming the number before the extension goes up by one
// ("x.part1.rar", "x.part2.rar"; "x.part09.rar", "x.part10.rar"). Otherwise the
// extension counts: "x.rar", "x.r00", "x.r01", ..., "x.r99", "x.s00", ...
std::string NextVolumeName(const std::string& name, bool newNaming);
