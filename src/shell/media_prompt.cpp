// Opening the media files of an installation (SetupWindow::OpenNextMediaFile).
#include "shell/media_files.h"

#include <cstdint>

#include "platform/machine.h"
#include "platform/ui.h"
#include "shell/setup_window.h"

namespace velmora {

std::string MediaPromptFor(bool secondPart, std::uint32_t number) {
  if (secondPart) return "Please insert next media disk";
  return "Please insert media disk " + std::to_string(number);
}

bool SetupWindow::OpenNextMediaFile() {
  if (m_dataFileOpen) {
    // Reading never leaves output to flush, so closing cannot lose data; a
    // close the machine reports as failed still releases the file.
    try {
      m_dataFile.Close();
    } catch (const CFileException&) {
      m_dataFile.Abort();
    }
    m_dataFile.SetCompressed(false);
  }

  ++m_currentDisk;
  const std::string name = MediaFileNameFor(m_secondPart, m_currentDisk);
  while (!m_dataFile.Open(name, CFile::modeRead | CFile::shareDenyWrite)) {
    const int answer = AppMessageBox(MediaPromptFor(m_secondPart, m_currentDisk),
                                     mb::okCancel | mb::iconExclamation);
    if (answer != id::ok) return false;
  }
  m_dataFileOpen = true;
  std::string folder = CurrentMachine().GetCurrentDirectory();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  CurrentUi().Note(RunNote::mediaFile, folder + name);

  try {
    if (!SkipPrefix(m_dataFile)) return false;
  } catch (const CFileException& error) {
    if (error.m_cause == static_cast<int>(FileCause::none)) return true;
    m_dataFile.ReportFileError(&error);
    return false;
  }
  m_dataFile.SetCompressed(true);
  return true;
}

}  // namespace velmora
