// Machine conformance for the registry: the same cases against the simulated
// registry on the host and the real one in the Windows build (under Wine).
// Every test works below its own key, HKEY_CURRENT_USER\Software\VelmoraTest
// plus a unique name, removed with everything below it afterwards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "conformance/machine_fixture.h"
#include "services/registry.h"

namespace velmora {
namespace {

std::string Text(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string UniqueName() {
  std::random_device random;
  return "T" + std::to_string(random()) + "-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
}

// Deletes a key and every key below it (deepest first).
void RemoveKeyTree(Machine& machine, hkey::Root root, const std::string& key) {
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  if (machine.ListRegKey(root, key, subKeys, values) != winerror::success) return;
  for (const std::string& sub : subKeys) RemoveKeyTree(machine, root, key + "\\" + sub);
  machine.DeleteRegKey(root, key);
}

class Registry : public testing::MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    unique_ = UniqueName();
    base_ = "Software\\VelmoraTest\\" + unique_;
  }

  void TearDown() override {
    RemoveKeyTree(machine(), hkey::currentUser, base_);
    machine().DeleteRegKey(hkey::currentUser, "Software\\VelmoraTest");  // when empty
    for (const auto& [root, key] : extraKeys_) RemoveKeyTree(machine(), root, key);
    MachineTest::TearDown();
  }

  // Path of a key below the test's own key.
  std::string K(const std::string& rest = {}) const {
    return rest.empty() ? base_ : base_ + "\\" + rest;
  }
  // A key outside the test's own key, removed afterwards; its name is
  // padded to length characters when given.
  std::string Extra(hkey::Root root, const std::string& parent, std::size_t length = 0) {
    std::string name = "VelmoraTest-" + unique_;
    if (length > name.size()) name.resize(length, 'k');
    const std::string key = parent.empty() ? name : parent + "\\" + name;
    extraKeys_.emplace_back(root, key);
    return key;
  }

  long Set(hkey::Root root, const std::string& key, const std::string& name, std::uint32_t type,
           const std::string& bytes) {
    return machine().SetRegValue(root, key, name, type, bytes.data(),
                                 static_cast<std::uint32_t>(bytes.size()));
  }
  long Set(const std::string& key, const std::string& name, std::uint32_t type,
           const std::string& bytes) {
    return Set(hkey::currentUser, key, name, type, bytes);
  }
  long Query(hkey::Root root, const std::string& key, const std::string& name, RegData& data,
             std::uint32_t available = 4096) {
    return machine().QueryRegValue(root, key, name, available, data);
  }
  long Query(const std::string& key, const std::string& name, RegData& data,
             std::uint32_t available = 4096) {
    return Query(hkey::currentUser, key, name, data, available);
  }
  std::vector<std::string> SubKeys(hkey::Root root, const std::string& key,
                                   long* result = nullptr) {
    std::vector<std::string> subKeys;
    std::vector<RegValue> values;
    const long r = machine().ListRegKey(root, key, subKeys, values);
    if (result != nullptr) *result = r;
    return subKeys;
  }

  static bool OnRealWindows() {
#ifdef _WIN32
    return !UnderWine();
#else
    return false;
#endif
  }

