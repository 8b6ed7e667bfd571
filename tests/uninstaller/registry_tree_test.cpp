#include "uninstaller/registry_tree.h"

#include "support/registry_support.h"

#include <gtest/gtest.h>

namespace {

const char kBase[] = "Software\\KitTests\\KeyTree";

class KeyTree : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }

  static void Clean() {
    MakeKeyWritable(HKEY_LOCAL_MACHINE, Key("Product\\Locked"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kBase);
  }
  static std::string Key(const std::string& sub) { return std::string(kBase) + "\\" + sub; }
  static void Put(const std::string& key, const std::string& name) {
    SetRawValue(HKEY_LOCAL_MACHINE, key, name, REG_SZ, StringValue("v").Data);
  }
  static RegistryKey CreateRawKey(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    return RegistryKey(key);
  }
  static bool Exists(const std::string& key) { return KeyExists(HKEY_LOCAL_MACHINE, key); }
};

}  // namespace

TEST_F(KeyTree, MissingKeyChangesNothing) {
  Put(Key("Other"), "Kept");
  DeleteRegistryTree(Key("Product"));
  DeleteRegistryTree(Key("Product\\Deeper"));
  EXPECT_TRUE(Exists(Key("Other")));
  EXPECT_EQ(1u, KeyValues(HKEY_LOCAL_MACHINE, Key("Other")).size());
}

TEST_F(KeyTree, KeyWithValuesOnly) {
  Put(Key("Product"), "A");
  Put(Key("Product"), "B");
  Put(Key("Sibling"), "C");
  DeleteRegistryTree(Key("Product"));
  EXPECT_FALSE(Exists(Key("Product")));
  EXPECT_TRUE(Exists(Key("Sibling")));
}

TEST_F(KeyTree, ThreeSubkeysAreAllRemoved) {
  for (const char* sub : {"One", "Two", "Three"}) Put(Key("Product\\") + sub, "X");
  DeleteRegistryTree(Key("Product"));
  EXPECT_FALSE(Exists(Key("Product")));
  EXPECT_TRUE(Exists(kBase));
}

TEST_F(KeyTree, ThreeLevelsWithValues) {
  Put(Key("Product"), "Top");
  Put(Key("Product\\Sub"), "Middle");
  Put(Key("Product\\Sub\\Deep"), "Bottom");
  Put(Key("Product\\Sub\\Deep2"), "Bottom");
  Put(Key("Product\\Sub2"), "Middle");
  DeleteRegistryTree(Key("Product"));
  EXPECT_FALSE(Exists(Key("Product")));
}

TEST_F(KeyTree, LeadingBackslashMeansBelowTheRoot) {
  Put(Key("Product\\Sub"), "X");
  DeleteRegistryTree(std::string("\\") + Key("Product"));
  EXPECT_FALSE(Exists(Key("Product")));
  EXPECT_TRUE(Exists(kBase));
}

TEST_F(KeyTree, KoreanSubkeyNamesOfAnyValidLength) {
  // 255 characters is the longest key name: 510 bytes in code page 949.
  std::string longest;
  for (int i = 0; i < 255; ++i) longest += "가";
  Put(Key("Product\\펠모라 1.0"), "X");
  Put(Key("Product\\자료\\설정"), "X");
  // The platform takes at most MAX_PATH characters of path per call: go step by step.
  RegistryKey product = CreateRawKey(HKEY_LOCAL_MACHINE, Key("Product"));
  RegistryKey first = CreateRawKey(product.Get(), longest);
  SetRawValue(first.Get(), longest, "X", REG_SZ, StringValue("v").Data);
  ASSERT_TRUE(KeyExists(first.Get(), longest));
  first.Reset();
  product.Reset();
  DeleteRegistryTree(Key("Product"));
  EXPECT_FALSE(Exists(Key("Product")));
}

TEST_F(KeyTree, KoreanKeyNamedByThePath) {
  Put(Key("펠모라 1.0\\하위"), "X");
  DeleteRegistryTree(Key("펠모라 1.0"));
  EXPECT_FALSE(Exists(Key("펠모라 1.0")));
}

