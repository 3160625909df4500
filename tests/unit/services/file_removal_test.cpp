// Removing a file that may be in use: what is deleted at once, what is left
// to the system's next start, and that what is left never takes a file
// placed at the same path in the meantime.
#include "services/file_removal.h"

#include <gtest/gtest.h>

#include <vector>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

constexpr const char* kPath = "C:\\APP\\APP.EXE";

enum class Hold { none, runningImage, plainOpen };

struct Case {
  const char* what;
  Hold hold;
  const char* failing;  // a machine operation whose first call fails, or null
  Removal result;
  bool pathFree;             // nothing at the path once the call returns
  const char* afterRestart;  // at the path after the system's next start
  bool usersWrite = false;   // the folder is one users may change
};

TEST(RemoveFileNowOrAtRestart, WhatIsLeftToTheRestartNeverTakesAFilePlacedAtThePathSince) {
  if (!testing::kHostRenamesOpenFiles) GTEST_SKIP() << testing::kNoRenameOfOpenFiles;
  const std::string missing = testing::Bracketed(FileCause::fileNotFound);
  const Case cases[] = {
      {"not in use: deleted at once", Hold::none, nullptr, Removal::removed, true, "new"},
      {"a running program: moved aside, that name left to the restart", Hold::runningImage, nullptr,
       Removal::atRestart, true, "new"},
      {"open without delete sharing: cannot move, its own name left", Hold::plainOpen, nullptr,
       Removal::atRestart, false, missing.c_str()},
      {"the new name cannot be left to the restart: moved back, its own name left",
       Hold::runningImage, "DeleteFileAtRestart", Removal::atRestart, false, missing.c_str()},
      {"in a folder users may change nothing is left to the restart", Hold::runningImage, nullptr,
       Removal::failed, false, "old", true},
  };
  for (const Case& c : cases) {
    testing::TempRoot root;
    SimMachine machine(root.path());
    ScopedMachine scope(machine);
    ASSERT_EQ(c.usersWrite ? machine.CreateDirectory("C:\\APP")
                           : machine.CreateProtectedDirectory("C:\\APP"),
              FileCause::none);
    ASSERT_EQ(testing::PutFile(machine, kPath, "old"), FileCause::none);
    FileHandle held = kNoFile;
    if (c.hold == Hold::runningImage) {
      ASSERT_EQ(machine.OpenRunningImage(kPath, held), FileCause::none);
    } else if (c.hold == Hold::plainOpen) {
      ASSERT_EQ(machine.OpenFile(kPath, FileAccess::read, FileShare::denyWrite,
                                 FileDisposition::openExisting, held),
                FileCause::none);
    }
    if (c.failing != nullptr) machine.InjectFault(c.failing, 1, FileCause::accessDenied);

    EXPECT_EQ(RemoveFileNowOrAtRestart(kPath), c.result) << c.what;
    std::uint32_t attributes = 0;
    EXPECT_EQ(machine.GetFileAttributes(kPath, attributes) == FileCause::fileNotFound, c.pathFree)
        << c.what;
    // The product installed again before the restart.
    if (c.pathFree) {
      ASSERT_EQ(testing::PutFile(machine, kPath, "new"), FileCause::none);
    }
    machine.Restart();
    EXPECT_EQ(testing::GetFile(machine, kPath), c.afterRestart) << c.what;
    // Nothing else is left in the directory.
    std::vector<DirEntry> entries;
    ASSERT_EQ(machine.ListDirectory("C:\\APP", entries), FileCause::none);
    EXPECT_EQ(entries.size(), c.afterRestart == missing ? 0u : 1u) << c.what;
  }
}

}  // namespace
}  // namespace velmora
