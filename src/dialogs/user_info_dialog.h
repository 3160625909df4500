// CUserInfoDialog: one line of text typed beside a label (dialog 106,
// "Enter user information").  The user value step sets the label and the
// suggested value, runs it and reads m_value back: what was typed after OK,
// the suggestion unchanged after Escape or the close box (there is no
// Cancel button).  The current Ui shows it.
#pragma once

#include <string>

namespace velmora {

class CUserInfoDialog {
 public:
  static constexpr int kTemplateId = 106;
  static constexpr int kLabelId = 1000;  // static
  static constexpr int kValueId = 1007;  // edit, no length limit

  // Runs the dialog modally: id::ok, or id::cancel for Escape and the close
  // box, which leave m_value as the caller set it.
  int DoModal();

  std::string m_value;  // edit 1007
  std::string m_label;  // static 1000
};

}  // namespace velmora
