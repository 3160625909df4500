// The products installed on the machine, as their uninstall entries and
// logs describe them, and what the running installation or uninstallation
// learns from them: which files and program items the product itself and
// the other products hold, who created a program group, and what
// identifies the file a product left at a target.
//
// An installation asks this before it decides that a file it found is not
// its own (a reinstall keeps owning what its earlier log holds) and before
// it counts a shared file again; an uninstallation asks it before it
// deletes a file, an item or a group another product still holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "steps/uninstall_log.h"

namespace velmora {

// The key below HKEY_LOCAL_MACHINE that holds one subkey per installed
// product, named by its title.
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The product's uninstall entry below HKEY_LOCAL_MACHINE.
std::string UninstallKeyFor(const std::string& title);

// A command line taken apart as the shell starts it: the program is the
// text inside the leading double quotes, or else the text up to the first
// blank; the arguments are the rest after the blanks that follow it.
struct CommandLine {
  std::string program;
  std::string arguments;
};
CommandLine SplitCommandLine(const std::string& commandLine);

// The uninstall log named by the uninstaller's arguments: all of them, less
// surrounding blanks and one pair of surrounding double quotes.
std::string UninstallLogPathFromArguments(const std::string& arguments);

// The title of a step's program item: its icon name, or else its name.
std::string ProgramItemTitle(const CStep& step);

// The target path of a logged file entry ("" for other entries).
std::string LogEntryTarget(const CStep& step);

// A product's log, as read for the others.
struct ProductLog {
  std::string title;
  std::string path;
  UninstallLogListing listing;
};

class InstalledProducts {
 public:
  // Reads the uninstall entries and the logs they name.  `ownTitle`'s log
  // is the product's own (for an installation, the earlier installation of
  // the same title); every other readable log is another product's.  A log
  // that is not one this program reads is left out: it claims nothing.
  // False when an entry or a log is there but cannot be read: what it
  // holds is unknown, and the run must not guess.
  bool Load(const std::string& ownTitle);
  // Sets the product's own log (an uninstallation has read it already).
  void SetOwn(const std::string& title, const std::string& path, UninstallLogListing listing);

  const std::string& OwnTitle() const { return ownTitle_; }
  // The own log's entries for targets and its additions; null when there is none.
  const UninstallLogListing* Own() const { return own_ ? &own_->listing : nullptr; }

  // The own log holds the target (as a shared file when `shared` is set).
  bool OwnHolds(const std::string& target, bool sharedOnly = false) const;
  // Another product's log holds the target.
  bool OtherHolds(const std::string& target) const;
  // Another product's log holds a program item of that title in that group.
  bool OtherHoldsItem(const std::string& group, const std::string& title) const;
  // The title that created the group, as the logs that name the group say
  // ("" when none says).
  std::string GroupCreator(const std::string& group) const;
  // The product has an uninstall entry.
  static bool IsInstalled(const std::string& title);

  // The own log's record of the file left at the target; null without one.
  const LogFileRecord* OwnRecord(const std::string& target) const;

  // The file at `target` is left for another product that holds it, and is
  // what this product wrote there: each such product's record of it is set
  // to `record`, so that its uninstaller knows the file as its own.
  // False when a log that needed the update could not be written.
  bool HandOver(const LogFileRecord& record);

  // The own log, dropped (an installation reads the earlier log once).
  const std::vector<ProductLog>& Others() const { return others_; }

 private:
  std::string ownTitle_;
  std::optional<ProductLog> own_;
  std::vector<ProductLog> others_;
};

// What identifies the file at a path now; nullopt when there is none.
std::optional<LogFileRecord> CurrentFileRecord(const std::string& target);

// Writes `listing`'s additions into the log at `path`, keeping its title
// and entries byte for byte; the new log replaces the old one only once it
// is complete.
bool RewriteLogAdditions(const std::string& path, const UninstallLogListing& listing);

}  // namespace velmora
