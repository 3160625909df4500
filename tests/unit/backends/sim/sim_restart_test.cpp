// The simulated machine's restart: the pending renames value carried out
// as Windows carries it out at its next start.
#include <gtest/gtest.h>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

using namespace std::string_literals;
using testing::GetFile;
using testing::PutFile;

TEST(SimRestart, CarriesOutThePendingOperationsInOrderAndClearsThem) {
  testing::TempRoot root;
  SimMachine machine(root.path());
  for (const char* name : {"GONE", "HELD", "LOCKED", "A", "C", "D", "E", "F"})
    ASSERT_EQ(PutFile(machine, std::string("C:\\") + name + ".TXT", name), FileCause::none);
  ASSERT_EQ(machine.SetFileAttributes("C:\\LOCKED.TXT", attr::readOnly), FileCause::none);
  ASSERT_EQ(machine.CreateDirectory("C:\\EMPTY"), FileCause::none);
  // Renames as pairs of source and target; "!" replaces what is there.
  const std::string pairs = "\\??\\C:\\A.TXT\0\\??\\C:\\B.TXT\0"s +
                            "\\??\\C:\\C.TXT\0!\\??\\C:\\D.TXT\0"s +
                            "\\??\\C:\\E.TXT\0\\??\\C:\\F.TXT\0\0"s;
  ASSERT_EQ(
      machine.SetRegValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue,
                          regtype::multiSz, pairs.data(), static_cast<std::uint32_t>(pairs.size())),
      winerror::success);
  FileHandle held = kNoFile;
  ASSERT_EQ(machine.OpenFile("C:\\HELD.TXT", FileAccess::read, FileShare::denyWrite,
                             FileDisposition::openExisting, held),
            FileCause::none);
  for (const char* path : {"C:\\GONE.TXT", "C:\\HELD.TXT", "C:\\LOCKED.TXT", "C:\\EMPTY"})
    ASSERT_EQ(machine.DeleteFileAtRestart(path), FileCause::none) << path;
  machine.InjectFault("DeleteFile", 1, FileCause::hardIO);
  const auto calls = machine.OperationCalls();

  machine.Restart();
  // The restart's own work neither meets a program's fault nor counts.
  EXPECT_EQ(machine.PendingFaults(), 1u);
  EXPECT_EQ(machine.OperationCalls(), calls);

  const std::string missing = testing::Bracketed(FileCause::fileNotFound);
  const std::pair<const char*, std::string> expected[] = {
      {"C:\\GONE.TXT", missing},    {"C:\\HELD.TXT", missing},  // no handle outlives the restart
      {"C:\\LOCKED.TXT", "LOCKED"},                             // a read-only file is not deleted
      {"C:\\A.TXT", missing},       {"C:\\B.TXT", "A"},        {"C:\\C.TXT", missing},
      {"C:\\D.TXT", "C"},           {"C:\\E.TXT", "E"},  // without "!" the file at the target stays
      {"C:\\F.TXT", "F"},
  };
  for (const auto& [path, bytes] : expected) EXPECT_EQ(GetFile(machine, path), bytes) << path;
  std::uint32_t attributes = 0;
  EXPECT_EQ(machine.GetFileAttributes("C:\\EMPTY", attributes), FileCause::fileNotFound);
  EXPECT_EQ(machine.OpenFileCount(), 0u);
  std::uint64_t size = 0;
  EXPECT_EQ(machine.GetFileSize(held, size), FileCause::invalidFile);
  RegData data;
  EXPECT_EQ(machine.QueryRegValue(hkey::localMachine, kPendingRenamesKey, kPendingRenamesValue,
                                  4096, data),
            winerror::fileNotFound);
}

}  // namespace
}  // namespace velmora
