// Answering the directory question (dialog 103) and its folder browser
// (dialog 107) from directory rules.  A browse answer clicks through the
// same folder tree the real browser shows, so it can only choose a folder
// that the machine lists there.
#include "backends/scripted/scripted_ui.h"
#include "dialogs/directory_dialog.h"
#include "dialogs/folder_tree.h"
#include "platform/machine.h"

namespace velmora {

void ScriptedUi::ApplyDirectoryActions(const AnswerRule& rule, CDirectoryDialog& dialog,
                                       TranscriptEntry& entry) {
  std::string field = dialog.m_path;  // what the edit control holds
  entry.answer = id::ok;              // a rule without ok or cancel ends with OK
  for (const DirectoryAction& action : rule.actions) {
    switch (action.kind) {
      case DirectoryAction::type:
        field = action.path;
        entry.notes.push_back("typed \"" + action.path + "\"");
        break;
      case DirectoryAction::browse:
      case DirectoryAction::browseCancel: {
        if (action.path.empty()) {
          entry.notes.push_back("browse -> Cancel");
          break;
        }
        // A new browser each time, starting from the list of drives.
        FolderTree tree(CurrentMachine());
        tree.FillTopLevel();
        const FolderNode* node = tree.Find(action.path);
        if (node == nullptr) {
          entry.notes.push_back("browse \"" + action.path +
                                "\": not in the folder tree, browser cancelled");
        } else if (action.kind == DirectoryAction::browseCancel) {
          entry.notes.push_back("browse \"" + node->Path() + "\" -> Cancel");
        } else if (node->Path().size() >= kMaxPathBytes) {
          entry.notes.push_back("browse \"" + node->Path() +
                                "\": too long for the browser, browser cancelled");
        } else {
          field = node->Path();
          entry.notes.push_back("browse \"" + field + "\" -> OK");
        }
        break;
      }
      case DirectoryAction::ok: entry.answer = id::ok; break;
      case DirectoryAction::cancel: entry.answer = id::cancel; break;
    }
  }
  entry.result = field;
}

int ScriptedUi::RunDirectoryDialog(CDirectoryDialog& dialog) {
  TranscriptEntry entry;
  entry.kind = TranscriptKind::directory;
  entry.caption = dialog.m_stepName;
  entry.text = dialog.m_question;
  entry.style = mb::okCancel;
  entry.path = dialog.m_path;
  entry.answer = id::ok;  // Enter accepts the path as filled in
  entry.result = dialog.m_path;

  AnswerRule* rule = FindRule(TranscriptKind::directory, dialog.m_question, dialog.m_stepName);
  if (rule == nullptr && fallback_ != nullptr) {
    entry.answer = fallback_->RunDirectoryDialog(dialog);
    entry.byUser = true;
    entry.result = dialog.m_path;
    Record(entry);
    return entry.answer;
  }
  if (rule != nullptr) {
    entry.fromRule = true;
    ApplyDirectoryActions(*rule, dialog, entry);
  }
  const std::string key =
      "directory\x1f" + dialog.m_stepName + "\x1f" + dialog.m_question + "\x1f" + dialog.m_path;
  if (const int forced = GuardRepeats(key, entry.fromRule, true, entry)) {
    entry.answer = forced;
  } else if (rule != nullptr) {
    ++rule->used;
  }
  // The fields come back from the controls only when OK ends the dialog.
  if (entry.answer == id::ok) dialog.m_path = entry.result;
  Record(entry);
  return entry.answer;
}

}  // namespace velmora
