// The version resource a one-file medium carries: the distributor's product, read from
// the medium's SETUP.INI, so that Explorer's properties and a browser's download show
// the product rather than the kit.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct ProductVersionInfo {
  std::string Title;    // [APP] TITLE (code page 949); NAME when it has none
  std::string Name;     // [APP] NAME
  std::string Version;  // [APP] VERSION
  std::string Company;  // [APP] COMPANY
};

// The [APP] keys of the script at scriptPath (a full path).
ProductVersionInfo ReadProductVersionInfo(const std::string& scriptPath);

// The numeric version from the leading digits of text: "2.5.1 beta" gives 2, 5, 1, 0;
// text that does not start with a digit gives zeros. A part above 65535 is cut to it.
std::array<std::uint16_t, 4> NumericVersion(const std::string& text);

// The VS_VERSIONINFO resource's bytes, in Korean (0x0412, code page 949) as the kit's
// programs carry theirs: file description "<title> 설치", product name and version,
// company, file version, original file name.
std::string VersionResource(const ProductVersionInfo& product, const std::string& fileName);
