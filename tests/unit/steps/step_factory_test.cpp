// Runtime class records, the step registry, the prototypes that make
// classes findable, FindStepClass and the directory registry.
#include <gtest/gtest.h>

#include <memory>

#include "datafile/step_factory.h"
#include "steps/step_directory.h"
#include "steps/step_file_copy.h"
#include "steps/step_file_display_optional.h"
#include "steps/step_pmg.h"
#include "steps/step_prototypes.h"

namespace velmora {
namespace {

TEST(StepClasses, TreeAndRecords) {
  const CRuntimeClass* readme = RUNTIME_CLASS(CStepFileDisplayOptional);
  EXPECT_TRUE(readme->IsDerivedFrom(RUNTIME_CLASS(CStepFile)) && readme->IsDerivedFrom(RUNTIME_CLASS(CStep)));
  EXPECT_FALSE(readme->IsDerivedFrom(RUNTIME_CLASS(CStepIniValue)));
  EXPECT_TRUE(RUNTIME_CLASS(CStepDirectory)->IsDerivedFrom(RUNTIME_CLASS(CStepIniValue)));
  // Created by its record, an object reports that same record.
  std::unique_ptr<CObject> made(RUNTIME_CLASS(CStepFileCopy)->CreateObject());
  ASSERT_NE(dynamic_cast<CStepFileCopy*>(made.get()), nullptr);
  EXPECT_EQ(made->GetRuntimeClass(), RUNTIME_CLASS(CStepFileCopy));
  EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);
}

TEST(StepRegistry, ListsLiveStepsAndExistsOnlyWhileOneLives) {
  ASSERT_EQ(CStep::Registry(), nullptr) << "a step outlived its test";
  ASSERT_EQ(CStep::LiveCount(), 0);
  EXPECT_EQ(FindStepClass("CStepPMG"), nullptr);
  {
    CStepPMG a;
    CStepFileCopy b;
    ASSERT_NE(CStep::Registry(), nullptr);
    EXPECT_EQ(CStep::LiveCount(), 2);
    EXPECT_EQ(*CStep::Registry(), (StepList{&a, &b}));
    // Any live step makes its class findable, prototypes or not.
    std::unique_ptr<CStep> made(FindStepClass("CStepFileCopy"));
    ASSERT_NE(made, nullptr);
    EXPECT_NE(made.get(), &b);
    EXPECT_EQ(CStep::LiveCount(), 3);
    made.reset();
    EXPECT_EQ(*CStep::Registry(), (StepList{&a, &b}));
  }
  EXPECT_EQ(CStep::Registry(), nullptr);
  EXPECT_EQ(CStep::LiveCount(), 0);
}

TEST(StepRegistry, PrototypesMakeExactlyTheAcceptedClassesFindable) {
  {
    StepPrototypes prototypes;
    EXPECT_EQ(CStep::LiveCount(), 9);
    for (const char* name : kAcceptedStepClassNames) {
      std::unique_ptr<CStep> step(FindStepClass(name));
      ASSERT_NE(step, nullptr) << name;
      EXPECT_STREQ(step->GetRuntimeClass()->m_lpszClassName, name);
    }
    for (const char* name : {"CStep", "CStepFile", "CObject", "CStepPmg", ""}) EXPECT_EQ(FindStepClass(name), nullptr) << name;
  }
  EXPECT_EQ(CStep::LiveCount(), 0);
  EXPECT_EQ(FindStepClass("CStepPMG"), nullptr);
}

// A step whose class record creates something that is not a step.
class NotAStep : public CObject {
 public:
  static inline int destroyed = 0;
  ~NotAStep() override { ++destroyed; }
};
CObject* MakeNotAStep() { return new NotAStep; }
const CRuntimeClass kImpostorClass{"CStepImpostor", 1, &MakeNotAStep, RUNTIME_CLASS(CObject)};
class Impostor : public CStep {
 public:
  const CRuntimeClass* GetRuntimeClass() const override { return &kImpostorClass; }
};

TEST(StepRegistry, ClassThatIsNotAStepIsRefusedAndItsObjectDeleted) {
  Impostor impostor;
  NotAStep::destroyed = 0;
  EXPECT_EQ(FindStepClass("CStepImpostor"), nullptr);
  EXPECT_EQ(NotAStep::destroyed, 1);
  EXPECT_EQ(CStep::LiveCount(), 1);
}

TEST(DirectoryRegistry, FindByNameTakesTheFirstExactMatchAmongLiveSteps) {
  EXPECT_EQ(CStepDirectory::FindByName("Main"), nullptr);
  EXPECT_EQ(CStepDirectory::Registry(), nullptr);
  auto first = std::make_unique<CStepDirectory>();
  CStepDirectory second, unnamed;  // the unnamed one is found by no name
  first->SetName("Main");
  second.SetName("Main");
  EXPECT_EQ(CStepDirectory::FindByName("Main"), first.get());
  EXPECT_EQ(CStepDirectory::FindByName("MAIN"), nullptr);
  EXPECT_EQ(CStepDirectory::FindByName(""), nullptr);
  first.reset();
  EXPECT_EQ(CStepDirectory::FindByName("Main"), &second);
  EXPECT_EQ(CStepDirectory::Registry()->size(), 2u);
}

}  // namespace
}  // namespace velmora
