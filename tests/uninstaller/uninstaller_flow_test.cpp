#include "uninstaller/uninstaller.h"

#include "shared/file_system.h"
#include "shared/handles.h"
#include "uninstaller/removal_passes.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Lines = std::vector<std::string>;

// Answers each box with the next scripted button and remembers what it was shown.
class ScriptedDialog : public UserDialog {
 public:
  explicit ScriptedDialog(std::vector<int> answers) : answers_(std::move(answers)) {}
  std::vector<UninstallerBox> Shown;
  std::function<void()> OnConfirmation;

  int Ask(const UninstallerBox& box) override {
    Shown.push_back(box);
    if (box.Caption == ConfirmationBox().Caption && OnConfirmation) OnConfirmation();
    if (answers_.empty()) return IDOK;
    const int answer = answers_.front();
    answers_.erase(answers_.begin());
    return answer;
  }

 private:
  std::vector<int> answers_;
};

class CountingSteps : public SystemRemovalSteps {
 public:
  int Count = 0;
  void DeleteLoggedFile(const std::string& path) override {
    ++Count;
    SystemRemovalSteps::DeleteLoggedFile(path);
  }
};

class UninstallerFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchDir("flow");
    log_ = dir_ + "Install.log";
    data_ = dir_ + "DATA.DBF";
    WriteFileBytes(data_, "data");
  }
  void WriteLog() { WriteFileBytes(log_, "FILE:" + data_ + "\r\nFILE:" + log_ + "\r\n"); }
  std::vector<UninstallerBox> Uninstall(std::vector<int> answers,
                                  std::function<void()> onConfirmation = nullptr) {
    ScriptedDialog dialog(std::move(answers));
    dialog.OnConfirmation = std::move(onConfirmation);
    RunUninstaller(log_, dialog, steps_);
    return dialog.Shown;
  }

  std::string dir_, log_, data_;
  CountingSteps steps_;
};

}  // namespace

bool operator==(const UninstallerBox& a, const UninstallerBox& b) {
  return a.Text == b.Text && a.Caption == b.Caption && a.Flags == b.Flags;
}

void PrintTo(const UninstallerBox& box, std::ostream* out) {
  *out << "{" << box.Caption << ", " << box.Text << ", 0x" << std::hex << box.Flags << "}";
}

TEST(UninstallerBoxes, TextsCaptionsAndFlags) {
  const UninstallerBox missing = LogMissingBox("C:\\KORVANE\\Install.log");
  EXPECT_EQ("C:\\KORVANE\\Install.log 파일이 존재하지 않습니다.  확인 후 다시 실행 하십시오.",
            missing.Text);
  EXPECT_EQ("오류", missing.Caption);
  EXPECT_EQ(0x10u, missing.Flags);
  const UninstallerBox unreadable = LogUnreadableBox("C:\\KORVANE\\Install.log");
  EXPECT_EQ("C:\\KORVANE\\Install.log 파일을 읽을 수 없습니다.", unreadable.Text);
  EXPECT_EQ("오류", unreadable.Caption);
  EXPECT_EQ(0x10u, unreadable.Flags);
  EXPECT_EQ("프로그램을 컴퓨터에서 삭제 하시겠습니까? (주의! 프로그램과 모든 자료가 지워집니다.)",
            ConfirmationBox().Text);
  EXPECT_EQ("삭제", ConfirmationBox().Caption);
  EXPECT_EQ(0x124u, ConfirmationBox().Flags);
  EXPECT_EQ("프로그램 삭제를 완료 했습니다.", CompletionBox().Text);
  EXPECT_EQ("완료", CompletionBox().Caption);
  EXPECT_EQ(0x40u, CompletionBox().Flags);
}

TEST_F(UninstallerFlow, MissingLogIsNamedAndNothingElseHappens) {
  EXPECT_EQ((std::vector<UninstallerBox>{LogMissingBox(log_)}), Uninstall({IDYES}));
  EXPECT_TRUE(FileExists(data_));
  CreateDirectoryA(log_.c_str(), nullptr);  // a directory of that name is no log either
  EXPECT_EQ((std::vector<UninstallerBox>{LogMissingBox(log_)}), Uninstall({IDYES}));
}

TEST_F(UninstallerFlow, OnlyYesRemovesAnything) {
  WriteLog();
  for (int answer : {IDNO, 0, -1}) {  // 0: the box could not be shown
    EXPECT_EQ((std::vector<UninstallerBox>{ConfirmationBox()}), Uninstall({answer})) << answer;
    EXPECT_TRUE(FileExists(data_));
    EXPECT_TRUE(FileExists(log_));
  }
  EXPECT_EQ((std::vector<UninstallerBox>{ConfirmationBox(), CompletionBox()}), Uninstall({IDYES}));
  EXPECT_FALSE(FileExists(data_));
  EXPECT_FALSE(FileExists(log_));  // deleted by its own line, after it was read
  EXPECT_EQ((std::vector<UninstallerBox>{LogMissingBox(log_)}), Uninstall({IDYES}));
}

TEST_F(UninstallerFlow, EmptyLogStillReportsCompletion) {
  WriteFileBytes(log_, "");
  EXPECT_EQ((std::vector<UninstallerBox>{ConfirmationBox(), CompletionBox()}), Uninstall({IDYES}));
  EXPECT_EQ(0, steps_.Count);
  EXPECT_TRUE(FileExists(log_));
}

TEST_F(UninstallerFlow, LockedLogIsReportedAndNothingIsRemoved) {
  WriteLog();
  FileHandle lock(CreateFileA(log_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(lock.Valid());
  EXPECT_EQ((std::vector<UninstallerBox>{ConfirmationBox(), LogUnreadableBox(log_)}),
            Uninstall({IDYES}));
  EXPECT_EQ(0, steps_.Count);
  EXPECT_TRUE(FileExists(data_));
}

TEST_F(UninstallerFlow, LogGoneWhileTheUserDecided) {
  WriteLog();
  EXPECT_EQ((std::vector<UninstallerBox>{ConfirmationBox(), LogMissingBox(log_)}),
            Uninstall({IDYES}, [&] { DeleteFileA(log_.c_str()); }));
  EXPECT_TRUE(FileExists(data_));
}

TEST_F(UninstallerFlow, EveryLineOfALongLogIsHandled) {
  std::string text;
  for (int i = 0; i < 70000; ++i) text += "FILE:" + dir_ + "N" + std::to_string(i) + "\r\n";
  text += "FILE:" + data_ + "\r\n";
  WriteFileBytes(log_, text);
  EXPECT_EQ((std::vector<UninstallerBox>{ConfirmationBox(), CompletionBox()}), Uninstall({IDYES}));
  EXPECT_EQ(70001, steps_.Count);
  EXPECT_FALSE(FileExists(data_));  // the line past 65,536 was reached
}