 private:
  std::string unique_;
  std::string base_;
  std::vector<std::pair<hkey::Root, std::string>> extraKeys_;
};

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

TEST_F(Registry, MissingKeysAndValues) {
  RegData data;
  EXPECT_EQ(Query(K("none"), "v", data), winerror::fileNotFound);
  EXPECT_EQ(Query(K("none\\deeper"), "v", data), winerror::fileNotFound);
  ASSERT_EQ(Set(K(), "here", regtype::sz, "x"), winerror::success);
  EXPECT_EQ(Query(K(), "other", data), winerror::fileNotFound);
  EXPECT_EQ(Query(K(), "", data), winerror::fileNotFound);  // no default value yet
  long listed = 0;
  SubKeys(hkey::currentUser, K("none"), &listed);
  EXPECT_EQ(listed, winerror::fileNotFound);
}

TEST_F(Registry, SettingAValueCreatesEveryMissingLevel) {
  ASSERT_EQ(Set(K("One\\Two\\Three"), "v", regtype::sz, std::string("deep", 5)), winerror::success);
  EXPECT_THAT(SubKeys(hkey::currentUser, K()), ElementsAre("One"));
  EXPECT_THAT(SubKeys(hkey::currentUser, K("One")), ElementsAre("Two"));
  EXPECT_THAT(SubKeys(hkey::currentUser, K("One\\Two")), ElementsAre("Three"));
  RegData data;
  ASSERT_EQ(Query(K("One\\Two\\Three"), "v", data), winerror::success);
  EXPECT_EQ(data.type, regtype::sz);
  EXPECT_EQ(Text(data.bytes), std::string("deep", 5));
}

TEST_F(Registry, ValueLargerThanTheRoomGivenIsMoreData) {
  ASSERT_EQ(Set(K(), "bin", regtype::binary, "\x01\x02\x03\x04\x05"), winerror::success);
  RegData data;
  EXPECT_EQ(Query(K(), "bin", data, 4), winerror::moreData);
  EXPECT_EQ(data.type, regtype::binary);
  EXPECT_EQ(data.size, 5u);
  EXPECT_TRUE(data.bytes.empty());
  EXPECT_EQ(Query(K(), "bin", data, 0), winerror::moreData);
  ASSERT_EQ(Query(K(), "bin", data, 5), winerror::success);
  EXPECT_EQ(Text(data.bytes), "\x01\x02\x03\x04\x05");

  // A string needs room for its terminating zero too.
  ASSERT_EQ(Set(K(), "text", regtype::sz, std::string("abc", 4)), winerror::success);
  EXPECT_EQ(Query(K(), "text", data, 3), winerror::moreData);
  EXPECT_EQ(data.size, 4u);
  EXPECT_EQ(Query(K(), "text", data, 4), winerror::success);

  ASSERT_EQ(Set(K(), "empty", regtype::binary, ""), winerror::success);
  EXPECT_EQ(Query(K(), "empty", data, 0), winerror::success);
  EXPECT_EQ(data.size, 0u);
}

TEST_F(Registry, BytesAreKeptAsGivenExceptAMissingStringTerminator) {
  RegData data;
  ASSERT_EQ(Set(K(), "unterminated", regtype::sz, "abc"), winerror::success);
  ASSERT_EQ(Query(K(), "unterminated", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("abc", 4));

  ASSERT_EQ(Set(K(), "empty", regtype::sz, ""), winerror::success);
  ASSERT_EQ(Query(K(), "empty", data), winerror::success);
  EXPECT_EQ(data.size, 0u);

  ASSERT_EQ(Set(K(), "inner", regtype::sz, std::string("ab\0cd", 6)), winerror::success);
  ASSERT_EQ(Query(K(), "inner", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("ab\0cd", 6));

  ASSERT_EQ(Set(K(), "multi", regtype::multiSz, std::string("a\0b\0", 4)), winerror::success);
  ASSERT_EQ(Query(K(), "multi", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("a\0b\0", 4));

  ASSERT_EQ(Set(K(), "accents", regtype::sz, "\xE9\xFF"), winerror::success);
  ASSERT_EQ(Query(K(), "accents", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("\xE9\xFF", 3));

  ASSERT_EQ(Set(K(), "short", regtype::dword, "\x01\x02"), winerror::success);
  ASSERT_EQ(Query(K(), "short", data), winerror::success);
  EXPECT_EQ(data.type, regtype::dword);
  EXPECT_EQ(Text(data.bytes), "\x01\x02");

  ASSERT_EQ(Set(K(), "odd", 99, "xy"), winerror::success);
  ASSERT_EQ(Query(K(), "odd", data), winerror::success);
  EXPECT_EQ(data.type, 99u);
  EXPECT_EQ(Text(data.bytes), "xy");
}

TEST_F(Registry, EmptyValueNameIsTheDefaultValue) {
  ASSERT_EQ(Set(K(), "", regtype::sz, std::string("def", 4)), winerror::success);
  ASSERT_EQ(Set(K(), "named", regtype::sz, std::string("n", 2)), winerror::success);
  RegData data;
  ASSERT_EQ(Query(K(), "", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("def", 4));
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  ASSERT_EQ(machine().ListRegKey(hkey::currentUser, K(), subKeys, values), winerror::success);
  std::vector<std::string> names;
  for (const RegValue& value : values) names.push_back(value.name);
  EXPECT_THAT(names, UnorderedElementsAre("", "named"));
}

TEST_F(Registry, NamesMatchWithoutRegardToCaseAndKeepTheirCase) {
  ASSERT_EQ(Set(K("Mixed\\Caf\xE9"), "ValueName", regtype::sz, std::string("1", 2)),
            winerror::success);
  RegData data;
  ASSERT_EQ(Query(K("MIXED\\caf\xC9"), "VALUENAME", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("1", 2));
  // Writing through other case changes the data, not the stored names.
  ASSERT_EQ(Set(K("mixed\\CAF\xC9"), "valuename", regtype::sz, std::string("2", 2)),
            winerror::success);
  EXPECT_THAT(SubKeys(hkey::currentUser, K()), ElementsAre("Mixed"));
  EXPECT_THAT(SubKeys(hkey::currentUser, K("Mixed")), ElementsAre("Caf\xE9"));
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  ASSERT_EQ(machine().ListRegKey(hkey::currentUser, K("Mixed\\Caf\xE9"), subKeys, values),
            winerror::success);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, "ValueName");
  EXPECT_EQ(Text(values[0].bytes), std::string("2", 2));
}

TEST_F(Registry, BackslashesInSubkeyPaths) {
  RegData data;
  EXPECT_EQ(Set("\\" + K(), "v", regtype::sz, "x"), winerror::badPathname);
  EXPECT_EQ(Query("\\Software", "v", data), winerror::badPathname);
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, "\\" + K()), winerror::badPathname);
  // Doubled and trailing backslashes are ignored.
  ASSERT_EQ(Set(K("A\\\\B\\"), "v", regtype::sz, std::string("x", 2)), winerror::success);
  EXPECT_THAT(SubKeys(hkey::currentUser, K("A")), ElementsAre("B"));
  EXPECT_EQ(Query(K("A\\B"), "v", data), winerror::success);
  EXPECT_EQ(Query(K("A\\\\B\\\\"), "v", data), winerror::success);
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, K("A\\\\B\\")), winerror::success);
  EXPECT_EQ(Query(K("A\\B"), "v", data), winerror::fileNotFound);
}

TEST_F(Registry, NameLengthLimits) {
  RegData data;
  // A key name holds up to 256 characters (tried right below the root, as
  // the whole path is limited too).
  const std::string longest = Extra(hkey::currentUser, "", 256);
  EXPECT_EQ(Set(hkey::currentUser, longest, "v", regtype::sz, "x"), winerror::success);
  EXPECT_EQ(Query(hkey::currentUser, longest, "v", data), winerror::success);
  EXPECT_EQ(Set(hkey::currentUser, longest + "k", "v", regtype::sz, "x"),
            winerror::invalidParameter);
  // The whole path is limited by the ANSI functions' conversion buffer.
  const std::string longPath = K(std::string(200, 'a') + "\\" + std::string(200, 'b'));
  EXPECT_EQ(Set(longPath, "v", regtype::sz, "x"), winerror::moreData);
  EXPECT_EQ(Query(longPath, "v", data), winerror::moreData);
  EXPECT_EQ(Set(K(std::string(250, 'c')), "v", regtype::sz, "x"), winerror::moreData);

  EXPECT_EQ(Set(K(), std::string(16383, 'v'), regtype::sz, "x"), winerror::success);
  EXPECT_EQ(Query(K(), std::string(16383, 'V'), data), winerror::success);
  EXPECT_EQ(Set(K(), std::string(16384, 'v'), regtype::sz, "x"), winerror::invalidParameter);
  EXPECT_EQ(Query(K(), std::string(16384, 'v'), data), winerror::fileNotFound);
}

TEST_F(Registry, DeletingKeys) {
  ASSERT_EQ(Set(K("Parent\\Child"), "v", regtype::sz, "x"), winerror::success);
  ASSERT_EQ(Set(K("Parent"), "p", regtype::sz, "x"), winerror::success);
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, K("Parent")), winerror::accessDenied);
  RegData data;
  EXPECT_EQ(Query(K("Parent"), "p", data), winerror::success);  // refused means untouched
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, K("Parent\\Child")), winerror::success);
  EXPECT_EQ(Query(K("Parent\\Child"), "v", data), winerror::fileNotFound);
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, K("Parent\\Child")), winerror::fileNotFound);
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, K("None\\Child")), winerror::fileNotFound);
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, K("PARENT")), winerror::success);
  EXPECT_TRUE(SubKeys(hkey::currentUser, K()).empty());
  // A root key itself is never deleted.
  EXPECT_EQ(machine().DeleteRegKey(hkey::currentUser, ""), winerror::accessDenied);
}