TEST_F(KeyTree, SubkeyThatCannotBeDeletedKeepsItsParents) {
  Put(Key("Product\\A"), "X");
  Put(Key("Product\\Locked\\Inner"), "X");
  Put(Key("Product\\Z"), "X");
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, Key("Product\\Locked"));
  DeleteRegistryTree(Key("Product"));
  EXPECT_FALSE(Exists(Key("Product\\A")));  // siblings on both sides are still removed
  EXPECT_FALSE(Exists(Key("Product\\Z")));
  EXPECT_TRUE(Exists(Key("Product\\Locked\\Inner")));
  EXPECT_TRUE(Exists(Key("Product")));
}

TEST_F(KeyTree, RelativePathsResolveAgainstTheCurrentKeyAndKeepIt) {
  Put(Key("Product\\Child\\Grandchild"), "X");
  Put(Key("Product\\Other"), "X");
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(Key("Product"), false));
  EXPECT_TRUE(DeleteKeyTree(reg, "Child"));
  EXPECT_FALSE(Exists(Key("Product\\Child")));
  EXPECT_TRUE(Exists(Key("Product\\Other")));
  // The key that was current before is current again.
  ASSERT_TRUE(reg.HasCurrentKey());
  reg.WriteString("After", "yes");
  EXPECT_TRUE(KeyValues(HKEY_LOCAL_MACHINE, Key("Product")).count("After"));
  EXPECT_FALSE(DeleteKeyTree(reg, "Child"));  // gone: reported as not deleted
}

TEST_F(KeyTree, EmptyPathNeverEmptiesTheBaseKey) {
  Put(Key("Product\\Sub"), "X");
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(Key("Product"), false));
  EXPECT_FALSE(DeleteKeyTree(reg, ""));
  EXPECT_FALSE(DeleteKeyTree(reg, "\\"));
  EXPECT_TRUE(Exists(Key("Product\\Sub")));
  reg.CloseKey();
  DeleteRegistryTree("");
  DeleteRegistryTree("\\");
  EXPECT_TRUE(Exists(Key("Product\\Sub")));
}

TEST_F(KeyTree, AProductKeyGoesOnlyWhenItNamesTheOwnDirectoryWithItsEmptiedParents) {
  const auto install = [&](const std::string& version, const std::string& dir) {
    SetRawValue(HKEY_LOCAL_MACHINE, Key("Co\\Name\\" + version), "InstallDir", REG_SZ,
                StringValue(dir).Data);
    Put(Key("Co\\Name\\" + version + "\\Sub"), "X");
  };
  install("1.0", "C:\\Program Files\\Co\\App");
  DeleteProductKey(Key("Co\\Name\\1.0"), "C:\\Program Files\\Co\\Other\\");
  DeleteProductKey(Key("Co\\Name\\1.0"), "");
  EXPECT_TRUE(Exists(Key("Co\\Name\\1.0\\Sub")));

  install("2.0", "C:\\Program Files\\Co\\App2");  // another version keeps the parents
  DeleteProductKey(Key("Co\\Name\\1.0"), "c:\\program files\\co\\app\\");
  EXPECT_FALSE(Exists(Key("Co\\Name\\1.0")));
  EXPECT_TRUE(Exists(Key("Co\\Name\\2.0")));

  Put(Key("Co"), "Shared");  // a value keeps the company's key
  DeleteProductKey(Key("Co\\Name\\2.0"), "C:\\Program Files\\Co\\App2");
  EXPECT_FALSE(Exists(Key("Co\\Name")));
  EXPECT_TRUE(Exists(Key("Co")));

  DeleteRegistryTree(Key("Co"));
  install("3.0", "C:\\Program Files\\Co\\App3");
  DeleteProductKey(Key("Co\\Name\\3.0"), "C:\\Program Files\\Co\\App3");
  EXPECT_FALSE(Exists(Key("Co")));
  EXPECT_TRUE(Exists(kBase));  // never above the company
}

TEST_F(KeyTree, AnInstallDirThatIsNoStringRemovesNothing) {
  SetRawValue(HKEY_LOCAL_MACHINE, Key("Co\\Name\\1.0"), "InstallDir", REG_DWORD,
              std::string(4, '\0'));
  EXPECT_ANY_THROW(DeleteProductKey(Key("Co\\Name\\1.0"), "C:\\"));
  EXPECT_TRUE(Exists(Key("Co\\Name\\1.0")));
}
