#include <gtest/gtest.h>

#include <cstring>

#include "DesktopTest.h"
#include "platform/classlib/Registry.h"

namespace {

using Registry = qvtest::DesktopTest;

const char* const kKey = "\\Software\\Halvesta\\Quorvel\\4.0\\";

TEST_F(Registry, ValuesRoundTrip) {
  {
    TRegistry reg;
    EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kKey, false)) << "not there yet";
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Halvesta\\Quorvel\\4.0\\");
    reg.WriteString("KelvuDC", "15312012");
    reg.WriteString("", "default value");
    reg.WriteInteger("count", -7);
    reg.WriteBool("flag", true);
    const BYTE blob[5] = {0, 1, 2, 0xFE, 0xFF};
    reg.WriteBinaryData("blob", blob, sizeof blob);
  }
  // A fresh object finds everything again.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\HALVESTA\\quorvel", false));
  ASSERT_TRUE(reg.OpenKey("4.0", false)) << "relative to the current key";
  EXPECT_EQ(reg.CurrentPath(), "Software\\HALVESTA\\quorvel\\4.0");
  EXPECT_EQ(reg.ReadString("KelvuDC"), "15312012");
  EXPECT_EQ(reg.ReadString(""), "default value");
  EXPECT_EQ(reg.ReadString("missing"), "") << "a missing string value reads as empty";
  EXPECT_EQ(reg.ReadInteger("count"), -7);
  EXPECT_TRUE(reg.ReadBool("flag"));
  BYTE got[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("blob", got, sizeof got), 5);
  EXPECT_EQ(got[3], 0xFE);
  EXPECT_EQ(reg.ReadBinaryData("missing", got, sizeof got), 0);

  EXPECT_EQ(reg.GetDataType("KelvuDC"), rdString);
  EXPECT_EQ(reg.GetDataType("count"), rdInteger);
  EXPECT_EQ(reg.GetDataType("blob"), rdBinary);
  EXPECT_EQ(reg.GetDataType("missing"), rdUnknown);
  EXPECT_EQ(reg.GetDataSize("KelvuDC"), 9) << "with the terminating zero";
  EXPECT_EQ(reg.GetDataSize("missing"), -1);
  EXPECT_TRUE(reg.ValueExists("flag"));
  EXPECT_FALSE(reg.ValueExists("missing"));

  EXPECT_TRUE(reg.DeleteValue("flag"));
  EXPECT_FALSE(reg.DeleteValue("flag"));
  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(names.IndexOf("flag"), -1);
  EXPECT_NE(names.IndexOf("KelvuDC"), -1);
}

