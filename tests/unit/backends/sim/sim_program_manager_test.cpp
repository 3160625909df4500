// The simulated machine's Program Manager as a DDE server: its replies in
// the shell's forms, the commands it refuses, its faults and its store.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "backends/sim/sim_machine.h"
#include "services/program_manager.h"
#include "shell/program_items.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

// Groups and items together, to see that nothing changed.
std::size_t Entries(const sim::SimProgramManager& manager) {
  std::size_t count = 0;
  for (const sim::ProgramGroup& group : manager.Groups()) count += 1 + group.items.size();
  return count;
}

std::vector<std::string> Reply(const std::string& item) {
  const ProgmanReply reply = ProgmanRequest(item);
  return ProgmanReplyStrings(reply.get());
}

TEST(SimProgramManager, RepliesInTheShellsForms) {
  SimMachine machine{SimOptions{}};
  ScopedMachine scope(machine);
  ASSERT_TRUE(ProgmanAddItem("Tools", "C:\\APPS\\EDIT.EXE", "Editor"));
  ASSERT_TRUE(ProgmanAddItem("tools", "C:\\APPS\\VIEW.EXE", "Viewer"));  // any case: the same group
  EXPECT_EQ(Reply("Groups"),
            (std::vector<std::string>{"Accessories", "Games", "Main", "StartUp", "Tools"}));
  const std::vector<std::string> tools = Reply("TOOLS");
  ASSERT_EQ(tools.size(), 3u);
  EXPECT_EQ(ProgramGroupItemCount(tools[0]), 2u) << tools[0];
  EXPECT_TRUE(tools[0].starts_with("\"Tools\",")) << tools[0];
  ASSERT_TRUE(ProgmanDeleteItem("Tools", "Editor"));
  ASSERT_TRUE(ProgmanDeleteItem("Tools", "Viewer"));
  EXPECT_EQ(ProgramGroupItemCount(Reply("Tools")[0]), 0u);
  EXPECT_TRUE(Reply("Nowhere").empty());
}

TEST(SimProgramManager, RefusesWhatItCannotCarryOut) {
  SimMachine machine{SimOptions{}};
  ScopedMachine scope(machine);
  const std::size_t groups = machine.ProgramManager().Groups().size();
  EXPECT_FALSE(ProgmanDeleteItem("Nowhere", "A"));  // no such group to show
  EXPECT_EQ(machine.ProgramManager().Groups().size(), groups);
  // The refusal was "not processed": tried 11 times, waiting a second between.
  EXPECT_EQ(machine.ProgramManager().Transactions().size(), 11u);
  EXPECT_EQ(machine.ProgramManager().WaitedMs(), 10u * 1000u);
}

// A name that would end its quoted argument early, or break the command's
// line, never reaches the server: the operation fails as a refusal does.
TEST(SimProgramManager, NamesThatWouldBreakACommandAreNeverSent) {
  SimMachine machine{SimOptions{}};
  ScopedMachine scope(machine);
  const std::size_t before = Entries(machine.ProgramManager());
  for (const std::string bad : {"x\")][DeleteGroup(\"Accessories", "Two\r\nLines"}) {
    EXPECT_FALSE(ProgmanAddItem(bad, "C:\\A.EXE", "A")) << bad;
    EXPECT_FALSE(ProgmanAddItem("Tools", bad, "A")) << bad;
    EXPECT_FALSE(ProgmanAddItem("Tools", "C:\\A.EXE", bad)) << bad;
    EXPECT_FALSE(ProgmanDeleteItem(bad, "Notepad")) << bad;
    EXPECT_FALSE(ProgmanDeleteItem("Accessories", bad)) << bad;
    ProgmanDeleteGroup(bad);
  }
  EXPECT_TRUE(machine.ProgramManager().Transactions().empty());
  EXPECT_EQ(Entries(machine.ProgramManager()), before);
}

// A shell that stays busy or never answers ends every operation within its
// budget, without a change to its groups.
TEST(SimProgramManager, AServerThatNeverTakesACommandEndsEachOperation) {
  const std::function<bool()> operations[] = {
      [] { return ProgmanAddItem("Tools", "C:\\A.EXE", "A"); },
      [] { return ProgmanDeleteItem("Accessories", "Notepad"); },
      [] {
        ProgmanDeleteGroup("Games");
        return false;
      },
      [] { return ProgmanRequest("Groups") != nullptr; },
  };
  for (const sim::DdeFault fault : {sim::DdeFault::busy, sim::DdeFault::ackTimeout}) {
    for (const auto& operation : operations) {
      SimMachine machine{SimOptions{}};
      ScopedMachine scope(machine);
      sim::SimProgramManager& manager = machine.ProgramManager();
      const std::size_t before = Entries(manager);
      manager.InjectLastingFault(fault);
      EXPECT_FALSE(operation());
      EXPECT_GE(manager.Transactions().size(), 1u);
      EXPECT_LE(manager.Transactions().size(), static_cast<std::size_t>(kProgmanMaxTries));
      EXPECT_LE(manager.WaitedMs(), kProgmanMaxMs + kProgmanTimeoutMs);
      EXPECT_EQ(Entries(manager), before);
    }
  }
}

TEST(SimProgramManager, FaultsComeInTheOrderInjected) {
  SimMachine machine{SimOptions{}};
  ScopedMachine scope(machine);
  sim::SimProgramManager& manager = machine.ProgramManager();
  manager.InjectFault(sim::DdeFault::noServer);
  EXPECT_FALSE(ProgmanAddItem("Tools", "C:\\A.EXE", "A"));
  EXPECT_TRUE(manager.Transactions().empty());
  manager.InjectFault(sim::DdeFault::busy, 3);
  manager.InjectFault(sim::DdeFault::refused);
  EXPECT_FALSE(ProgmanAddItem("Tools", "C:\\A.EXE", "A"));
  EXPECT_EQ(manager.Transactions().size(), 4u);
  EXPECT_EQ(manager.WaitedMs(), 3000u);
  manager.InjectFault(sim::DdeFault::notProcessed);
  EXPECT_TRUE(ProgmanAddItem("Tools", "C:\\A.EXE", "A"));
}

TEST(SimProgramManager, TheStoreOutlivesTheMachine) {
  testing::TempRoot root{"progman"};
  {
    SimMachine machine{root.path()};
    ScopedMachine scope(machine);
    ASSERT_TRUE(ProgmanAddItem("Tools", "C:\\APPS\\EDIT.EXE", "Editor \\ 1"));
  }
  SimMachine machine{root.path()};
  const std::vector<sim::ProgramGroup> groups = machine.ProgramManager().Groups();
  ASSERT_EQ(groups.back().name, "Tools");
  ASSERT_EQ(groups.back().items.size(), 1u);
  EXPECT_EQ(groups.back().items[0].title, "Editor \\ 1");
  EXPECT_EQ(groups.back().items[0].commandLine, "C:\\APPS\\EDIT.EXE");
}

}  // namespace
}  // namespace velmora
