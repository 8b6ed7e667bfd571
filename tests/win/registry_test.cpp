#include "win/registry.h"

#include "support/registry_support.h"
#include "win/errors.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const char kBase[] = "Software\\KitTests\\Accessor";

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, kBase); }
  void TearDown() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, kBase); }

  static std::string Key(const std::string& sub) { return std::string(kBase) + "\\" + sub; }
  static RawValue Value(const std::string& key, const std::string& name) {
    RawValue value;
    QueryValue(HKEY_LOCAL_MACHINE, key, name, value);
    return value;
  }
  static std::string ErrorOf(void (*action)(RegistryAccessor&), RegistryAccessor& reg) {
    try {
      action(reg);
    } catch (const ERegistryException& e) {
      return e.Message();
    }
    return "(no error)";
  }
};

// Removes a key tree the way the uninstaller does, written on the accessor alone.
bool RemoveTree(RegistryAccessor& reg, const std::string& path) {
  if (RegistryKey key = reg.OpenKeyHandle(path)) {
    CurrentKeyScope scope(reg, std::move(key));
    RegistryKeyInfo info;
    if (reg.GetKeyInfo(info)) {
      std::string name;
      for (DWORD i = info.SubKeyCount; i-- > 0;) {
        if (reg.SubKeyName(i, name)) RemoveTree(reg, name);
      }
    }
  }
  return reg.DeleteKey(path);
}

}  // namespace

TEST_F(Registry, OpenCreatesMissingParentsOnlyWhenAsked) {
  RegistryAccessor reg;
  EXPECT_FALSE(reg.OpenKey(Key("A\\B\\C"), false));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Key("A")));
  EXPECT_TRUE(reg.OpenKey(Key("A\\B\\C"), true));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Key("A\\B\\C")));
  reg.CloseKey();
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_TRUE(reg.OpenKey(Key("A\\B\\C"), false));
}

TEST_F(Registry, StringsAreStoredWithTheirZeroAndReadBack) {
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  reg.WriteString("Name", "C:\\한글 폴더");
  reg.WriteString("Empty", "");
  EXPECT_EQ(StringValue("C:\\한글 폴더"), Value(kBase, "Name"));
  EXPECT_EQ(StringValue(""), Value(kBase, "Empty"));  // present, one zero byte
  EXPECT_EQ("C:\\한글 폴더", reg.ReadString("Name"));
  EXPECT_TRUE(reg.ValueExists("Empty"));
  EXPECT_FALSE(reg.ValueExists("Missing"));
  EXPECT_EQ("", reg.ReadString("Missing"));
}

TEST_F(Registry, ReadAcceptsOnlyStringTypes) {
  SetRawValue(HKEY_LOCAL_MACHINE, kBase, "Expand", REG_EXPAND_SZ, std::string("%X%\\A", 6));
  SetRawValue(HKEY_LOCAL_MACHINE, kBase, "NoZero", REG_SZ, "ABC");
  SetRawValue(HKEY_LOCAL_MACHINE, kBase, "Inner", REG_SZ, std::string("AB\0CD\0", 6));
  SetRawValue(HKEY_LOCAL_MACHINE, kBase, "Number", REG_DWORD, std::string(4, '\1'));
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(kBase, false));
  EXPECT_EQ("%X%\\A", reg.ReadString("Expand"));  // not expanded
  EXPECT_EQ("ABC", reg.ReadString("NoZero"));
  EXPECT_EQ("AB", reg.ReadString("Inner"));
  EXPECT_EQ("Invalid data type for 'Number'",
            ErrorOf([](RegistryAccessor& r) { r.ReadString("Number"); }, reg));
}

TEST_F(Registry, WritesWithoutAnOpenKeyRaise) {
  RegistryAccessor reg;
  EXPECT_EQ("Failed to set data for 'X'",
            ErrorOf([](RegistryAccessor& r) { r.WriteString("X", "1"); }, reg));
  // A failed open leaves no key open, not the previous one.
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  EXPECT_FALSE(reg.OpenKey(Key("Missing"), false));
  EXPECT_EQ("Failed to set data for 'Y'",
            ErrorOf([](RegistryAccessor& r) { r.WriteString("Y", "1"); }, reg));
  EXPECT_EQ(static_cast<DWORD>(REG_NONE), Value(kBase, "Y").Type);
}

