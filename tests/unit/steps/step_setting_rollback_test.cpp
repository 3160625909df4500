// The four steps that write a setting (registry, ini value, directory, user
// value) on a simulated machine: a roll-back puts back exactly what each
// place held, a place that cannot be read or written fails the step (the
// directory step's remembered location excepted), and a value that does not
// fit is refused.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "services/registry.h"
#include "steps/step_directory.h"
#include "steps/step_ini_value.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"
#include "unit/steps/step_test_support.h"
#include "unit/support/step_builders.h"

namespace velmora::test {
namespace {

constexpr const char* kKey = "Software\\Lantern";
constexpr const char* kRegEntry = "HKEY_LOCAL_MACHINE\\Software\\Lantern\\Value";
constexpr const char* kIniFile = "LANTERN.INI";
constexpr const char* kIniPath = "C:\\WINDOWS\\LANTERN.INI";
constexpr const char* kChosen = "C:\\Chosen\\";  // what the directory question is answered
constexpr const char* kTyped = "Cal";            // what the user value question is answered

struct Kind {
  const char* name;
  std::function<std::unique_ptr<CStep>()> make;
  bool registry, ini;   // the places it writes
  const char* written;  // what it writes there
};

const Kind kKinds[] = {
    {"registry", [] { return RegistryStep({.value = "new", .regEntry = kRegEntry}).step; }, true,
     false, "new"},
    {"ini value",
     [] {
       return IniValueStep({.value = "new",
                            .iniFile = kIniFile,
                            .iniSection = "Section",
                            .iniEntry = "Entry"})
           .step;
     },
     false, true, "new"},
    {"directory",
     [] {
       return DirectoryStep({.name = "Main",
                             .question = "Where?",
                             .value = "new",
                             .iniFile = kIniFile,
                             .iniSection = "Section",
                             .iniEntry = "Entry",
                             .regEntry = kRegEntry})
           .step;
     },
     true, true, kChosen},
    {"user value",
     [] {
       return UserValueStep({.name = "Owner",
                             .value = "new",
                             .iniFile = kIniFile,
                             .iniSection = "Section",
                             .iniEntry = "Entry",
                             .regEntry = kRegEntry})
           .step;
     },
     true, true, kTyped},
};

// What a place holds before the step runs: nullopt is no value (or no
// entry); a registry value is its type and bytes.
struct Held {
  std::uint32_t type;
  std::string bytes;
};
struct Previous {
  const char* name;
  bool key;  // the registry key exists
  std::optional<Held> registry;
  bool file;  // the ini file exists
  std::optional<std::string> ini;
};

const std::string kLong(449, 'L');
const Previous kPrevious[] = {
    {"nothing at all", false, std::nullopt, false, std::nullopt},
    {"no value or entry", true, std::nullopt, true, std::nullopt},
    {"empty text", true, Held{regtype::sz, std::string(1, '\0')}, true, ""},
    {"short text", true, Held{regtype::sz, std::string("C:\\Old", 7)}, true, "C:\\Old"},
    {"449 characters", true, Held{regtype::sz, kLong + '\0'}, true, kLong},
    {"DWORD", true, Held{regtype::dword, std::string("\x07\0\0\0", 4)}, true, "7"},
    {"binary", true, Held{regtype::binary, std::string("\x00\x01\xFF\x00", 4)}, true, ""},
    {"expandable", true, Held{regtype::expandSz, std::string("%WINDIR%", 9)}, true, "x"},
};

class SettingRollback : public StepTest {
 protected:
  SettingRollback() {
    EXPECT_EQ(machine_.CreateDirectory(kChosen), FileCause::none);
    AnswerRule directory;
    directory.kind = TranscriptKind::directory;
    directory.pattern = "*";
    directory.actions = {{DirectoryAction::type, kChosen}};
    ui_.AddRule(directory);
    AnswerRule user;
    user.kind = TranscriptKind::user;
    user.pattern = "*";
    user.userActions = {{UserValueAction::type, kTyped}, {UserValueAction::ok, ""}};
    ui_.AddRule(user);
  }

