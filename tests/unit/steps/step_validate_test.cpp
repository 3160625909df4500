// The editing side of the steps: Validate and CanDelete with their messages,
// and the descriptions shown in the progress display.
#include <gtest/gtest.h>

#include "steps/step_directory.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_registry.h"
#include "steps/step_user_value.h"

namespace velmora {
namespace {

// Validates and answers the message ("" = accepted), checking that result
// and message agree and that a stale message is always replaced.
std::string Check(CStep& step, const StepList* steps = nullptr) {
  std::string message = "stale";
  const bool ok = step.Validate(steps, &message);
  EXPECT_EQ(ok, message.empty()) << message;
  return message;
}

TEST(StepValidate, NamesMustBePresentAndUniqueCaseSensitively) {
  CStepDirectory a, b, c;
  CStepRegistry unnamed;  // has no name: neither required nor compared
  for (CStepDirectory* d : {&a, &b, &c}) d->SetQuestion("Where?");
  a.SetName("Main");
  b.SetName("main");
  StepList steps = {&a, &unnamed, &b, &c};
  EXPECT_EQ(Check(c, &steps), "You must enter a value for name");
  c.SetName("Other");
  EXPECT_EQ(Check(a, &steps), "");

  c.SetName("Main");
  EXPECT_EQ(Check(a, &steps), "You have specified a duplicate name, which is not permitted");
  EXPECT_EQ(a.GetName(), "");       // the refused step loses its name...
  EXPECT_EQ(Check(c, &steps), "");  // ...so the other is unique again
  a.SetName("Main");
  EXPECT_TRUE(a.Validate(nullptr, nullptr));  // without a list only emptiness counts
}

TEST(StepValidate, EachKindsOwnChecksInOrder) {
  CStepIniValue ini;
  ini.SetDirectory("");
  EXPECT_EQ(Check(ini), "You must enter a value for the Prefix field");
  ini.SetDirectory("<None>");
  ini.SetIniFile("app.ini");
  ini.SetIniSection("Settings");
  ini.SetIniEntry("Path");
  EXPECT_EQ(Check(ini),
            "You must enter a value for all of the ini fields and the Value or Prefix field");
  ini.SetDirectory("Main");  // a directory alone is a value
  EXPECT_EQ(Check(ini), "");

  CStepDirectory dir;
  dir.SetName("Main");
  dir.SetDirectory("");
  EXPECT_EQ(Check(dir), "You must enter a prefix");
  dir.SetDirectory("Main");
  EXPECT_EQ(Check(dir), "You can't enter this directory as the prefix");
  dir.SetDirectory("<Windows>");
  dir.SetIniFile("app.ini");
  EXPECT_EQ(Check(dir), "You must enter a value for all or none of the ini fields");
  dir.SetIniFile("");
  EXPECT_EQ(Check(dir), "You must enter a Question");

  CStepUserValue user;
  user.SetName("Company");
  user.SetDirectory("Company");
  EXPECT_EQ(Check(user), "You can't enter this directory as the prefix");
  user.SetDirectory("<None>");
  user.SetIniFile("a.ini");
  user.SetIniSection("S");
  EXPECT_EQ(Check(user),
            "You must enter a value for all of the ini fields or enter a value Reg entry");
  user.SetRegEntry("HKEY_CURRENT_USER\\Software\\Company");
  EXPECT_EQ(Check(user), "");

  CStepRegistry reg;
  EXPECT_EQ(Check(reg), "You must enter a value for Reg entry");
  reg.SetRegEntry("HKEY_LOCAL_MACHINE\\Software\\X\\V");
  EXPECT_EQ(Check(reg), "You must enter Reg value");
  reg.SetDefault("1");
  reg.SetDirectory("");
  EXPECT_EQ(Check(reg), "You must enter Prefix value");

  CStepFileCopy a, b;
  CStepFileDisplay text;
  StepList files = {&a, &b, &text};
  EXPECT_EQ(Check(text, &files), "You must enter a value for name");
  a.SetName("APP.EXE");
  b.SetName("APP.EXE");  // file steps are not tested for duplicates
  EXPECT_EQ(Check(a, &files), "You must enter a value for the directory group item");
  a.SetDirectory("Main");
  EXPECT_EQ(Check(a, &files), "");
}

TEST(StepValidate, OnlyOneProgramGroupStep) {
  CStepPMG first, second;
  first.SetName("Group");
  StepList steps = {&first};
  EXPECT_EQ(Check(first, &steps), "");
  steps.push_back(&second);
  EXPECT_EQ(Check(first, &steps),
            "You already have a Program Manager's Group, only one is permitted");
}

TEST(StepValidate, DirectoryInUseCannotBeDeleted) {
  CStepDirectory main, other;
  CStepFileCopy file;
  main.SetName("Main");
  other.SetDirectory("Main");  // a directory step may refer to another
  StepList steps = {&main, &other, &file};
  std::string message = "stale";
  EXPECT_FALSE(main.CanDelete(&steps, &message));
  EXPECT_EQ(message, "This directory is in use and cannot be deleted");
  other.SetDirectory("<None>");
  EXPECT_TRUE(main.CanDelete(&steps, &message));
  EXPECT_EQ(message, "");
  // An unnamed directory is not "referenced" by steps with an empty prefix.
  file.SetDirectory("");
  EXPECT_TRUE(other.CanDelete(&steps, &message));
  // Other kinds can always be deleted and leave the message alone.
  message = "untouched";
  EXPECT_TRUE(file.CanDelete(&steps, &message));
  EXPECT_EQ(message, "untouched");
}

TEST(StepDescription, EachKindDescribesItself) {
  CStepIniValue ini;
  ini.SetIniSection("Settings");
  EXPECT_EQ(ini.GetDescription(), "Ini value");  // no entry: the kind name alone
  ini.SetIniEntry("Path");
  EXPECT_EQ(ini.GetDescription(), "Ini value: [Settings]Path");
  CStepUserValue user;
  user.SetName("Company");
  EXPECT_EQ(user.GetDescription(), "User value: Company");
  CStepRegistry reg;
  EXPECT_EQ(reg.GetDescription(), "Registry entry");
  CStepPMG pmg;
  pmg.SetName("Demo");
  EXPECT_EQ(pmg.GetDescription(), "Program Group: Demo");
  CStepFileDisplayOptional readme;
  EXPECT_EQ(readme.GetDescription(), "Readme text");

  // File steps show the name after its last "\" or ":".
  CStepFileCopy copy;
  const std::pair<const char*, const char*> names[] = {
      {"C:\\src\\readme.txt", "File for installation: readme.txt"},
      {"A:readme", "File for installation: readme"},
      {"plain.txt", "File for installation: plain.txt"},
      {"a:b\\c:d", "File for installation: d"}};
  for (const auto& [name, shown] : names) {
    copy.SetName(name);
    EXPECT_EQ(copy.GetDescription(), shown);
  }

  reg.SetRegEntry(std::string(400, 'k'));  // a description line holds 255
  EXPECT_EQ(reg.GetDescription(), "Registry entry: " + std::string(255 - 16, 'k'));
}

TEST(StepDescription, AgreementQuestionKeepsItsDoubleSpaces) {
  CStepFileDisplay agreement;
  EXPECT_EQ(
      agreement.GetQuestion(),
      "Please read the agreement.  Only if you agree to the terms and conditions in full may you "
      "continue with the installation.  Installing this product indicates agreement in full with "
      "the "
      "terms and conditions.  If you do not agree with the terms and conditions, press the \"I do "
      "not "
      "accept\" button to quit the installation.");
}

}  // namespace
}  // namespace velmora
