// What an installation registers for its uninstallation: the uninstaller
// copy of every part, the log and the uninstall entry.  Each is made while
// the installation can still be rolled back, and what it replaced (an
// earlier installation's uninstaller, log and entry values) waits until the
// outcome is known: Restore puts it back, Commit lets it go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "steps/saved_setting.h"
#include "steps/step.h"
#include "steps/uninstall_log.h"

namespace velmora {

// What the uninstall entry says of the product beside its name and commands:
// the values the system's list of installed programs and deployment tools
// read.  An empty text or a size of 0 is left out of the entry.
struct ProductEntry {
  std::string version;          // "DisplayVersion"
  std::string publisher;        // "Publisher"
  std::string url;              // "URLInfoAbout"
  std::string installLocation;  // "InstallLocation": the first chosen directory
  std::uint32_t sizeKb = 0;     // "EstimatedSize": what the files take, in KB
  std::string installDate;      // "InstallDate": YYYYMMDD
};

// Today's local date as "InstallDate" holds it.
std::string InstallDateToday();

class UninstallerRegistration {
 public:
  // Copies the running program (open as `programImage`) to the uninstaller's
  // path of `title`.  An uninstaller already there (an earlier
  // installation's) is kept aside until the outcome is known.
  bool CreateUninstaller(FileHandle programImage, const std::string& title);
  // The uninstaller made last; "" before the first.
  const std::string& UninstallerPath() const { return exePath_; }

  // Writes the log (through a temporary file; the log of an earlier
  // installation waits aside) and the uninstall entry of `title`: its name,
  // the commands, the uninstaller as its icon, "NoModify" and "NoRepair",
  // and what `product` gives.  A value an earlier entry held that this one
  // does not give is deleted.  On failure it shows which of the two could
  // not be written.
  bool Write(const std::string& title, const StepList& logged, const LogAdditions& additions,
             const ProductEntry& product);

  // A failed installation: the earlier log and entry as they were, and the
  // earlier uninstallers in place of the copies.
  void RestoreRegistration();
  void RestoreUninstallers();
  // A successful one: what was kept aside goes.
  void Commit();

 private:
  // An uninstaller this installation made, and the earlier one it replaced.
  struct UninstallerCopy {
    std::string path;
    std::string keptAside;  // "" when there was none or it could not be kept
    std::uint32_t keptAttributes = 0;
    bool deletionCancelled = false;  // a deletion at the next start was waiting for the path
  };

  std::string exePath_;
  std::vector<UninstallerCopy> uninstallers_;
  std::string title_;
  bool logWritten_ = false;
  std::string earlierLogAside_;
  bool entryWritten_ = false;
  bool entryExisted_ = false;                    // an earlier installation's entry was there
  std::vector<SavedRegistryValue> entryValues_;  // what each value held before
};

}  // namespace velmora
