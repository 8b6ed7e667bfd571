// Whether a program on the medium carries an Authenticode signature: the elevation
// prompt names an unsigned program's publisher as unknown.
#pragma once

#include <string>

enum class Signing {
  Absent,    // no such file, or not a program: other checks speak of it
  Unsigned,  // a program without a certificate table
  Signed,    // it has one (whether Windows trusts the signer is not seen here)
};

Signing ProgramSigning(const std::string& path);
