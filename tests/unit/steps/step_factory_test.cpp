// Runtime class records, the table of step classes, FindStepClass and the
// directory registry.
#include "steps/step_factory.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "steps/run_context.h"
#include "steps/step_classes.h"
#include "steps/step_directory.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"

namespace velmora {
namespace {

TEST(StepClasses, TreeAndRecords) {
  const CRuntimeClass* readme = RUNTIME_CLASS(CStepFileDisplayOptional);
  EXPECT_TRUE(readme->IsDerivedFrom(RUNTIME_CLASS(CStepFile)) &&
              readme->IsDerivedFrom(RUNTIME_CLASS(CStep)));
  EXPECT_FALSE(readme->IsDerivedFrom(RUNTIME_CLASS(CStepIniValue)));
  EXPECT_TRUE(RUNTIME_CLASS(CStepDirectory)->IsDerivedFrom(RUNTIME_CLASS(CStepIniValue)));
  // Created by its record, an object reports that same record.
  std::unique_ptr<CObject> made(RUNTIME_CLASS(CStepFileCopy)->CreateObject());
  ASSERT_NE(dynamic_cast<CStepFileCopy*>(made.get()), nullptr);
  EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CStepFileCopy));
  EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);
}

TEST(StepClassTable, NamesAreUniqueAndRecordsDescendFromCStep) {
  std::set<std::string> names;
  for (const StepClass& row : StepClasses()) {
    EXPECT_TRUE(row.record->IsDerivedFrom(RUNTIME_CLASS(CStep))) << row.ClassName();
    EXPECT_TRUE(names.insert(row.ClassName()).second) << row.ClassName();
    EXPECT_TRUE(names.insert(row.shortName).second) << row.shortName;
  }
  EXPECT_EQ(StepClasses().size(), 9u);
}

TEST(FindStepClass, MakesEachAcceptedClassWithNoStepAlive) {
  for (const StepClass& row : StepClasses()) {
    const char* name = row.ClassName();
    std::unique_ptr<CStep> step(FindStepClass(name));
    ASSERT_NE(step, nullptr) << name;
    EXPECT_STREQ(step->GetRuntimeClass()->m_lpszClassName, name);
    // Each call makes a new object.
    std::unique_ptr<CStep> again(FindStepClass(name));
    ASSERT_NE(again, nullptr) << name;
    EXPECT_NE(again.get(), step.get());
  }
}

// A step whose class record creates something that is not a step.
class NotAStep : public CObject {
 public:
  static inline int created = 0;
  NotAStep() { ++created; }
};
CObject* MakeNotAStep() { return new NotAStep; }
const CRuntimeClass kImpostorClass{"CStepImpostor", &MakeNotAStep, RUNTIME_CLASS(CObject)};
class Impostor : public CStep {
 public:
  const CRuntimeClass* GetRuntimeClass() const override { return &kImpostorClass; }
};

TEST(FindStepClass, RefusesEveryOtherNameWhateverStepsAreAlive) {
  // Live objects of the base kinds, and of a class outside the table, do
  // not make their classes findable.
  CStep base;
  CStepFile file;
  Impostor impostor;
  NotAStep::created = 0;
  for (const char* name : {"CStep", "CStepFile", "CObject", "CStepImpostor", "CStepPmg",
                           "cstepfilecopy", "CStepFileCopy ", ""})
    EXPECT_EQ(FindStepClass(name), nullptr) << '"' << name << '"';
  EXPECT_EQ(NotAStep::created, 0);
}

// A run finds its own directory steps only: the first that joined with the
// exact name, until it is destroyed or leaves.
TEST(RunContextLookup, FindsTheFirstExactMatchAmongItsOwnDirectorySteps) {
  RunContext run, other;
  auto first = std::make_unique<CStepDirectory>();
  CStepDirectory second, unnamed, elsewhere, alone;  // the unnamed one is found by no name
  for (CStepDirectory* step : {first.get(), &second, &elsewhere, &alone}) step->SetName("Main");
  alone.SetName("Alone");
  for (CStepDirectory* step : {first.get(), &second, &unnamed}) step->JoinRun(&run);
  elsewhere.JoinRun(&other);
  EXPECT_EQ(run.FindDirectory("Main"), first.get());
  EXPECT_EQ(run.FindDirectory("MAIN"), nullptr);
  EXPECT_EQ(run.FindDirectory(""), nullptr);
  EXPECT_EQ(run.FindDirectory("Alone"), nullptr);  // joined no run
  first.reset();
  EXPECT_EQ(run.FindDirectory("Main"), &second);
  second.JoinRun(&other);  // leaves the first run
  EXPECT_EQ(run.FindDirectory("Main"), nullptr);
  EXPECT_EQ(other.FindDirectory("Main"), &elsewhere);
  EXPECT_EQ(run.Directories().size(), 1u);
  EXPECT_EQ(other.Directories().size(), 2u);
}

}  // namespace
}  // namespace velmora
