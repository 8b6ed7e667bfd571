#include "kitpack/kitpack.h"

#include "kitpack/messages.h"
#include "kitpack/pack_error.h"
#include "kitpack/pack_folder.h"

#include <windows.h>

#include <exception>

KitpackRun RunKitpack(const std::vector<WideString>& arguments) {
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
