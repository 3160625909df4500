// The simulated registry's own side: its file in the machine's private
// folder, what survives a new machine on the same root, damaged files,
// failed saves and fault injection.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "backends/sim/sim_machine.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ReadHostFile;
using testing::WriteHostFile;

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

long Set(Machine& machine, hkey::Root root, const std::string& key, const std::string& name,
         std::uint32_t type, const std::string& bytes) {
  return machine.SetRegValue(root, key, name, type, bytes.data(),
                             static_cast<std::uint32_t>(bytes.size()));
}

// The value's type and bytes as "type:bytes", or "<error>".
std::string Get(Machine& machine, hkey::Root root, const std::string& key,
                const std::string& name) {
  RegData data;
  const long result = machine.QueryRegValue(root, key, name, 1 << 16, data);
  if (result != winerror::success) return "<" + std::to_string(result) + ">";
  return std::to_string(data.type) + ":" + Text(data.bytes);
}

class SimRegistryStore : public ::testing::Test {
 protected:
  fs::path StoreFile() const { return root_.path() / ".velmora" / "registry"; }
  testing::TempRoot root_;
};

TEST_F(SimRegistryStore, ValuesSurviveANewMachineOnTheSameRoot) {
  const std::string oddName = std::string("q\"uo\\te %41 \x01\xE9\n", 14);
  const std::string binary("\x00\x01\x7F\x80\xFF\"\\", 7);
  {
    SimMachine first(root_.path());
    ASSERT_EQ(Set(first, hkey::localMachine, "Software\\Demo Co\\App", "DisplayName", regtype::sz,
                  std::string("Demo", 5)),
              winerror::success);
    ASSERT_EQ(
        Set(first, hkey::currentUser, "Software\\%Odd]\x02\xC4", oddName, regtype::binary, binary),
        winerror::success);
    ASSERT_EQ(Set(first, hkey::currentUser, "Software\\Types", "", regtype::expandSz,
                  std::string("%WINDIR%\\\"x\"", 13)),
              winerror::success);
    ASSERT_EQ(Set(first, hkey::currentUser, "Software\\Types", "dw", regtype::dword,
                  std::string("\x04\x03\x02\x01", 4)),
              winerror::success);
    ASSERT_EQ(Set(first, hkey::currentUser, "Software\\Types", "inner", regtype::sz,
                  std::string("a\0b", 4)),
              winerror::success);
    ASSERT_EQ(Set(first, hkey::currentUser, "Software\\Types", "odd", 0xABCDEF01u, ""),
              winerror::success);
    ASSERT_EQ(Set(first, hkey::currentUser, "Software\\Gone", "v", regtype::sz, "x"),
              winerror::success);
    ASSERT_EQ(first.DeleteRegKey(hkey::currentUser, "Software\\Gone"), winerror::success);
    ASSERT_EQ(Set(first, hkey::dynData, "Session", "v", regtype::sz, "x"), winerror::success);
  }
  SimMachine second(root_.path());
  EXPECT_EQ(Get(second, hkey::localMachine, "SOFTWARE\\demo co\\app", "displayname"),
            std::string("1:Demo", 7));
  EXPECT_EQ(Get(second, hkey::currentUser, "Software\\%odd]\x02\xE4", oddName), "3:" + binary);
  EXPECT_EQ(Get(second, hkey::currentUser, "Software\\Types", ""),
            std::string("2:%WINDIR%\\\"x\"", 15));
  EXPECT_EQ(Get(second, hkey::currentUser, "Software\\Types", "dw"), "4:\x04\x03\x02\x01");
  EXPECT_EQ(Get(second, hkey::currentUser, "Software\\Types", "inner"), std::string("1:a\0b", 6));
  EXPECT_EQ(Get(second, hkey::currentUser, "Software\\Types", "odd"), "2882400001:");
  EXPECT_EQ(Get(second, hkey::currentUser, "Software\\Gone", "v"), "<2>");
  // HKEY_DYN_DATA lives as long as the machine, as under Wine.
  EXPECT_EQ(Get(second, hkey::dynData, "Session", "v"), "<2>");

  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  ASSERT_EQ(second.ListRegKey(hkey::currentUser, "Software", subKeys, values), winerror::success);
  EXPECT_THAT(subKeys, ::testing::UnorderedElementsAre(std::string("%Odd]\x02\xC4"), "Types"));
}

