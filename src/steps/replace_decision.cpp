#include "steps/replace_decision.h"

#include <ctime>

#include "dialogs/replace_file_dialog.h"
#include "platform/ui.h"

namespace velmora {

std::uint64_t ReadFileVersion(const std::string& path) {
  std::uint64_t version = 0;
  if (!CurrentMachine().GetFileVersion(path, version)) return 0;
  return version;
}

std::string FormatVersionText(std::uint64_t version) {
  std::string text;
  for (int i = 0; i < 8; ++i) {
    if (i != 0) text += '.';
    text += std::to_string(static_cast<unsigned>(version >> 56));
    version <<= 8;
  }
  return text;
}

std::string FormatFileVersion(const std::string& path) {
  return FormatVersionText(ReadFileVersion(path));
}

std::string FormatFileDate(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  if (static_cast<std::int64_t>(time) != seconds) return "";
  const std::tm* local = std::localtime(&time);
  if (local == nullptr) return "";
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, "%d-%b-%Y %H:%M", local);
  return std::string(text, length);
}

bool DecideReplace(const ReplaceInputs& in) {
  const std::int64_t newDate = in.newModification != 0 ? in.newModification : in.newCreation;
  const std::int64_t existingDate = in.existing.lastWrite;

  if (!in.checkDates && !in.checkVersions) {
    const std::uint64_t newVersion = ReadFileVersion(in.newFilePath);
    const std::uint64_t existingVersion = ReadFileVersion(in.targetPath);
    CReplaceFileDialog dialog;
    dialog.m_existingName = in.targetPath;
    dialog.m_existingDate = FormatFileDate(existingDate);
    dialog.m_existingVersion = FormatVersionText(existingVersion);
    // The new file is named by where it is going, not by its temporary file.
    dialog.m_newName = in.targetPath;
    dialog.m_newDate = FormatFileDate(newDate);
    dialog.m_newVersion = FormatVersionText(newVersion);
    dialog.m_existingIsNewer = newVersion != 0 || existingVersion != 0
                                   ? existingVersion > newVersion
                                   : existingDate > newDate;
    return dialog.DoModal() == id::ok;
  }

  // A newer existing file is kept without the versions being read.
  if (in.checkDates && existingDate > newDate) return false;
  bool sameDate = !in.checkDates || existingDate == newDate;
  bool sameVersion = true;
  if (in.checkVersions) {
    const std::uint64_t newVersion = ReadFileVersion(in.newFilePath);
    const std::uint64_t existingVersion = ReadFileVersion(in.targetPath);
    if (newVersion < existingVersion) return false;
    sameVersion = newVersion == existingVersion;
    // Files without version information are told apart by their dates.
    if (!in.checkDates && newVersion == 0 && existingVersion == 0) {
      if (existingDate > newDate) return false;
      sameDate = existingDate == newDate;
    }
  }
  // Equal in everything compared: nothing to gain by replacing.
  return !(sameDate && sameVersion);
}

}  // namespace velmora
