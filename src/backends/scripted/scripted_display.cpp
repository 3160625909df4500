// The agreement dialog and the user information dialog on the scripted Ui.
// The agreement dialog with its refuse button hidden is the readme viewer;
// `agreement` rules answer the one and `readme` rules the other, matched
// against the text shown.  `user` rules answer the user information dialog,
// matched against its label.
#include "backends/scripted/scripted_ui.h"
#include "dialogs/agreement_dialog.h"
#include "dialogs/user_info_dialog.h"

namespace velmora {

int ScriptedUi::RunAgreementDialog(CAgreementDialog& dialog) {
  TranscriptEntry entry;
  entry.kind = dialog.ShowsRefuseButton() ? TranscriptKind::agreement : TranscriptKind::readme;
  entry.text = dialog.m_text;
  entry.list.push_back(dialog.m_acceptCaption);
  if (dialog.ShowsRefuseButton()) entry.list.push_back(dialog.m_refuseCaption);
  entry.answer = id::ok;
  entry.result = dialog.m_acceptCaption;
  AnswerRule* rule = FindRule(entry.kind, dialog.m_text);
  if (rule == nullptr && fallback_ != nullptr) {
    entry.answer = fallback_->RunAgreementDialog(dialog);
    entry.byUser = true;
    if (entry.answer != id::ok)
      entry.result =
          dialog.ShowsRefuseButton() ? dialog.m_refuseCaption + " or the close box" : "close box";
    Record(entry);
    return entry.answer;
  }
  if (rule != nullptr) {
    entry.fromRule = true;
    ++rule->used;
    if (rule->answer == "refuse") {
      entry.answer = id::cancel;
      entry.result = dialog.m_refuseCaption;
    } else if (rule->answer == "close") {
      entry.answer = id::cancel;
      entry.result = "close box";
    }
  }
  Record(entry);
  return entry.answer;
}

int ScriptedUi::RunUserInfoDialog(CUserInfoDialog& dialog) {
  TranscriptEntry entry;
  entry.kind = TranscriptKind::user;
  entry.caption = dialog.m_label;
  entry.path = dialog.m_value;
  entry.answer = id::ok;
  std::string field = dialog.m_value;
  AnswerRule* rule = FindRule(TranscriptKind::user, dialog.m_label);
  if (rule == nullptr && fallback_ != nullptr) {
    entry.answer = fallback_->RunUserInfoDialog(dialog);
    entry.byUser = true;
    if (entry.answer == id::ok) entry.result = dialog.m_value;
    Record(entry);
    return entry.answer;
  }
  if (rule != nullptr) {
    entry.fromRule = true;
    ++rule->used;
    for (const UserValueAction& action : rule->userActions) {
      if (action.kind == UserValueAction::type) {
        field = action.text;
        entry.notes.push_back("typed \"" + action.text + "\"");
      } else if (action.kind == UserValueAction::escape) {
        entry.answer = id::cancel;
      }
    }
  }
  if (entry.answer == id::ok) {
    dialog.m_value = field;
    entry.result = field;
  }
  Record(entry);
  return entry.answer;
}

}  // namespace velmora
