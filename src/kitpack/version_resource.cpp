#include "kitpack/version_resource.h"

#include "win/code_page_text.h"

#include <windows.h>

namespace {

constexpr WORD kTextNode = 1;
constexpr WORD kBinaryNode = 0;

void PadToFour(std::string& bytes) {
  while (bytes.size() % 4 != 0) bytes += '\0';
}

void AppendWord(std::string& bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i));
}

// UTF-16 little-endian with its terminating zero.
std::string Utf16(const std::string& cp949) {
  std::string bytes;
  const int length = MultiByteToWideChar(kKitCodePage, 0, cp949.data(),
                                         static_cast<int>(cp949.size()), nullptr, 0);
  WideString wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) {
    MultiByteToWideChar(kKitCodePage, 0, cp949.data(), static_cast<int>(cp949.size()), &wide[0],
                        length);
  }
  for (wchar_t c : wide) AppendWord(bytes, c, 2);
  AppendWord(bytes, 0, 2);
  return bytes;
}

// One node of the resource: length, value length, type, key, value, children; each
// part starts on a four-byte boundary. valueLength counts characters for text values.
std::string Node(const std::string& key, WORD type, const std::string& value, WORD valueLength,
                 const std::string& children) {
  std::string node(6, '\0');
  node += Utf16(key);
  PadToFour(node);
  node += value;
  if (!children.empty()) {
    PadToFour(node);
    node += children;
  }
  node[0] = static_cast<char>(node.size());
  node[1] = static_cast<char>(node.size() >> 8);
  node[2] = static_cast<char>(valueLength);
  node[3] = static_cast<char>(valueLength >> 8);
  node[4] = static_cast<char>(type);
  return node;
}

std::string StringNode(const std::string& key, const std::string& value) {
  const std::string text = Utf16(value);
  std::string node = Node(key, kTextNode, text, static_cast<WORD>(text.size() / 2), "");
  PadToFour(node);
  return node;
}

std::string FixedInfo(const std::array<std::uint16_t, 4>& v) {
  std::string fixed;
  AppendWord(fixed, 0xFEEF04BD, 4);          // signature
  AppendWord(fixed, 0x00010000, 4);          // structure version
  for (int twice = 0; twice < 2; ++twice) {  // file version, then product version
    AppendWord(fixed, (static_cast<std::uint32_t>(v[0]) << 16) | v[1], 4);
    AppendWord(fixed, (static_cast<std::uint32_t>(v[2]) << 16) | v[3], 4);
  }
  AppendWord(fixed, VS_FFI_FILEFLAGSMASK, 4);
  AppendWord(fixed, 0, 4);  // flags
  AppendWord(fixed, VOS_NT_WINDOWS32, 4);
  AppendWord(fixed, VFT_APP, 4);
  AppendWord(fixed, VFT2_UNKNOWN, 4);
  AppendWord(fixed, 0, 8);  // date
  return fixed;
}

std::string ScriptValue(const std::string& path, const char* key) {
  char value[1024] = {};  // cleared: a cut inside a two-byte character leaves a byte unwritten
  GetPrivateProfileStringA("APP", key, "", value, sizeof value, path.c_str());
  return value;
}

}  // namespace

ProductVersionInfo ReadProductVersionInfo(const std::string& scriptPath) {
  ProductVersionInfo product;
  product.Name = ScriptValue(scriptPath, "NAME");
  product.Title = ScriptValue(scriptPath, "TITLE");
  if (product.Title.empty()) product.Title = product.Name;
  product.Version = ScriptValue(scriptPath, "VERSION");
  product.Company = ScriptValue(scriptPath, "COMPANY");
  return product;
}

std::array<std::uint16_t, 4> NumericVersion(const std::string& text) {
  std::array<std::uint16_t, 4> parts = {0, 0, 0, 0};
  std::size_t at = 0;
  for (std::size_t part = 0; part < parts.size(); ++part) {
    if (at >= text.size() || text[at] < '0' || text[at] > '9') break;
    std::uint32_t number = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
      number = number * 10 + static_cast<std::uint32_t>(text[at] - '0');
      if (number > 0xFFFF) number = 0xFFFF;
    }
    parts[part] = static_cast<std::uint16_t>(number);
    if (at >= text.size() || text[at] != '.') break;
    ++at;
  }
  return parts;
}

std::string VersionResource(const ProductVersionInfo& product, const std::string& fileName) {
  const std::string strings =
      StringNode("CompanyName", product.Company) +
      StringNode("FileDescription", product.Title + " 설치") +
      StringNode("FileVersion", product.Version) + StringNode("OriginalFilename", fileName) +
      StringNode("ProductName", product.Name) + StringNode("ProductVersion", product.Version);
  std::string table = Node("041203b5", kTextNode, "", 0, strings);
  PadToFour(table);
  std::string stringInfo = Node("StringFileInfo", kTextNode, "", 0, table);
  PadToFour(stringInfo);
  std::string translation;
  AppendWord(translation, 0x0412, 2);
  AppendWord(translation, kKitCodePage, 2);
  std::string var = Node("Translation", kBinaryNode, translation, 4, "");
  PadToFour(var);
  const std::string varInfo = Node("VarFileInfo", kTextNode, "", 0, var);
  const std::string fixed = FixedInfo(NumericVersion(product.Version));
  return Node("VS_VERSION_INFO", kBinaryNode, fixed, static_cast<WORD>(fixed.size()),
              stringInfo + varInfo);
}
