// CReplaceFileDialog: the modal question whether an existing file is to be
// replaced by the file being installed (dialog 105).  The replacement
// decision fills the six texts and runs it; the current Ui shows it (a real
// dialog on Windows, an answer file when scripted).
#pragma once

#include <string>

namespace velmora {

class CReplaceFileDialog {
 public:
  static constexpr int kTemplateId = 105;
  static constexpr int kExistingNameId = 1005;
  static constexpr int kExistingDateId = 1006;
  static constexpr int kNewNameId = 1007;
  static constexpr int kNewDateId = 1008;
  static constexpr int kExistingVersionId = 1009;
  static constexpr int kNewVersionId = 1010;

  // Runs the dialog modally: id::ok for "Use new file", id::cancel for "Use
  // existing file", Escape and the close box.
  int DoModal();

  std::string m_existingDate;     // static 1006
  std::string m_existingName;     // static 1005
  std::string m_existingVersion;  // static 1009
  std::string m_newDate;          // static 1008
  std::string m_newName;          // static 1007
  std::string m_newVersion;       // static 1010
  // Not shown: the existing file is the newer of the two, of a higher
  // version, or of a later date when neither has version information.  An
  // answer given without a person keeps such a file.
  bool m_existingIsNewer = false;
};

}  // namespace velmora
