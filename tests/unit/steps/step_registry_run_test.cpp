// The registry step at run time: the value written, the value found before
// it kept for a roll-back, and entries that do not name a value.
#include <gtest/gtest.h>

#include "services/registry.h"
#include "steps/step_directory.h"
#include "steps/step_registry.h"
#include "unit/shell/shell_test_support.h"

namespace velmora::test {
namespace {

class RegistryRun : public ShellTest {
 protected:
  std::string Value(const std::string& subKey, const std::string& name) {
    return ReadRegistryString(hkey::localMachine, subKey, name, 4096);
  }
};

TEST_F(RegistryRun, InstallWritesTheResolvedValueAndRollbackPutsBackWhatWasThere) {
  // A directory step whose path is C:\Example\ for the prefix.
  CStepDirectory directory;
  directory.JoinRun(&run_);
  directory.SetName("Example");
  directory.SetDefault("C:\\Example");
  ASSERT_EQ(machine_.CreateDirectory("C:\\Example"), FileCause::none);
  ui_.AddRule(DirectoryRule("*", {{DirectoryAction::ok, ""}}));
  const std::string longText(300, 'v');
  WriteRegistryString(hkey::localMachine, "Software\\Example", "Before", "old");
  WriteRegistryString(hkey::localMachine, "Software\\Example", "Long", longText);

  struct Case {
    const char* entry;
    const char* prefix;
    const char* value;
    const char* subKey;
    const char* name;
    const char* written;
    const char* afterRollback;  // what the place holds after Rollback ("" for no value)
  };
  const Case cases[] = {
      {"HKEY_LOCAL_MACHINE\\Software\\Example\\InstallDir", "Example", "", "Software\\Example",
       "InstallDir", "C:\\Example\\", ""},  // did not exist: deleted again
      {"HKEY_LOCAL_MACHINE\\Software\\Example\\Before", "<None>", "abc", "Software\\Example",
       "Before", "abc", "old"},
      {"HKEY_LOCAL_MACHINE\\Software\\Example\\", "<None>", "dflt", "Software\\Example", "", "dflt",
       ""},  // the key's default value
      {"HKEY_LOCAL_MACHINE\\Software\\Example\\Long", "<None>", "short", "Software\\Example",
       "Long", "short", longText.c_str()},  // remembered whole
  };
  for (const Case& c : cases) {
    CStepRegistry step;
    step.JoinRun(&run_);
    step.SetRegEntry(c.entry);
    step.SetDirectory(c.prefix);
    step.SetDefault(c.value);
    EXPECT_EQ(step.Install(), InstallResult::done) << c.entry;
    EXPECT_EQ(Value(c.subKey, c.name), c.written) << c.entry;
    EXPECT_TRUE(step.Rollback()) << c.entry;
    EXPECT_EQ(Value(c.subKey, c.name), c.afterRollback) << c.entry;
  }
}

TEST_F(RegistryRun, AnEntryThatNamesNoValueFailsInstallAndWritesNothing) {
  for (const char* entry : {"HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE\\Value",
                            "hkey_local_machine\\Software\\Example\\V", "HKLM\\Software\\V"}) {
    CStepRegistry step;
    step.SetRegEntry(entry);
    step.SetDefault("x");
    EXPECT_EQ(step.Install(), InstallResult::failed) << entry;
    EXPECT_TRUE(step.Rollback()) << entry;  // nothing was remembered
  }
  std::vector<std::string> subKeys;
  std::vector<RegValue> values;
  machine_.ListRegKey(hkey::localMachine, "Software", subKeys, values);
  for (const std::string& key : subKeys) EXPECT_NE(key, "Example");
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace velmora::test
