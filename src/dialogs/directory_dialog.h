// CDirectoryDialog: the modal directory question (dialog 103).  The directory
// step fills the fields, runs it, and reads m_path back after OK.  The dialog
// itself is shown by the current Ui (a real dialog on Windows, an answer file
// when scripted).
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

class CDirectoryDialog {
 public:
  // The edit control takes at most this many characters.
  static constexpr std::size_t kMaxPath = 260;

  // Runs the dialog modally; answers id::ok or id::cancel.
  int DoModal();

  std::string m_path;      // edit 1001
  std::string m_question;  // static 1000
  // Name of the directory step that asks; not shown, but lets an answer file
  // address the question by the step's name.
  std::string m_stepName;
};

}  // namespace velmora