  void Prepare(const Previous& previous) {
    machine_.DeleteRegKey(hkey::localMachine, kKey);
    machine_.SetFileAttributes(kIniPath, attr::normal);
    machine_.DeleteFile(kIniPath);
    if (previous.key) {
      ASSERT_TRUE(WriteRegistryString(hkey::localMachine, kKey, "Other", "x"));
    }
    if (previous.registry) {
      const Held& held = *previous.registry;
      ASSERT_EQ(
          machine_.SetRegValue(hkey::localMachine, kKey, "Value", held.type, held.bytes.data(),
                               static_cast<std::uint32_t>(held.bytes.size())),
          winerror::success);
    }
    if (previous.file) {
      ASSERT_EQ(machine_.SetProfileString(kIniFile, "Section", "Other", "x"), FileCause::none);
    }
    if (previous.ini) {
      ASSERT_EQ(machine_.SetProfileString(kIniFile, "Section", "Entry", *previous.ini),
                FileCause::none);
    }
    ui_.ClearTranscript();
  }

  // The places as compared: "-" for no value or entry.
  std::string RegistryPlace() {
    RegData data;
    if (machine_.QueryRegValue(hkey::localMachine, kKey, "Value", 1 << 16, data) !=
        winerror::success)
      return "reg -";
    return "reg " + std::to_string(data.type) + ":" +
           std::string(data.bytes.begin(), data.bytes.end());
  }
  std::string IniPlace() {
    const std::string missing(1, '\x01');
    const std::string ini =
        machine_.QueryProfileString(kIniFile, "Section", "Entry", missing, 1 << 16);
    return "ini " + (ini == missing ? "-" : ini);
  }
  std::string Places() { return RegistryPlace() + " | " + IniPlace(); }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TranscriptEntry& entry : ui_.Transcript())
      if (entry.kind == TranscriptKind::message) texts.push_back(entry.text);
    return texts;
  }

  // What the places hold once the step wrote the places it writes to;
  // the others hold what they held before.
  static std::string Written(const Kind& kind, const std::string& registryBefore,
                             const std::string& iniBefore, bool registry = true, bool ini = true) {
    const std::string value = kind.written;
    return (kind.registry && registry ? "reg 1:" + value + '\0' : registryBefore) + " | " +
           (kind.ini && ini ? "ini " + value : iniBefore);
  }
};

TEST_F(SettingRollback, RollbackPutsBackExactlyWhatEachPlaceHeldOnceOnly) {
  for (const Kind& kind : kKinds) {
    for (const Previous& previous : kPrevious) {
      SCOPED_TRACE(std::string(kind.name) + ", before: " + previous.name);
      Prepare(previous);
      const std::string registryBefore = RegistryPlace(), iniBefore = IniPlace();
      const std::string before = Places();
      std::unique_ptr<CStep> step = kind.make();
      EXPECT_TRUE(step->Rollback());  // nothing written yet: nothing to undo
      ASSERT_EQ(step->Install(), InstallResult::done);
      EXPECT_EQ(Places(), Written(kind, registryBefore, iniBefore));
      EXPECT_TRUE(step->Rollback());
      EXPECT_EQ(Places(), before);
      // A second roll-back changes nothing, even where the places changed since.
      ASSERT_TRUE(WriteRegistryString(hkey::localMachine, kKey, "Value", "later"));
      ASSERT_EQ(machine_.SetProfileString(kIniFile, "Section", "Entry", "later"), FileCause::none);
      const std::string later = Places();
      EXPECT_TRUE(step->Rollback());
      EXPECT_EQ(Places(), later);
      EXPECT_TRUE(Messages().empty());
    }
  }
}

enum class Fault { readRegistry, writeRegistry, writeIni };