TEST_F(Registry, KeysAndDeletion) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\A\\Deep", true));
  reg.WriteString("v", "1");
  ASSERT_TRUE(reg.OpenKey("\\Software\\Test\\B", true));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Test\\A\\Deep"));
  EXPECT_FALSE(reg.KeyExists("Deep")) << "relative to B";
  EXPECT_FALSE(reg.HasSubKeys());

  ASSERT_TRUE(reg.OpenKey("\\Software\\Test", false));
  EXPECT_TRUE(reg.HasSubKeys());
  TStringList keys;
  reg.GetKeyNames(&keys);
  ASSERT_EQ(keys.Count(), 2);
  EXPECT_EQ(keys.Strings(0), "A");
  EXPECT_EQ(keys.Strings(1), "B");

  // A key with subkeys goes with all of them.
  EXPECT_TRUE(reg.DeleteKey("A"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Test\\A"));
  EXPECT_TRUE(reg.KeyExists("B"));
  EXPECT_FALSE(reg.DeleteKey("A"));

  // Changing the root closes the current key.
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  EXPECT_EQ(reg.CurrentPath(), "");
  EXPECT_FALSE(reg.KeyExists("Software\\Test"));
}

// Each failure raises the class library's message for the value's name.
TEST_F(Registry, FailuresRaiseWithTheirMessages) {
  {
    TRegistry setup;
    ASSERT_TRUE(setup.OpenKey("\\Software\\Err", true));
    setup.WriteString("long", "hello");
    setup.WriteString("short", "ab");
    setup.WriteInteger("number", 5);
    const BYTE blob[16] = {};
    setup.WriteBinaryData("blob", blob, sizeof blob);
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Software\\Err", false));
  BYTE small[4];
  struct Case {
    const char* what;
    std::function<void()> call;
    std::string message;
  } cases[] = {
      {"integer from a long string", [&] { reg.ReadInteger("long"); }, "Failed to get data for 'long'"},
      {"integer from a short string", [&] { reg.ReadInteger("short"); }, "Invalid data type for 'short'"},
      {"missing integer", [&] { reg.ReadInteger("none"); }, "Failed to get data for 'none'"},
      {"missing Boolean", [&] { reg.ReadBool("none"); }, "Failed to get data for 'none'"},
      {"string from an integer", [&] { reg.ReadString("number"); }, "Invalid data type for 'number'"},
      {"binary into a small buffer", [&] { reg.ReadBinaryData("blob", small, 4); }, "Invalid data type for 'blob'"},
      {"binary from a string", [&] { reg.ReadBinaryData("long", small, 4); }, "Invalid data type for 'long'"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
  }

  TRegistry readOnly;
  ASSERT_TRUE(readOnly.OpenKeyReadOnly("\\Software\\Err"));
  EXPECT_EQ(readOnly.Access(), static_cast<REGSAM>(KEY_READ));
  EXPECT_EQ(readOnly.ReadInteger("number"), 5);
  try {
    readOnly.WriteString("x", "y");
    ADD_FAILURE() << "write through a read-only key";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), "Failed to set data for 'x'");
  }
  TRegistry closed;
  EXPECT_THROW(closed.WriteInteger("x", 1), ERegistryException) << "no key open";
}

TEST_F(Registry, RegIniFileSectionsAreSubkeys) {
  {
    TRegIniFile ini(kKey);
    EXPECT_EQ(ini.FileName(), kKey);
    EXPECT_EQ(ini.ReadString("", "KelvuDC", ""), "");
    ini.WriteString("", "KelvuDC", "15312012");
    ini.WriteInteger("Layout", "View", 3);
    ini.WriteBool("Layout", "Expanded", true);
    ini.WriteString("Group0", "Caption", "Start");
  }
  TRegIniFile ini(kKey);
  EXPECT_EQ(ini.ReadString("", "KelvuDC", ""), "15312012");
  EXPECT_EQ(ini.ReadInteger("layout", "VIEW", 0), 3);
  EXPECT_TRUE(ini.ReadBool("Layout", "Expanded", false));
  EXPECT_EQ(ini.ReadInteger("Group0", "Caption", 9), 9) << "text that is no number";
  EXPECT_EQ(ini.ReadString("Nothing", "x", "dflt"), "dflt");

  // Values are stored as text under the section's subkey.
  TRegistry raw;
  ASSERT_TRUE(raw.OpenKey(std::string(kKey) + "Layout", false));
  EXPECT_EQ(raw.GetDataType("View"), rdString);
  EXPECT_EQ(raw.ReadString("Expanded"), "1");
  raw.WriteInteger("Dword", 12);
  EXPECT_EQ(ini.ReadInteger("Layout", "Dword", 0), 12) << "integer values are read as they are";

  TStringList list;
  ini.ReadSections(&list);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Strings(0), "Group0");
  ini.ReadSection("Layout", &list);
  EXPECT_EQ(list.Count(), 3);
  ini.ReadSectionValues("Group0", &list);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Strings(0), "Caption=Start");

  ini.DeleteKey("Layout", "View");
  EXPECT_EQ(ini.ReadInteger("Layout", "View", -1), -1);
  ini.EraseSection("Layout");
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(ini.ReadString("", "KelvuDC", ""), "15312012") << "the key's own values stay";
}

}  // namespace
