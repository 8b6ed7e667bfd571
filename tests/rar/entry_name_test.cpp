// Where the install log says an entry went: the target directory, or the current
// directory without one, joined with the stored name made safe.
#include "support/test_support.h"

#include "rar/entry_name.h"
#include "support/scopes.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(EntryName, APathIsNamedInTheTargetOrWithoutOneInTheCurrentDirectory) {
  EXPECT_EQ("C:\\KORVANE\\DATA\\A.DBF", ExtractedEntryPath("C:\\KORVANE", "DATA/A.DBF"));
  EXPECT_EQ("C:\\\\X.TXT", ExtractedEntryPath("C:\\", "..\\X.TXT"));  // as written: "\" joins

  const std::string dir = ScratchDir("entry-name-current");
  const CurrentDirectoryScope inDir(dir);
  EXPECT_EQ(dir + "SUB\\X.TXT", ExtractedEntryPath("", "C:\\SUB\\X.TXT"));
}
