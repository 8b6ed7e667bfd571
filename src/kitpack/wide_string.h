// UTF-16 text for the platform's W functions, shared with the other programs.
#pragma once

#include "win/wide_string.h"