TEST_F(SettingRollback, APlaceThatCannotBeReadOrWrittenFailsTheStepAndChangesNothing) {
  const std::string cannotRead = std::string("Unable to read registry value ") + kRegEntry + ".";
  const std::string cannotWrite = std::string("Unable to write registry value ") + kRegEntry + ".";
  const std::string cannotWriteIni = "Unable to write Entry to LANTERN.INI.";
  struct Case {
    int kind;  // index into kKinds
    Fault fault;
    InstallResult result;
    std::string message;  // "" for none
    std::string reason;   // the step's FailureReason
  };
  const std::string ioFailed = std::string("Registry I/O Failed: ") + kRegEntry;
  const std::string denied = std::string("Access Denied: ") + kRegEntry;
  const std::string iniDenied = std::string("Access Denied: ") + kIniFile;
  const Case cases[] = {
      {0, Fault::readRegistry, InstallResult::failed, cannotRead, ioFailed},
      {0, Fault::writeRegistry, InstallResult::failed, cannotWrite, denied},
      {1, Fault::writeIni, InstallResult::failed, cannotWriteIni, iniDenied},
      {3, Fault::readRegistry, InstallResult::failed, cannotRead, ioFailed},
      {3, Fault::writeRegistry, InstallResult::failed, cannotWrite, denied},
      {3, Fault::writeIni, InstallResult::failed, cannotWriteIni,
       iniDenied},  // the registry value written is undone
      // The remembered location is a suggestion only: the choice stands.
      {2, Fault::readRegistry, InstallResult::done, "", ""},
      {2, Fault::writeRegistry, InstallResult::done, "", ""},
      {2, Fault::writeIni, InstallResult::done, "", ""},
  };
  for (const Case& c : cases) {
    const Kind& kind = kKinds[c.kind];
    SCOPED_TRACE(std::string(kind.name) + ", fault " + std::to_string(static_cast<int>(c.fault)));
    Prepare(kPrevious[3]);
    const std::string registryBefore = RegistryPlace(), iniBefore = IniPlace();
    const std::string before = Places();
    switch (c.fault) {
      case Fault::readRegistry:
        machine_.Registry().InjectFault("QueryRegValue", 1, winerror::registryIoFailed);
        break;
      case Fault::writeRegistry:
        machine_.Registry().InjectFault("SetRegValue", 1, winerror::accessDenied);
        break;
      case Fault::writeIni:
        ASSERT_EQ(machine_.SetFileAttributes(kIniPath, attr::readOnly), FileCause::none);
        break;
    }
    std::unique_ptr<CStep> step = kind.make();
    EXPECT_EQ(step->Install(), c.result);
    EXPECT_EQ(step->FailureReason(), c.reason);
    machine_.Registry().ClearFaults();
    const std::vector<std::string> messages = Messages();
    if (c.message.empty()) {
      EXPECT_TRUE(messages.empty());
      // Only the place that failed keeps what it held.
      const bool iniFailed = c.fault == Fault::writeIni;
      EXPECT_EQ(Places(), Written(kind, registryBefore, iniBefore, iniFailed, !iniFailed));
    } else {
      EXPECT_EQ(messages, std::vector<std::string>{c.message});
      EXPECT_EQ(ui_.Transcript().back().style, mb::ok | mb::iconExclamation);
      EXPECT_EQ(Places(), before);
    }
    step->Rollback();
    EXPECT_EQ(Places(), before);
  }
}

TEST_F(SettingRollback, AJoinedValueThatDoesNotFitFailsTheStepAndWritesNothing) {
  const std::string tooLong = ": the value is longer than 259 characters.";
  const std::string expected[] = {
      std::string("Unable to write registry value ") + kRegEntry + tooLong,
      "Unable to write Entry to LANTERN.INI" + tooLong,
      "The location suggested for Main is longer than 259 characters.",
      "The value suggested for Owner is longer than 259 characters.",
  };
  const std::string reasons[] = {
      std::string("the value is longer than 259 characters: ") + kRegEntry,
      "the value is longer than 259 characters: LANTERN.INI",
      "the value is longer than 259 characters: the suggested location",
      "the value is longer than 259 characters: the suggested value",
  };
  for (std::size_t k = 0; k < std::size(kKinds); ++k) {
    SCOPED_TRACE(kKinds[k].name);
    Prepare(kPrevious[0]);  // nothing remembered, so the prefix stands
    std::unique_ptr<CStep> step = kKinds[k].make();
    step->SetDirectory("<Windows>");
    step->SetDefault(std::string(249, 'v'));  // C:\WINDOWS\ and 249: one too many
    EXPECT_EQ(step->Install(), InstallResult::failed);
    EXPECT_EQ(Messages(), std::vector<std::string>{expected[k]});
    EXPECT_EQ(step->FailureReason(), reasons[k]);
    EXPECT_EQ(ui_.Transcript().size(), 1u);  // no question asked
    EXPECT_EQ(Places(), "reg - | ini -");
  }
}

}  // namespace
}  // namespace velmora::test
