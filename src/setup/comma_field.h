// The fields of a [FILES] or [ICONS] value. Pure: no platform headers, so the
// splitter can be fuzzed natively.
#pragma once

#include <string>

// Field n (from 1) of a comma-separated text, trimmed; empty beyond the last field.
// No quoting: every "," separates fields.
std::string GetCommaField(const std::string& text, unsigned n);
