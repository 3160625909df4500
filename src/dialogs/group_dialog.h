// CGroupDialog: the modal program group selection (dialog 113).  The program
// group step sets the prompt and the group name, appends the existing
// groups' names and runs it; m_group holds the typed or chosen name after
// OK and the caller's name after Escape.  The current Ui shows it (a real
// dialog on Windows, an answer file when scripted).
//
// OK takes only a name that can stand in a Program Manager command: for
// any other, the user is told kRefusedName and the dialog stays open.
#pragma once

#include <string>
#include <vector>

namespace velmora {

class CGroupDialog {
 public:
  static constexpr int kTemplateId = 113;
  static constexpr int kPromptId = 1000;  // static
  static constexpr int kGroupId = 1009;   // simple combo box: edit field over a sorted list

  // What the user is told when OK is pressed on a name it cannot take.
  static constexpr const char* kRefusedName =
      "A program group name cannot hold a double quote or a control character.";

  // Whether OK can end the dialog with this name (empty: no group).
  static bool AcceptsName(const std::string& name);

  // Runs the dialog modally; answers id::ok or id::cancel (Escape).
  int DoModal();

  // The names to offer, in the order the list shows them (sorted as a
  // sorted combo box sorts: without regard to ASCII case).  The dialog
  // takes them over: m_groupNames is empty afterwards.
  std::vector<std::string> TakeGroupNames();

  std::string m_prompt;  // static 1000
  std::string m_group;   // combo box 1009's text
  std::vector<std::string> m_groupNames;
};

}  // namespace velmora