TEST_F(SimRegistryStore, TheFileIsReadableText) {
  {
    SimMachine machine(root_.path());
    ASSERT_EQ(
        Set(machine, hkey::localMachine,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo", "UninstallString",
            regtype::sz, std::string("C:\\WINDOWS\\XDemo.exe C:\\WINDOWS\\XDemo.VMU", 42)),
        winerror::success);
    ASSERT_EQ(Set(machine, hkey::currentUser, "Software\\Demo", "Count", regtype::dword,
                  std::string("\x05\0\0\0", 4)),
              winerror::success);
  }
  const std::string text = ReadHostFile(StoreFile());
  EXPECT_EQ(text.rfind("VELMORA REGISTRY 1\n", 0), 0u);
  EXPECT_NE(text.find("\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                      "Uninstall\\Demo]\n\"UninstallString\"=\"C:\\\\WINDOWS\\\\XDemo.exe "
                      "C:\\\\WINDOWS\\\\XDemo.VMU\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(
      text.find("[HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\Demo]\n\"Count\"=dword:00000005\n"),
      std::string::npos)
      << text;
  EXPECT_FALSE(fs::exists(StoreFile().string() + ".new"));
}

TEST_F(SimRegistryStore, AHandWrittenFileIsRead) {
  WriteHostFile(StoreFile(),
                "VELMORA REGISTRY 1\r\n"
                "; written by hand\r\n"
                "\r\n"
                "[HKEY_LOCAL_MACHINE\\Software\\Hand\\Made]\r\n"
                "@=\"default\"\r\n"
                "\"Raw\"=hex(3):0A,ff,00\r\n"
                "\"NoEnd\"=hex(1):61,62,63\r\n"
                "\"Path\"=expand:\"%TEMP%\\\\x\\x21\"\r\n");
  SimMachine machine(root_.path());
  EXPECT_EQ(Get(machine, hkey::localMachine, "Software\\Hand\\Made", ""),
            std::string("1:default", 10));
  EXPECT_EQ(Get(machine, hkey::localMachine, "Software\\Hand\\Made", "raw"),
            std::string("3:\n\xFF\0", 5));
  EXPECT_EQ(Get(machine, hkey::localMachine, "Software\\Hand\\Made", "NoEnd"), "1:abc");
  EXPECT_EQ(Get(machine, hkey::localMachine, "Software\\Hand\\Made", "Path"),
            std::string("2:%TEMP%\\x!", 12));
  // The keys behind the views are there even when the file does not name them.
  EXPECT_EQ(Set(machine, hkey::classesRoot, ".demo", "", regtype::sz, "x"), winerror::success);
  EXPECT_EQ(Get(machine, hkey::localMachine, "Software\\Classes\\.demo", ""),
            std::string("1:x", 4));
}

TEST_F(SimRegistryStore, ADamagedFileIsAClearErrorNamingTheLine) {
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"REGEDIT4\n", ":1: not a registry store"},
      {"VELMORA REGISTRY 1\n\"v\"=\"x\"\n", ":2: value before the first key"},
      {"VELMORA REGISTRY 1\n[HKEY_LOCAL_MACHINE\\A\n", ":2: a key line must end with ']'"},
      {"VELMORA REGISTRY 1\n[HKEY_CURRENT_USER\\A]\n", ":2: a key must be below"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A\\\\B]\n", ":2: empty key name"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A%4]\n", ":2: '%' in a key name"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A%5cB]\n", ":2: a key name cannot hold a backslash"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\n\"v\"=\"x\n", ":3: unterminated quoted text"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\n\"v\"=hex(3):0g\n", ":3: expected two hex digits"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\n\"v\"=dword:\n", ":3: expected a hex number"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\n\"v\"=qword:1\n", ":3: unknown data form"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\n\"v\"=\"x\" junk\n", ":3: unexpected text"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\nv=1\n", ":3: expected [key] or a value"},
      {"VELMORA REGISTRY 1\n[HKEY_USERS\\A]\n\"a\\q\"=\"x\"\n", ":3: unknown escape"},
  };
  for (const auto& [text, expected] : damaged) {
    WriteHostFile(StoreFile(), text);
    try {
      SimMachine machine(root_.path());
      ADD_FAILURE() << "accepted: " << text;
    } catch (const std::runtime_error& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(StoreFile().string() + expected), std::string::npos) << message;
    }
  }
  fs::remove(StoreFile());
  fs::create_directory(StoreFile());
  EXPECT_THROW(SimMachine(root_.path()), std::runtime_error);
}