TEST_F(Registry, DeletingValues) {
  ASSERT_EQ(Set(K("Sub"), "gone", regtype::sz, "x"), winerror::success);
  ASSERT_EQ(Set(K(), "Gone", regtype::dword, std::string("\x01\0\0\0", 4)), winerror::success);
  ASSERT_EQ(Set(K(), "kept", regtype::sz, "y"), winerror::success);
  EXPECT_EQ(machine().DeleteRegValue(hkey::currentUser, K(), "GONE"), winerror::success);
  RegData data;
  EXPECT_EQ(Query(K(), "Gone", data), winerror::fileNotFound);
  EXPECT_EQ(Query(K(), "kept", data), winerror::success);
  EXPECT_EQ(machine().DeleteRegValue(hkey::currentUser, K(), "Gone"), winerror::fileNotFound);
  EXPECT_EQ(machine().DeleteRegValue(hkey::currentUser, K("None"), "v"), winerror::fileNotFound);
  // The default value is one like any other; the key stays when emptied.
  EXPECT_EQ(machine().DeleteRegValue(hkey::currentUser, K(), ""), winerror::fileNotFound);
  ASSERT_EQ(Set(K(), "", regtype::sz, "d"), winerror::success);
  EXPECT_EQ(machine().DeleteRegValue(hkey::currentUser, K(), ""), winerror::success);
  EXPECT_EQ(Query(K(), "", data), winerror::fileNotFound);
  EXPECT_EQ(machine().DeleteRegValue(hkey::currentUser, K("Sub"), "gone"), winerror::success);
  EXPECT_THAT(SubKeys(hkey::currentUser, K()), ElementsAre("Sub"));
  EXPECT_EQ(machine().DeleteRegValue(hkey::performanceData, "", "Global"), winerror::invalidHandle);
}

