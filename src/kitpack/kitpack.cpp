#include "kitpack/kitpack.h"

#include "kitpack/messages.h"
#include "kitpack/one_file.h"
#include "kitpack/pack_error.h"
#include "kitpack/pack_folder.h"

#include <windows.h>

#include <exception>

namespace {

bool IsDirectory(const WideString& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// kitpack's own directory, ending in a separator; empty when it cannot be learnt.
WideString OwnDirectory() {
  WideString path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return WideString();
  path.resize(length);
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

KitpackRun RunOneFile(const std::vector<WideString>& dirs, const WideString& out,
                      const WideString& toolsDir) {
  for (const WideString& dir : dirs) {
    if (!IsDirectory(dir)) return {2, std::string(), NotADirectoryText(dir) + UsageText()};
  }
  try {
    return {0, OneFileReportText(out, MakeOneFile(out, dirs, toolsDir)), std::string()};
  } catch (const PackError& error) {
    return {1, std::string(), error.Message()};
  } catch (const PackInterrupted&) {
    return {1, std::string(), InterruptedText(out)};
  } catch (const std::exception&) {  // out of memory: the temporary file is gone by now
    return {1, std::string(), UnwritableArchiveText(out)};
  }
}

}  // namespace

KitpackRun RunKitpack(const std::vector<WideString>& arguments, const WideString& toolsDir) {
  if (!arguments.empty() && arguments[0] == L"--one-file") {
    if (arguments.size() < 3) return {2, std::string(), UsageText()};
    const WideString tools = !toolsDir.empty() ? toolsDir : OwnDirectory();
    return RunOneFile(std::vector<WideString>(arguments.begin() + 1, arguments.end() - 1),
                      arguments.back(), tools);
  }
  if (arguments.size() != 2) return {2, std::string(), UsageText()};
  const WideString& archive = arguments[0];
  const WideString& folder = arguments[1];
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return {2, std::string(), NotADirectoryText(folder) + UsageText()};
  }
  try {
    return {0, ReportText(archive, PackFolder(archive, folder)), std::string()};
  } catch (const PackError& error) {
    return {1, std::string(), error.Message()};
  } catch (const PackInterrupted&) {
    return {1, std::string(), InterruptedText(archive)};
  } catch (const std::exception&) {  // out of memory: the temporary file is gone by now
    return {1, std::string(), UnwritableArchiveText(archive)};
  }
}
