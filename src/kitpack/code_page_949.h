// Texts in code page 949, the archive's and the kit's, whatever the system's code page.
#pragma once

#include "kitpack/wide_string.h"

#include <optional>
#include <string>

// The text as code page 949 writes it; nothing when a character has no form there or
// would come back as another one (no best-fit substitutes).
std::optional<std::string> ExactCp949(const WideString& text);
