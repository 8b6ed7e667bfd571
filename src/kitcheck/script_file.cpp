#include "kitcheck/script_file.h"

#include "setup/install_settings.h"

ScriptFile AnalyseScript(const std::string& bytes, const std::string& path) {
  ScriptFile script;
  script.Text = JudgeEncoding(bytes);
  script.IgnoredFileKeys = KeysSetupIgnores(SectionKeys(path, "FILES"), kFileKeyPrefix);
  script.IgnoredIconKeys = KeysSetupIgnores(SectionKeys(path, "ICONS"), kIconKeyPrefix);
  script.UnnamedKeyLine = FirstUnnamedKeyLine(bytes);
  return script;
}
