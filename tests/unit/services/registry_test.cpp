// The system's registry functions: root key names, registry entry texts, and
// the read and write rules over a simulated machine (the cases the real
// registry shares are in the registry conformance tests).
#include "services/registry.h"

#include <gtest/gtest.h>

#include <cstring>

#include "backends/sim/sim_machine.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

TEST(RootKeyFromName, OnlyTheExactNamesOfTheTable) {
  EXPECT_EQ(RootKeyFromName("HKEY_CLASSES_ROOT"), hkey::classesRoot);
  EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_CONFIG"), hkey::currentConfig);
  EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_USER"), hkey::currentUser);
  EXPECT_EQ(RootKeyFromName("HKEY_LOCAL_MACHINE"), hkey::localMachine);
  EXPECT_EQ(RootKeyFromName("HKEY_USERS"), hkey::users);
  EXPECT_EQ(RootKeyFromName("HKEY_PERFORMANCE_DATA"), hkey::performanceData);
  EXPECT_EQ(RootKeyFromName(std::string("HKEY_DYN_DATA")), hkey::dynData);

  for (const char* other :
       {"HKLM", "hkey_local_machine", "HKEY_Local_Machine", "HKEY_LOCAL_MACHINE\\", " HKEY_USERS",
        "HKEY_USERS ", "HKEY_USER", "HKCU", ""})
    EXPECT_EQ(RootKeyFromName(other), 0u) << other;
  EXPECT_EQ(RootKeyFromName(static_cast<const char*>(nullptr)), 0u);
  EXPECT_EQ(RootKeyFromName(std::string("HKEY_USERS\0X", 12)), 0u);
}

TEST(SplitRegistryEntry, RootSubkeyPathAndValueName) {
  RegistryEntry entry;
  ASSERT_TRUE(SplitRegistryEntry("HKEY_CURRENT_USER\\Software\\Example\\Path", entry));
  EXPECT_EQ(entry.root, hkey::currentUser);
  EXPECT_EQ(entry.subKey, "Software\\Example");
  EXPECT_EQ(entry.valueName, "Path");

  ASSERT_TRUE(SplitRegistryEntry("HKEY_CURRENT_USER\\Software\\Example\\", entry));
  EXPECT_EQ(entry.subKey, "Software\\Example");
  EXPECT_EQ(entry.valueName, "");  // the default value

  ASSERT_TRUE(SplitRegistryEntry("HKEY_LOCAL_MACHINE\\\\Value", entry));
  EXPECT_EQ(entry.root, hkey::localMachine);
  EXPECT_EQ(entry.subKey, "");
  EXPECT_EQ(entry.valueName, "Value");
}

TEST(SplitRegistryEntry, TextsThatDoNotSplitLeaveTheEntryAlone) {
  RegistryEntry entry{hkey::users, "keep", "this"};
  for (const char* text :
       {"HKEY_CURRENT_USER\\Path", "HKEY_CURRENT_USER", "", "\\", "HKLM\\Software\\Value",
        "hkey_current_user\\Software\\Value", "HKEY_CURRENT_USER \\Software\\Value",
        "\\HKEY_CURRENT_USER\\Software\\V"}) {
    EXPECT_FALSE(SplitRegistryEntry(text, entry)) << text;
    EXPECT_EQ(entry.root, hkey::users);
    EXPECT_EQ(entry.subKey, "keep");
    EXPECT_EQ(entry.valueName, "this");
  }
}

class RegistryFunctions : public ::testing::Test {
 protected:
  // Stores raw bytes, as another program might have.
  void Store(const std::string& name, std::uint32_t type, const std::string& bytes) {
    ASSERT_EQ(machine_.SetRegValue(hkey::currentUser, "Software\\Test", name, type, bytes.data(),
                                   static_cast<std::uint32_t>(bytes.size())),
              winerror::success);
  }
  std::string Stored(const std::string& name) {
    RegData data;
    if (machine_.QueryRegValue(hkey::currentUser, "Software\\Test", name, 1024, data) != 0)
      return "<none>";
    return std::string(data.bytes.begin(), data.bytes.end());
  }

  SimMachine machine_{SimOptions{}};
  ScopedMachine scope_{machine_};
};