TEST_F(SimRegistryStore, AChangeThatCannotBeSavedIsUndone) {
  SimMachine machine(root_.path());
  ASSERT_EQ(Set(machine, hkey::currentUser, "Software\\Keep", "v", regtype::sz, "old"),
            winerror::success);
  const std::string before = ReadHostFile(StoreFile());
  // A folder where the new copy would be written makes every save fail.
  fs::create_directory(StoreFile().string() + ".new");

  EXPECT_EQ(Set(machine, hkey::currentUser, "Software\\Keep", "v", regtype::sz, "new"),
            winerror::registryIoFailed);
  EXPECT_EQ(Set(machine, hkey::currentUser, "Software\\New\\Deep", "v", regtype::sz, "x"),
            winerror::registryIoFailed);
  EXPECT_EQ(machine.DeleteRegKey(hkey::currentUser, "Software\\Keep"), winerror::registryIoFailed);
  EXPECT_EQ(machine.DeleteRegValue(hkey::currentUser, "Software\\Keep", "v"),
            winerror::registryIoFailed);

  EXPECT_EQ(Get(machine, hkey::currentUser, "Software\\Keep", "v"), std::string("1:old", 6));
  RegData data;
  EXPECT_EQ(machine.QueryRegValue(hkey::currentUser, "Software\\New", "v", 16, data),
            winerror::fileNotFound);
  EXPECT_EQ(ReadHostFile(StoreFile()), before);
  // Keys that are never saved do not depend on the file.
  EXPECT_EQ(Set(machine, hkey::dynData, "Session", "v", regtype::sz, "x"), winerror::success);
}

TEST(SimRegistry, FaultsFailTheNthCallAndChangeNothing) {
  SimMachine machine{SimOptions{}};
  machine.Registry().InjectFault("SetRegValue", 2, winerror::accessDenied);
  machine.Registry().InjectFault("QueryRegValue", 1, 1016);
  machine.Registry().InjectFault("DeleteRegKey", 1, winerror::fileNotFound);
  machine.Registry().InjectFault("ListRegKey", 1, winerror::moreData);
  machine.Registry().InjectFault("DeleteRegValue", 1, winerror::accessDenied);
  EXPECT_EQ(machine.Registry().PendingFaults(), 5u);

  EXPECT_EQ(Set(machine, hkey::currentUser, "A", "v", regtype::sz, "1"), winerror::success);
  EXPECT_EQ(Set(machine, hkey::currentUser, "B", "v", regtype::sz, "2"), winerror::accessDenied);
  EXPECT_EQ(Get(machine, hkey::currentUser, "A", "v"), "<1016>");
  EXPECT_EQ(Get(machine, hkey::currentUser, "A", "v"), std::string("1:1", 4));
  EXPECT_EQ(Get(machine, hkey::currentUser, "B", "v"), "<2>");
  EXPECT_EQ(machine.DeleteRegValue(hkey::currentUser, "A", "v"), winerror::accessDenied);
  EXPECT_EQ(Get(machine, hkey::currentUser, "A", "v"), std::string("1:1", 4));
  EXPECT_EQ(machine.DeleteRegKey(hkey::currentUser, "A"), winerror::fileNotFound);
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  EXPECT_EQ(machine.ListRegKey(hkey::currentUser, "", subKeys, values), winerror::moreData);
  EXPECT_EQ(machine.ListRegKey(hkey::currentUser, "", subKeys, values), winerror::success);
  EXPECT_THAT(subKeys, ::testing::ElementsAre("A"));
  EXPECT_EQ(machine.Registry().PendingFaults(), 0u);

  EXPECT_THROW(machine.Registry().InjectFault("RegSetValue", 1, 5), std::invalid_argument);
  EXPECT_THROW(machine.Registry().InjectFault("SetRegValue", 0, 5), std::invalid_argument);
  EXPECT_THROW(machine.Registry().InjectFault("SetRegValue", 1, 0), std::invalid_argument);
}

TEST(SimRegistry, KeysBehindTheViewsAreNeverDeleted) {
  SimMachine machine{SimOptions{}};
  for (const char* key :
       {"Software\\Classes", "System\\CurrentControlSet\\Hardware Profiles\\Current"})
    EXPECT_EQ(machine.DeleteRegKey(hkey::localMachine, key), winerror::accessDenied) << key;
  EXPECT_EQ(machine.DeleteRegKey(hkey::users, "S-1-5-21-0-0-0-1000"), winerror::accessDenied);
  EXPECT_EQ(machine.DeleteRegKey(hkey::users, ".Default"), winerror::success);
}

TEST(SimRegistry, AMachineWithoutARootKeepsItsRegistryInMemory) {
  testing::TempRoot root;
  SimOptions options;
  SimMachine machine(options);
  machine.Mount('C', root.path());
  EXPECT_EQ(Set(machine, hkey::localMachine, "Software\\Mem", "v", regtype::sz, "x"),
            winerror::success);
  EXPECT_EQ(Get(machine, hkey::localMachine, "Software\\Mem", "v"), std::string("1:x", 4));
  EXPECT_TRUE(machine.Registry().StoreFile().empty());
  EXPECT_TRUE(fs::is_empty(root.path()));
}

}  // namespace
}  // namespace velmora
