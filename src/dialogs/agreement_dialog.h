// CAgreementDialog: a long read-only text with two buttons whose captions
// the caller chooses (dialog 104).  The agreement step shows its agreement
// with "I accept" and "I do not accept"; the readme step shows its readme
// with a single "OK" (an empty refuse caption hides button 2, which keeps
// its place).  The current Ui shows it (a real dialog on Windows, an answer
// file when scripted).
#pragma once

#include <string>

namespace velmora {

class CAgreementDialog {
 public:
  static constexpr int kTemplateId = 104;
  static constexpr int kTextId = 1004;  // multi-line read-only edit

  // Runs the dialog modally: id::ok for button 1; id::cancel for button 2,
  // Escape and the close box.
  int DoModal();

  // True when button 2 is shown: its caption is not empty.
  bool ShowsRefuseButton() const { return !m_refuseCaption.empty(); }

  std::string m_refuseCaption;  // button 2 ("" hides it)
  std::string m_acceptCaption;  // button 1, the default button
  std::string m_text;           // edit 1004, shown exactly as given
};

}  // namespace velmora