// The system's whole-value functions over the machine under test: a value
// of any type and size is read and written back exactly, or deleted.
TEST_F(Registry, ValuesAreReadWholeAndPutBackExactly) {
  std::string big(5000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  ASSERT_EQ(Set(K(), "Big", regtype::binary, big), winerror::success);
  RegData data;
  ASSERT_EQ(QueryRegistryValue(hkey::currentUser, K(), "Big", data), winerror::success);
  EXPECT_EQ(data.type, regtype::binary);
  EXPECT_EQ(Text(data.bytes), big);
  ASSERT_TRUE(DeleteRegistryValue(hkey::currentUser, K(), "Big"));
  EXPECT_EQ(QueryRegistryValue(hkey::currentUser, K(), "Big", data), winerror::fileNotFound);
  EXPECT_TRUE(data.bytes.empty());
  EXPECT_FALSE(DeleteRegistryValue(hkey::currentUser, K(), "Big"));
  EXPECT_EQ(QueryRegistryValue(hkey::currentUser, K("None"), "Big", data), winerror::fileNotFound);

  ASSERT_TRUE(WriteRegistryValue(hkey::currentUser, K("New"), "Back", regtype::expandSz,
                                 {'%', 'X', '%', 0}));
  ASSERT_EQ(QueryRegistryValue(hkey::currentUser, K("New"), "Back", data), winerror::success);
  EXPECT_EQ(data.type, regtype::expandSz);
  EXPECT_EQ(Text(data.bytes), std::string("%X%", 4));
  EXPECT_EQ(RegistryStringOf(data, 4), "%X%");
  EXPECT_EQ(RegistryStringOf(data, 3), "");  // as a 3-byte buffer would read it
}

TEST_F(Registry, OnlyTheSevenRootKeysAreAccepted) {
  RegData data;
  for (const hkey::Root root : {hkey::Root{0}, hkey::Root{0x80000007}, hkey::Root{0x12345}}) {
    EXPECT_EQ(Set(root, "Software", "v", regtype::sz, "x"), winerror::invalidHandle) << root;
    EXPECT_EQ(Query(root, "Software", "v", data), winerror::invalidHandle) << root;
    EXPECT_EQ(machine().DeleteRegKey(root, "Software"), winerror::invalidHandle) << root;
    EXPECT_EQ(machine().DeleteRegValue(root, "Software", "v"), winerror::invalidHandle) << root;
    long listed = 0;
    SubKeys(root, "", &listed);
    EXPECT_EQ(listed, winerror::invalidHandle) << root;
  }
}

TEST_F(Registry, ClassesRootAndCurrentConfigAreViewsOfTheMachineKey) {
  const std::string classes = Extra(hkey::classesRoot, "");
  const long set = Set(hkey::classesRoot, classes, "v", regtype::sz, std::string("cr", 3));
  if (set == winerror::accessDenied) GTEST_SKIP() << "no write access to HKEY_CLASSES_ROOT";
  ASSERT_EQ(set, winerror::success);
  RegData data;
  ASSERT_EQ(Query(hkey::localMachine, "Software\\Classes\\" + classes, "v", data),
            winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("cr", 3));
  // Reads below HKEY_CLASSES_ROOT skip one leading backslash; writes do not.
  EXPECT_EQ(Query(hkey::classesRoot, "\\" + classes, "v", data), winerror::success);
  EXPECT_EQ(Query(hkey::classesRoot, "\\\\" + classes, "v", data), winerror::badPathname);
  EXPECT_EQ(Set(hkey::classesRoot, "\\" + classes, "v", regtype::sz, "x"), winerror::badPathname);
  EXPECT_EQ(machine().DeleteRegKey(hkey::classesRoot, "\\" + classes), winerror::badPathname);

  const std::string config = Extra(hkey::currentConfig, "");
  ASSERT_EQ(Set(hkey::currentConfig, config, "v", regtype::sz, std::string("cc", 3)),
            winerror::success);
  ASSERT_EQ(Query(hkey::localMachine,
                  "System\\CurrentControlSet\\Hardware Profiles\\Current\\" + config, "v", data),
            winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("cc", 3));
}

TEST_F(Registry, CurrentUserIsAKeyOfUsers) {
  if (OnRealWindows()) GTEST_SKIP() << "the user's SID differs on Windows";
  ASSERT_EQ(Set(K(), "v", regtype::sz, std::string("cu", 3)), winerror::success);
  RegData data;
  ASSERT_EQ(Query(hkey::users, "S-1-5-21-0-0-0-1000\\" + K(), "v", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("cu", 3));
  EXPECT_THAT(SubKeys(hkey::users, ""),
              ::testing::IsSupersetOf({".Default", "S-1-5-21-0-0-0-1000"}));
}

TEST_F(Registry, PerformanceDataHasNoKeys) {
  RegData data;
  ASSERT_EQ(Query(hkey::performanceData, "", "Global", data), winerror::success);
  EXPECT_EQ(data.type, regtype::binary);
  ASSERT_GE(data.bytes.size(), 8u);
  EXPECT_EQ(Text(data.bytes).substr(0, 8), std::string("P\0E\0R\0F\0", 8));
  EXPECT_EQ(Query(hkey::performanceData, "", "Global", data, 8), winerror::moreData);
  EXPECT_EQ(Query(hkey::performanceData, "Sub", "Global", data), winerror::invalidHandle);
  EXPECT_EQ(Set(hkey::performanceData, "", "v", regtype::sz, "x"), winerror::invalidHandle);
  EXPECT_EQ(machine().DeleteRegKey(hkey::performanceData, "Sub"), winerror::invalidHandle);
  long listed = 0;
  SubKeys(hkey::performanceData, "", &listed);
  EXPECT_EQ(listed, winerror::invalidHandle);
}

TEST_F(Registry, DynDataIsAnOrdinaryRoot) {
  if (OnRealWindows()) GTEST_SKIP() << "HKEY_DYN_DATA exists only on Windows 9x and under Wine";
  EXPECT_THAT(SubKeys(hkey::dynData, ""), ::testing::IsSupersetOf({"PerfStats"}));
  long listed = 1;
  SubKeys(hkey::dynData, "PerfStats\\StatData", &listed);
  EXPECT_EQ(listed, winerror::success);
  const std::string key = Extra(hkey::dynData, "");
  ASSERT_EQ(Set(hkey::dynData, key, "v", regtype::dword, std::string("\x05\0\0\0", 4)),
            winerror::success);
  RegData data;
  ASSERT_EQ(Query(hkey::dynData, key, "v", data), winerror::success);
  EXPECT_EQ(Text(data.bytes), std::string("\x05\0\0\0", 4));
  EXPECT_EQ(machine().DeleteRegKey(hkey::dynData, ""), winerror::accessDenied);
}

// The system's own functions over the machine under test.
TEST_F(Registry, StringReadsKeepTheBufferRules) {
  ASSERT_TRUE(WriteRegistryString(hkey::currentUser, K("Deep\\Er"), "Path", "C:\\DEMO"));
  char buffer[16] = "untouched";
  ReadRegistryString(hkey::currentUser, K("Deep\\Er"), "path", buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "C:\\DEMO");
  ReadRegistryString(hkey::currentUser, K("Deep\\Er"), "Path", buffer, 8);  // exactly fits
  EXPECT_STREQ(buffer, "C:\\DEMO");
  std::strcpy(buffer, "untouched");
  ReadRegistryString(hkey::currentUser, K("Deep\\Er"), "Path", buffer, 7);  // one short
  EXPECT_STREQ(buffer, "");
  std::strcpy(buffer, "untouched");
  ReadRegistryString(hkey::currentUser, K("Deep\\Er"), "Path", buffer, 0);
  EXPECT_STREQ(buffer, "untouched");

  ASSERT_TRUE(WriteRegistryDword(hkey::currentUser, K(), "Number", 7));
  EXPECT_EQ(ReadRegistryString(hkey::currentUser, K(), "Number", 64), "");
  ASSERT_EQ(Set(K(), "Expand", regtype::expandSz, std::string("%WINDIR%\\x", 11)),
            winerror::success);
  EXPECT_EQ(ReadRegistryString(hkey::currentUser, K(), "Expand", 64), "%WINDIR%\\x");
  EXPECT_EQ(ReadRegistryString(hkey::currentUser, K("None"), "Path", 64), "");
}

TEST_F(Registry, DwordReadsKeepTheStoredBytes) {
  ASSERT_TRUE(WriteRegistryDword(hkey::currentUser, K(), "Count", 0x01020304));
  RegData data;
  ASSERT_EQ(Query(K(), "Count", data), winerror::success);
  EXPECT_EQ(data.type, regtype::dword);
  EXPECT_EQ(Text(data.bytes), "\x04\x03\x02\x01");
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, K(), "count", 9), 0x01020304u);

  ASSERT_EQ(Set(K(), "Big", regtype::dwordBigEndian, std::string("\0\0\0\x05", 4)),
            winerror::success);
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, K(), "Big", 9), 0x05000000u);

  ASSERT_TRUE(WriteRegistryString(hkey::currentUser, K(), "Text", "5"));
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, K(), "Text", 9), 9u);
  ASSERT_EQ(Set(K(), "Wide", regtype::binary, "12345678"), winerror::success);
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, K(), "Wide", 9), 9u);
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, K(), "None", 9), 9u);

  EXPECT_FALSE(DeleteRegistryKey(hkey::currentUser, K("None")));
  ASSERT_TRUE(WriteRegistryDword(hkey::currentUser, K("Leaf"), "", 1));
  EXPECT_TRUE(DeleteRegistryKey(hkey::currentUser, K("Leaf")));
  EXPECT_EQ(ReadRegistryDword(hkey::currentUser, K("Leaf"), "", 9), 9u);
}

}  // namespace
}  // namespace velmora
