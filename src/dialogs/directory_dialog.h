// CDirectoryDialog: the modal directory question (dialog 103).  The directory
// step fills the fields, runs it, and reads m_path back after OK.  The dialog
// itself is shown by the current Ui (a real dialog on Windows, an answer file
// when scripted).  Its edit control takes at most kMaxPathBytes characters.
#pragma once

#include <string>

#include "platform/path_limit.h"

namespace velmora {

class CDirectoryDialog {
 public:
  // Runs the dialog modally; answers id::ok or id::cancel.
  int DoModal();

  std::string m_path;      // edit 1001
  std::string m_question;  // static 1000
  // Name of the directory step that asks; not shown, but lets an answer file
  // address the question by the step's name.
  std::string m_stepName;
};

}  // namespace velmora
