// What an install run does to the machine besides extracting archives. The install
// engine keeps the run's order and its log; the effects go through this seam, so a
// dry run (the distributors' checker) can follow the same order while recording
// instead of acting.
#pragma once

#include <string>

class TInstallLog;
class TShellFileOperation;

class TInstallActions {
 public:
  // Copies a whole file over any file there.
  virtual void CopyWholeFile(const std::string& from, const std::string& to) = 0;
  // Sets the installed engine aside before the engine archive is extracted.
  virtual void SetEngineAside(TShellFileOperation& fop) = 0;
  // Whether the engine archive keeps the engine files already installed.
  virtual bool EngineFailIfExists() = 0;
  // Writes the engine's registry configuration and adjusts it to the script.
  virtual void ConfigureEngine() = 0;
  // Makes a shortcut (target and arguments expanded) and returns the link's path.
  virtual std::string MakeShortcut(const std::string& folder, const std::string& linkName,
                                   const std::string& target, const std::string& arguments) = 0;
  // Logs the uninstall key and records the installation.
  virtual void Register(TInstallLog& log, bool uninstallerCopied) = 0;
  // Makes the install directory the working directory.
  virtual void EnterInstallDirectory() = 0;

 protected:
  ~TInstallActions() = default;
};

// The real effects: whole-file copies that replace a read-only target and leave
// the copy writable; the engine set aside with the shell file operation; the date
// rule of EngineFailIfExists; the engine configuration of the settings tool,
// adjusted to the script; shortcuts through the shell link object; the product key
// and, when asked for, the entry in the system's program list.
class SystemInstallActions final : public TInstallActions {
 public:
  void CopyWholeFile(const std::string& from, const std::string& to) override;
  void SetEngineAside(TShellFileOperation& fop) override;
  bool EngineFailIfExists() override;
  void ConfigureEngine() override;
  std::string MakeShortcut(const std::string& folder, const std::string& linkName,
                           const std::string& target, const std::string& arguments) override;
  void Register(TInstallLog& log, bool uninstallerCopied) override;
  void EnterInstallDirectory() override;
};
