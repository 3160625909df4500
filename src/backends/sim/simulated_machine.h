// What programs outside the sim see of the simulated machine: a Windows
// machine in a host folder whose drives can be mounted onto other host
// folders.  The whole class, with its controls for tests, is SimMachine
// (sim_machine.h), which only the sim and its tests include.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "backends/sim/sim_program_groups.h"
#include "platform/machine.h"

namespace velmora {

class SimulatedMachine : public Machine {
 public:
  enum class MountAccess { readWrite, writeProtected };

  // Maps a drive letter onto an existing host folder.  Throws
  // std::invalid_argument for a bad letter or a folder that is not there.
  // A write-protected drive refuses every change (accessDenied, as Windows
  // answers ERROR_WRITE_PROTECT) and so never writes to the host folder.
  virtual void Mount(char letter, const std::filesystem::path& hostFolder, MountAccess access) = 0;
  // What GetDriveType answers for a letter.  A removable, CD-ROM, remote or
  // RAM drive without a folder is an empty drive: listed by
  // GetLogicalDrives, "not ready" (hardIO) for every file operation.
  // noRootDir hides a drive.
  virtual void SetDriveType(char letter, DriveType type) = 0;
  // The host folder that holds the drives and the machine's own state.
  virtual const std::filesystem::path& Root() const = 0;
  // The groups and items of its Program Manager.
  virtual std::vector<sim::ProgramGroup> ProgramGroups() const = 0;
};

// A machine whose drives are the lettered folders of root.  Creates root,
// ROOT/C and the Windows, system and current directories when missing.
// Throws std::runtime_error when the root cannot be set up.
std::unique_ptr<SimulatedMachine> MakeSimulatedMachine(const std::filesystem::path& root);

}  // namespace velmora