TEST_F(Registry, ReadOnlyKeyCannotBeOpenedForWriting) {
  MakeKeyReadOnly(HKEY_LOCAL_MACHINE, Key("Locked"));
  RegistryAccessor reg;
  EXPECT_FALSE(reg.OpenKey(Key("Locked"), true));
  EXPECT_FALSE(reg.OpenKey(Key("Locked"), false));
  EXPECT_FALSE(reg.OpenKeyHandle(Key("Locked")));
  MakeKeyWritable(HKEY_LOCAL_MACHINE, Key("Locked"));
  EXPECT_TRUE(reg.OpenKey(Key("Locked"), false));
}

TEST_F(Registry, PathsResolveFromCurrentKeyOrRoot) {
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(kBase, true));    // no key current: from the root
  ASSERT_TRUE(reg.OpenKey("Child", true));  // relative to the current key
  reg.WriteString("V", "1");
  EXPECT_EQ(StringValue("1"), Value(Key("Child"), "V"));
  ASSERT_TRUE(reg.OpenKey("\\" + Key("Other"), true));  // leading "\": from the root
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Key("Other")));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Key("Child\\Software")));
}

TEST_F(Registry, OtherRootKeys) {
  RegistryAccessor reg(HKEY_CURRENT_USER);
  EXPECT_EQ(HKEY_CURRENT_USER, reg.RootKey());
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  reg.WriteString("V", "user");
  RawValue value;
  EXPECT_TRUE(QueryValue(HKEY_CURRENT_USER, kBase, "V", value));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kBase));
  DeleteKeyTree(HKEY_CURRENT_USER, kBase);
}

TEST_F(Registry, KeyInfoAndEnumerationReadDoubleByteNames) {
  // The platform reports the longest name in characters; "설정키값" is 8 bytes.
  for (const char* name : {"A", "설정키값", "BB"}) {
    SetRawValue(HKEY_LOCAL_MACHINE, Key(name), "V", REG_SZ, std::string("x", 2));
  }
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(kBase, false));
  RegistryKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(3u, info.SubKeyCount);
  std::multiset<std::string> names;
  std::string name;
  for (DWORD i = 0; i < info.SubKeyCount; ++i) {
    ASSERT_TRUE(reg.SubKeyName(i, name));
    names.insert(name);
  }
  EXPECT_EQ((std::multiset<std::string>{"A", "BB", "설정키값"}), names);
  EXPECT_FALSE(reg.SubKeyName(3, name));
  reg.CloseKey();
  EXPECT_FALSE(reg.GetKeyInfo(info));
}

TEST_F(Registry, DeleteKeyResolvesLikeOpenAndNeverTakesTheBaseItself) {
  SetRawValue(HKEY_LOCAL_MACHINE, Key("Parent\\Leaf"), "V", REG_SZ, std::string("x", 2));
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(kBase, false));
  EXPECT_FALSE(reg.DeleteKey("Parent"));  // still has a subkey
  EXPECT_FALSE(reg.DeleteKey(""));        // would be the current key itself
  EXPECT_FALSE(reg.DeleteKey("\\"));      // would be the root itself
  EXPECT_TRUE(reg.DeleteKey("Parent\\Leaf"));
  EXPECT_TRUE(reg.DeleteKey("\\" + Key("Parent")));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Key("Parent")));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kBase));
}

TEST_F(Registry, CurrentKeyScopeRestoresTheRememberedKey) {
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(Key("Inner"), true));
  ASSERT_TRUE(reg.OpenKey("\\" + std::string(kBase), false));
  {
    CurrentKeyScope scope(reg, reg.OpenKeyHandle("Inner"));
    reg.WriteString("Where", "inner");
  }
  reg.WriteString("Where", "base");
  EXPECT_EQ(StringValue("inner"), Value(Key("Inner"), "Where"));
  EXPECT_EQ(StringValue("base"), Value(kBase, "Where"));
}

TEST_F(Registry, KeyTreeRemovalCanBeWrittenOnTheAccessor) {
  for (const char* leaf : {"T\\A\\A1\\A11", "T\\A\\A2", "T\\B", "T\\한글\\C", "Keep"}) {
    SetRawValue(HKEY_LOCAL_MACHINE, Key(leaf), "V", REG_SZ, std::string("x", 2));
  }
  RegistryAccessor reg;
  ASSERT_TRUE(reg.OpenKey(kBase, false));
  EXPECT_TRUE(RemoveTree(reg, "T"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, Key("T")));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, Key("Keep")));
  reg.WriteString("After", "1");  // the key current before is current again
  EXPECT_EQ(StringValue("1"), Value(kBase, "After"));
  EXPECT_FALSE(RemoveTree(reg, "T"));  // a missing key: nothing, no error
}
