// The file replace question on the scripted Ui: answered by a `replace`
// rule whose pattern matches the target path; without one, an existing
// file that is newer is kept ("Use existing file") and any other replaced
// ("Use new file"), so that an unattended run never puts an older version
// of a file in the place of a newer one.
#include "backends/scripted/scripted_ui.h"
#include "dialogs/replace_file_dialog.h"

namespace velmora {

int ScriptedUi::RunReplaceFileDialog(CReplaceFileDialog& dialog) {
  TranscriptEntry entry;
  entry.kind = TranscriptKind::replace;
  entry.caption = dialog.m_existingName;
  entry.text = "existing " + dialog.m_existingDate + " " + dialog.m_existingVersion + ", new " +
               dialog.m_newName + " " + dialog.m_newDate + " " + dialog.m_newVersion;
  entry.answer = dialog.m_existingIsNewer ? id::cancel : id::ok;
  AnswerRule* rule = FindRule(TranscriptKind::replace, dialog.m_existingName);
  if (rule == nullptr && fallback_ != nullptr) {
    entry.answer = fallback_->RunReplaceFileDialog(dialog);
    entry.byUser = true;
    Record(entry);
    return entry.answer;
  }
  if (rule != nullptr) {
    entry.answer = rule->answer == "existing" ? id::cancel : id::ok;
    entry.fromRule = true;
  }
  const std::string key = "replace\x1f" + entry.caption + "\x1f" + entry.text;
  if (const int forced = GuardRepeats(key, entry.fromRule, true, entry)) {
    entry.answer = forced;
  } else if (rule != nullptr) {
    ++rule->used;
  }
  Record(entry);
  return entry.answer;
}

}  // namespace velmora
