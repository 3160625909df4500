// The program group dialog on the scripted Ui: answered by a `group` rule
// whose pattern matches the suggested group name, else with OK and the name
// as suggested.  An entry the list does not hold cannot be chosen: the
// field keeps its text and the transcript says so.  OK on a name the dialog
// cannot take shows the dialog's message box, which the transcript
// records; as an answer has no second try, the dialog then ends with
// Escape and the caller's name stays.
#include <algorithm>

#include "backends/scripted/scripted_ui.h"
#include "dialogs/group_dialog.h"

namespace velmora {

int ScriptedUi::RunGroupDialog(CGroupDialog& dialog) {
  TranscriptEntry entry;
  entry.kind = TranscriptKind::group;
  entry.caption = dialog.m_prompt;
  entry.path = dialog.m_group;
  entry.list = dialog.TakeGroupNames();
  entry.answer = id::ok;
  std::string field = dialog.m_group;
  AnswerRule* rule = FindRule(TranscriptKind::group, dialog.m_group);
  if (rule == nullptr && fallback_ != nullptr) {
    // The names go back to the dialog: the real one lists them.
    dialog.m_groupNames = entry.list;
    entry.answer = fallback_->RunGroupDialog(dialog);
    entry.byUser = true;
    entry.result = dialog.m_group;
    Record(entry);
    return entry.answer;
  }
  if (rule != nullptr) {
    entry.fromRule = true;
    ++rule->used;
    for (const GroupAction& action : rule->groupActions) {
      switch (action.kind) {
        case GroupAction::type:
          field = action.name;
          entry.notes.push_back("typed \"" + action.name + "\"");
          break;
        case GroupAction::choose:
          if (std::find(entry.list.begin(), entry.list.end(), action.name) == entry.list.end()) {
            entry.notes.push_back("\"" + action.name + "\" is not in the list");
          } else {
            field = action.name;
            entry.notes.push_back("chose \"" + action.name + "\"");
          }
          break;
        case GroupAction::ok: break;
        case GroupAction::escape: entry.answer = id::cancel; break;
      }
    }
  }
  if (entry.answer == id::ok && !CGroupDialog::AcceptsName(field)) {
    MessageBox(CGroupDialog::kRefusedName, AppTitle(), mb::ok | mb::iconExclamation);
    entry.notes.push_back("OK refused the name");
    entry.answer = id::cancel;
  }
  if (entry.answer == id::ok) {
    dialog.m_group = field;
    entry.result = field;
  }
  Record(entry);
  return entry.answer;
}

}  // namespace velmora
