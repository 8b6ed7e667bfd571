#include "uninstaller/restart_removal.h"

#include "contracts/install_log.h"
#include "text/full_path_rules.h"
#include "text/text.h"
#include "uninstaller/removal_passes.h"
#include "win/errors.h"

#include <algorithm>
#include <set>

namespace {

std::size_t Depth(const std::string& path) {
  return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

// "C:\A\" names C:\A, as its parent's listing names it; a root keeps its "\".
std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

bool NamesProgram(const std::vector<std::string>& lines, const std::string& program) {
  const std::vector<std::string> files = PassPayloads(lines, LogPass::Files);
  return !program.empty() && std::any_of(files.begin(), files.end(), [&](const std::string& file) {
    return UpperAscii(file) == program;
  });
}

}  // namespace

std::vector<std::string> FinishRemoval(const std::vector<std::string>& lines, RemovalSteps& steps,
                                       std::set<std::string> waiting) {
  std::vector<std::string> stayed;
  const std::optional<std::string> own = NormalFullPath(steps.ProgramPath());
  if (!own || !NamesProgram(lines, UpperAscii(*own))) return stayed;
  RunIgnoringErrors([&] {
    if (steps.Present(*own) && steps.RemoveAtRestart(*own)) waiting.insert(UpperAscii(*own));
  });
  std::vector<std::string> directories = PassPayloads(lines, LogPass::Directories);
  for (std::string& dir : directories) dir = WithoutTrailingSeparator(dir);
  std::stable_sort(directories.begin(), directories.end(),
                   [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
  std::set<std::string> seen;
  for (const std::string& dir : directories) {
    if (!seen.insert(UpperAscii(dir)).second) continue;
    RunIgnoringErrors([&] {
      if (!steps.Present(dir)) return;
      const std::vector<std::string> entries = steps.Contents(dir);
      const bool onlyWaiting =
          std::all_of(entries.begin(), entries.end(),
                      [&](const std::string& e) { return waiting.count(UpperAscii(e)) == 1; });
      if (onlyWaiting && steps.RemoveAtRestart(dir)) {
        waiting.insert(UpperAscii(dir));
      } else {
        stayed.push_back(dir);
      }
    });
  }
  return stayed;
}
