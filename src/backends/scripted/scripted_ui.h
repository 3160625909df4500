// A Ui that answers prompts from rules (usually loaded from an answer file,
// see docs/answer-file.md) and records everything shown, and every note of
// the run, in a transcript.  When no rule matches, a prompt takes its
// default, so nobody is waited for; or, with a fallback Ui, the prompt goes
// to the user through it (the windows are shown, and rules answer only what
// they match).
//
// Every prompt has an end: a prompt that keeps coming back unanswered (the
// disk prompt answered OK by default while the media file stays missing, a
// directory question whose default path cannot be created) is cancelled
// once it has taken its default kMaxDefaultRepeats times, and any prompt
// shown kMaxSamePrompt times is cancelled whatever the rules say, when it
// offers Cancel.  The transcript notes every such answer.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "backends/scripted/transcript_kind.h"
#include "framework/wildcard_match.h"
#include "platform/possible_prompts.h"
#include "platform/ui.h"

namespace velmora {

// One action of a directory answer, in the order performed.
struct DirectoryAction {
  enum Kind {
    type,          // replace the path field with `path`
    browse,        // folder browser: click through to `path`, then OK there
    browseCancel,  // folder browser: Cancel there (after clicking to `path`, if given)
    ok,            // OK in the directory dialog
    cancel,        // Cancel in the directory dialog
  };
  Kind kind = ok;
  std::string path;
};

// One action of a group dialog answer, in the order performed.
struct GroupAction {
  enum Kind {
    type,    // replace the edit field with `name`
    choose,  // click the list entry `name`: the edit field takes its text
    ok,      // OK
    escape,  // Escape: the dialog ends and its name stays as the caller set it
  };
  Kind kind = ok;
  std::string name;
};

// One action of a user information answer, in the order performed.
struct UserValueAction {
  enum Kind {
    type,    // replace the edit field with `text`
    ok,      // OK: the value is the edit field's text
    escape,  // Escape: the dialog ends and the suggestion stays
  };
  Kind kind = ok;
  std::string text;
};

// One rule of an answer file: answer prompts of `kind` whose text (with
// target "step", the directory step's name; for the group dialog, the
// suggested group name; for the user information dialog, its label)
// matches `pattern` (a wildcard pattern: * any run,
// ? any one character), at most `uses` times (0 = without limit).
struct AnswerRule {
  TranscriptKind kind = TranscriptKind::message;  // one of the prompt kinds
  std::string pattern;
  std::string answer;  // message: "ok", "cancel", "yes", "no", "abort", "retry", "ignore";
                       // replace: "new", "existing"; agreement: "accept", "refuse",
                       // "close"; readme: "ok", "close"
  int uses = 0;
  int used = 0;
  int line = 0;                                // line in the answer file, for messages
  std::string target = "text";                 // "text" or "step" (directory rules only)
  std::vector<DirectoryAction> actions{};      // directory rules: what to do in the dialog
  std::vector<GroupAction> groupActions{};     // group rules: what to do in the dialog
  std::vector<UserValueAction> userActions{};  // user rules: what to do in the dialog
};

// One thing shown to the user and how it was answered.
struct TranscriptEntry {
  TranscriptKind kind = TranscriptKind::message;
  std::string caption;  // message: the caption; directory: the step name; window: heading;
                        // user: the label
  std::string text;     // message text, directory question, progress step line, status line,
                        // the agreement or readme text, the picture as painted
  std::uint32_t style = 0;
  int answer = 0;  // button id
  bool fromRule = false;
  std::string path{};    // directory: the path field as filled in; group: the name;
                         // user: the suggested value
  std::string result{};  // directory: the path field when OK ended the dialog; group, user:
                         // the value; agreement, readme: the button pressed
  std::vector<std::string> list{};   // group: the list's entries in the order shown;
                                     // agreement, readme: the buttons' captions
  std::vector<std::string> notes{};  // browse steps, guard answers
  int percent = -1;                  // progress: the bar's value
  bool byUser = false;               // answered by the user through the fallback Ui
};

class ScriptedUi : public Ui {
 public:
  // Unanswered repeats of one prompt before it is cancelled.
  static constexpr int kMaxDefaultRepeats = 3;
  // Showings of one prompt, answered by rules or not, before it is cancelled.
  static constexpr int kMaxSamePrompt = 100;

  ScriptedUi() = default;

  // Rules are tried in the order added; the first that matches answers.
  void AddRule(AnswerRule rule);
  // Loads the rules of an answer file's text; throws std::runtime_error
  // naming the line of a malformed rule.  See docs/answer-file.md.
  void LoadAnswerText(const std::string& text, const std::string& fileName);
  // The same from a stream (scripted_streams.cpp).
  void LoadAnswers(std::istream& in, const std::string& fileName);
  // Prompts no rule answers go to `user` (null: they take their default);
  // progress, the main window and its pictures are passed on to it too.
  void SetFallback(Ui* user) { fallback_ = user; }
  // Hands every entry, as its transcript line, to `echo` as it is recorded
  // (empty: nothing is echoed).
  void SetEcho(std::function<void(const std::string& line)> echo) { echo_ = std::move(echo); }
  // Calls `observer` with every entry as it is recorded.
  void SetObserver(std::function<void(const TranscriptEntry&)> observer) {
    observer_ = std::move(observer);
  }

