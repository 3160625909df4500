// Opening the media files of an installation (SetupWindow::OpenNextMediaFile).
#include "shell/media_files.h"

#include <cstdint>

#include "platform/ui.h"
#include "shell/setup_window.h"

namespace velmora {

std::string MediaFileNameFor(bool secondPart, std::uint32_t number) {
  return (secondPart ? "velmore." : "velmor.") + std::to_string(number);
}

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

  // The plain prefix: any bytes up to and including the first zero byte.
  try {
    for (;;) {
      std::uint8_t byte = 0;
      if (m_dataFile.Read(&byte, 1) != 1) return false;
      if (byte == 0) break;
    }
  } catch (const CFileException& error) {
    if (error.m_cause == static_cast<int>(FileCause::none)) return true;
    m_dataFile.ReportFileError(&error);
    return false;
  }
  m_dataFile.SetCompressed(true);
  return true;
}

}  // namespace velmora