TEST_F(RegistryFunctions, NullBufferOrSizeZeroTouchesNothing) {
  Store("v", regtype::sz, std::string("value", 6));
  machine_.Registry().InjectFault("QueryRegValue", 1, winerror::accessDenied);
  ReadRegistryString(hkey::currentUser, "Software\\Test", "v", nullptr, 64);
  char buffer[8] = "keep";
  ReadRegistryString(hkey::currentUser, "Software\\Test", "v", buffer, 0);
  EXPECT_STREQ(buffer, "keep");
  // Neither call reached the machine: the fault is still pending.
  EXPECT_EQ(machine_.Registry().PendingFaults(), 1u);
}

TEST_F(RegistryFunctions, TooSmallBuffersAreEmptiedNotTruncated) {
  Store("text", regtype::sz, std::string("abc", 4));
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  ReadRegistryString(hkey::currentUser, "Software\\Test", "text", buffer, 4);
  EXPECT_STREQ(buffer, "abc");
  std::memset(buffer, 'x', sizeof buffer);
  ReadRegistryString(hkey::currentUser, "Software\\Test", "text", buffer, 3);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'x');
  Store("empty", regtype::sz, "");
  std::memset(buffer, 'x', sizeof buffer);
  ReadRegistryString(hkey::currentUser, "Software\\Test", "empty", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "");
}

// Another program can store a string without its terminating zero; the
// reader must not hand it on unterminated.
TEST(RegistryStringReads, AStringStoredWithoutItsZeroIsEndedOrRefused) {
  testing::TempRoot root;
  testing::WriteHostFile(root.path() / ".velmora" / "registry",
                         "VELMORA REGISTRY 1\n[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Bare]\n"
                         "\"v\"=hex(1):61,62,63\n");
  SimMachine machine(root.path());
  ScopedMachine scope(machine);
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  ReadRegistryString(hkey::currentUser, "Bare", "v", buffer, 4);
  EXPECT_STREQ(buffer, "abc");
  std::memset(buffer, 'x', sizeof buffer);
  ReadRegistryString(hkey::currentUser, "Bare", "v", buffer, 3);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'x');
  EXPECT_EQ(ReadRegistryString(hkey::currentUser, "Bare", "v", 16), "abc");
}

TEST_F(RegistryFunctions, WritersAnswerFalseWhenTheMachineRefuses) {
  machine_.Registry().InjectFault("SetRegValue", 1, winerror::accessDenied);
  machine_.Registry().InjectFault("SetRegValue", 2, winerror::accessDenied);
  machine_.Registry().InjectFault("DeleteRegKey", 1, winerror::accessDenied);
  EXPECT_FALSE(WriteRegistryString(hkey::currentUser, "Software\\Test", "s", "x"));
  EXPECT_FALSE(WriteRegistryDword(hkey::currentUser, "Software\\Test", "d", 1));
  EXPECT_EQ(Stored("s"), "<none>");
  EXPECT_EQ(Stored("d"), "<none>");
  ASSERT_TRUE(WriteRegistryDword(hkey::currentUser, "Software\\Test\\Leaf", "d", 1));
  EXPECT_FALSE(DeleteRegistryKey(hkey::currentUser, "Software\\Test\\Leaf"));
  EXPECT_TRUE(DeleteRegistryKey(hkey::currentUser, "Software\\Test\\Leaf"));
  EXPECT_FALSE(WriteRegistryString(0x80000010, "Software\\Test", "s", "x"));
}

TEST_F(RegistryFunctions, WrittenStringsEndAtTheirFirstZero) {
  ASSERT_TRUE(
      WriteRegistryString(hkey::currentUser, "Software\\Test", "s", std::string("ab\0cd", 5)));
  EXPECT_EQ(Stored("s"), std::string("ab", 3));
  ASSERT_TRUE(WriteRegistryString(hkey::currentUser, "Software\\Test", "e", ""));
  EXPECT_EQ(Stored("e"), std::string(1, '\0'));
}

TEST_F(RegistryFunctions, ShortOrLongDwordValuesGiveTheDefault) {
  Store("short", regtype::dword, "\x01\x02");
  Store("long", regtype::dwordBigEndian, "\x01\x02\x03\x04\x05");
  Store("exact", regtype::binary, "\x01\x02\x03\x04");
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, "Software\\Test", "short", 77), 77u);
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, "Software\\Test", "long", 77), 77u);
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, "Software\\Test", "exact", 77), 77u);
  EXPECT_EQ(ReadRegistryDword(hkey::performanceData, "", "Global", 77), 77u);
}

}  // namespace
}  // namespace velmora