  int MessageBox(const std::string& text, const std::string& caption, std::uint32_t style) override;
  // Without a matching rule the dialog is accepted with its path as filled in.
  int RunDirectoryDialog(CDirectoryDialog& dialog) override;
  // Without a matching rule the new file is used (OK is the default button).
  int RunReplaceFileDialog(CReplaceFileDialog& dialog) override;
  // Without a matching rule the dialog is accepted with its name as filled in.
  int RunGroupDialog(CGroupDialog& dialog) override;
  // A dialog with its refuse button shown is an "agreement", one without a
  // "readme"; without a matching rule button 1 is pressed (Enter).
  int RunAgreementDialog(CAgreementDialog& dialog) override;
  // Without a matching rule the dialog is accepted with its value as filled in.
  int RunUserInfoDialog(CUserInfoDialog& dialog) override;
  void ShowProgress() override;
  // Recorded once per step line: updates under the same line replace the
  // entry's percentage until the line changes or something else is shown.
  void UpdateProgress(const std::string& fileText, int percent) override;
  void HideProgress() override;
  // Recorded when heading or status differ from what was recorded last;
  // the picture is painted on a client area of ClientWidth() x
  // ClientHeight() and recorded when what it paints differs.
  void MainWindowChanged(const std::string& heading, const std::string& status,
                         WindowPicture* picture) override;
  // Bitmaps are their sizes: nothing is drawn.
  BitmapHandle CreateScreenBitmap(const DibImage& image) override;
  void DeleteBitmap(BitmapHandle bitmap) override;
  // Recorded as a line of its own: program, package, media, step, rollback,
  // undo or result.
  void Note(RunNote note, const std::string& text) override;
  // Width and height of a bitmap this Ui made and has not deleted.
  bool BitmapSize(BitmapHandle bitmap, int& width, int& height) const;
  std::size_t LiveBitmaps() const { return bitmaps_.size(); }

  // The main window's client area: 1024 x 768.
  int ClientWidth() const { return kClientWidth; }
  int ClientHeight() const { return kClientHeight; }

  // The recorded entries (a progress state still open is not among them
  // until FlushProgress or the next entry).
  const std::vector<TranscriptEntry>& Transcript() const { return transcript_; }
  void FlushProgress();
  void ClearTranscript() { transcript_.clear(); }
  void WriteTranscript(std::ostream& out) const;  // scripted_streams.cpp
  // Rules that never answered a prompt, for a warning after a run.
  std::vector<const AnswerRule*> UnusedRules() const;
  // Those rules in one line ("2 rules of FILE never answered a prompt:
  // lines 3, 7"); "" when every rule answered one.
  std::string UnusedRulesSummary(const std::string& answersPath) const;
  // Rules that no prompt of a package can match: a kind the package never
  // shows, or a pattern that matches none of the texts it can show.
  std::vector<const AnswerRule*> RulesNoPromptCanMatch(const PossiblePrompts& prompts) const;
  // Those rules in one line ("1 rule of FILE can answer no prompt of this
  // package: line 4"); "" when there are none.
  std::string RulesNoPromptCanMatchSummary(const std::string& answersPath,
                                           const PossiblePrompts& prompts) const;

 private:
  static constexpr int kClientWidth = 1024;
  static constexpr int kClientHeight = 768;

  AnswerRule* FindRule(TranscriptKind kind, const std::string& text,
                       const std::string& stepName = {});
  // Applies the repeat guards to an answer about to be given; answers the
  // id to give instead (id::cancel) or 0 to keep it.
  int GuardRepeats(const std::string& key, bool fromRule, bool offersCancel,
                   TranscriptEntry& entry);
  void ApplyDirectoryActions(const AnswerRule& rule, CDirectoryDialog& dialog,
                             TranscriptEntry& entry);
  void Record(TranscriptEntry entry);
  void Emit(const TranscriptEntry& entry);

  std::vector<AnswerRule> rules_;
  std::vector<TranscriptEntry> transcript_;
  std::function<void(const std::string&)> echo_;
  Ui* fallback_ = nullptr;
  std::function<void(const TranscriptEntry&)> observer_;
  std::map<std::string, int> defaultCounts_;  // prompt -> unanswered showings
  std::map<std::string, int> promptCounts_;   // prompt -> all showings
  std::optional<TranscriptEntry> progress_;   // the progress state not yet recorded
  std::string lastHeading_;
  std::string lastStatus_;
  bool windowRecorded_ = false;
  std::map<BitmapHandle, std::pair<int, int>> bitmaps_;  // width, height
  BitmapHandle lastBitmap_ = 0;
  std::string lastPicture_;  // what the picture painted when last recorded
};

// "yes" -> id::yes; 0 for an unknown name.
int ButtonIdFromName(const std::string& name);
// id::yes -> "Yes".
std::string ButtonNameFromId(int id);
// One transcript line, e.g.
//   message "Setup" [Yes/No, question] "text" -> Yes
//   directory "MAINDIR" "question" "C:\\LANTERN" -> OK "C:\\LANTERN\\"
//   group "Create program group:" "Tools" ["Games", "Main"] -> OK "Games"
//   agreement ["I accept", "I do not accept"] "text" -> I accept
//   user "Name" "suggestion" -> OK "typed"
//   background 400x300 in 1024x600: x 111 to 913, y 0 to 600
//   step "Directory: MAINDIR" -> done
//   progress "Directory: MAINDIR" 42%
//   window "Velmora(TM) is now installing Demo" ""
std::string FormatTranscriptEntry(const TranscriptEntry& entry);

}  // namespace velmora
