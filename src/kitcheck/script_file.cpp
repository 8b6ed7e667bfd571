#include "kitcheck/script_file.h"

#include "setup/install_settings.h"

ScriptFile AnalyseScript(const std::string& bytes, const std::string& path) {
  ScriptFile script;
  script.Text = JudgeEncoding(bytes);
  script.IgnoredFileKeys = KeysSetupIgnores(SectionKeys(path, kFilesSection), kFileKeyPrefix);
  script.IgnoredIconKeys = KeysSetupIgnores(SectionKeys(path, kIconsSection), kIconKeyPrefix);
  script.UnnamedKeyLine = FirstUnnamedKeyLine(bytes);
  return script;
}
