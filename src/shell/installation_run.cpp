#include "shell/installation_run.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "datafile/data_file_layout.h"
#include "dialogs/progress_dialog.h"
#include "framework/ascii.h"
#include "framework/file_exception.h"
#include "platform/machine.h"
#include "platform/ui.h"
#include "services/program_manager.h"
#include "shell/media_prompt.h"
#include "shell/program_items.h"
#include "shell/run_window.h"
#include "steps/possible_prompts_of.h"
#include "steps/step_directory.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"
#include "steps/step_pmg.h"

namespace velmora {

InstallationRun::InstallationRun(RunWindow& window, const std::string& programPath)
    : window_(window), media_(LocateMedia(programPath), AskForMissingDisks()) {
  media_.Stream().SetMedia(&media_);
  if (!programPath.empty() &&
      CurrentMachine().OpenFile(programPath, FileAccess::read, FileShare::denyWrite,
                                FileDisposition::openExisting, programImage_) != FileCause::none)
    programImage_ = kNoFile;
  context_.backgroundWindow = &window_;
  context_.installedProducts = &products_;
}

InstallationRun::~InstallationRun() {
  for (CStep* step : pendingSteps_) delete step;
  pendingSteps_.clear();
  for (CStep* step : doneSteps_) delete step;
  doneSteps_.clear();
  progress_.reset();
  media_.Stream().Abort();
  if (programImage_ != kNoFile) CurrentMachine().CloseFile(programImage_);
}

// The media files are where LocateMedia finds them (the current directory
// first); while one cannot be opened the user is asked for its disk.  A
// damaged one (or a damaged package description) is named in a message, and
// the run fails.
MediaEvents InstallationRun::AskForMissingDisks() {
  MediaEvents events;
  events.unavailable = [](const MediaSet& media, FileCause) {
    return AppMessageBox(MediaPromptFor(media.SecondPart(), media.Number()),
                         mb::okCancel | mb::iconExclamation) == id::ok;
  };
  events.opened = [](const MediaSet& media) {
    if (!media.Folder().empty() || media.Location().Embedded()) {
      CurrentUi().Note(RunNote::mediaFile, media.FilePath());
      return;
    }
    std::string folder = CurrentMachine().GetCurrentDirectory();
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    CurrentUi().Note(RunNote::mediaFile, folder + media.FileName());
  };
  events.failed = [this](const MediaSet& media, MediaFault fault, const CFileException* error) {
    if (fault == MediaFault::damaged || fault == MediaFault::badDescription)
      AppMessageBox(media.FaultText(), mb::ok | mb::iconExclamation);
    else if (error != nullptr) media_.Stream().ReportFileError(error);
  };
  return events;
}

RunOutcome InstallationRun::Run() {
  bool installed = false;
  try {
    installed = Install();
  } catch (const std::exception&) {
    // Nothing the run does should throw past its own guards; if something
    // does (memory exhausted), the installation has failed and is rolled
    // back like any other failure rather than ending the process half done.
    installed = false;
  }
  if (installed && finalCheck_) {
    if (const std::string why = finalCheck_(); !why.empty()) {
      AppMessageBox(why, mb::ok | mb::iconExclamation);
      installed = false;
    }
  }
  // The registration is part of the installation: without it nothing
  // could remove the product, so it is written while everything can
  // still be rolled back.
  if (installed && !Register()) installed = false;
  RunOutcome outcome = RunOutcome::installed;
  if (installed) {
    CommitFileSteps(doneSteps_);  // files kept aside for a roll-back go
    registration_.Commit();
    AppMessageBox("Install Successful", mb::ok | mb::iconInformation);
  } else if (answersRefused_) {
    RollBack();  // the uninstaller's copy, made with the header
    outcome = RunOutcome::answersRefused;
  } else {
    AppMessageBox("Install Failed.  Press OK to abort.", mb::ok | mb::iconExclamation);
    RollBack();
    outcome = RunOutcome::installFailed;
  }
  CurrentUi().Note(RunNote::result, OutcomeName(outcome));
  return outcome;
}

bool InstallationRun::Install() {
  // The weights are 64-bit: several large files would overflow a 32-bit sum
  // and stop the bar.
  std::int64_t totalWeight = 0;
  std::int64_t doneWeight = 0;
  CStep* programGroup = nullptr;

  for (const bool secondPart : {false, true}) {
    media_.StartPart(secondPart);
    if (!RunPart(totalWeight, doneWeight, programGroup)) return false;
    if (progress_) {
      progress_->SetFileText("");
      progress_->SetPercent(secondPart || !twoParts_ ? 100 : 50);
    }
    if (!twoParts_) break;
  }

  AddProgramItems(programGroup);
  progress_.reset();
  return true;
}

// One part: its header, its step records and the execution of the pending
// steps.  False fails the run; a file exception whose cause is "none" ends
// the part early as though its steps were done.
bool InstallationRun::RunPart(std::int64_t& totalWeight, std::int64_t& doneWeight,
                              CStep*& programGroup) {
  if (!media_.OpenNext()) return false;
  try {
    if (!ReadHeader()) return false;
    // What the installed products hold, this title's earlier installation
    // among them, decides which files a reinstall still owns.
    if (!productsRead_ || products_.OwnTitle() != title_) {
      if (!products_.Load(title_)) {
        AppMessageBox(kProductsUnreadable, mb::ok | mb::iconExclamation);
        return false;
      }
      productsRead_ = true;
    }
    if (!ReadSteps(totalWeight, programGroup)) return false;
    if (!AnswersServe()) return false;
    window_.SetStatusText("");
    if (!progress_) progress_ = std::make_unique<CProgressDialog>();
    if (!ExecutePending(totalWeight, doneWeight)) return false;
    window_.SetStatusText("");
  } catch (const CFileException& error) {
    if (error.Cause() == FileCause::none) return true;
    media_.Stream().ReportFileError(&error);
    progress_.reset();
    return false;
  }
  return true;
}

bool InstallationRun::ReadHeader() {
  DataFileHeader header;
  const LayoutFault version = ReadHeaderVersion(media_.Stream(), header);
  if (version == LayoutFault::unsupportedVersion)
    AppMessageBox("Data file and setup program versions do not match.",
                  mb::ok | mb::iconExclamation);
  if (version != LayoutFault::none) return false;
  std::uint32_t titleLength = 0;
  if (ReadHeaderTitle(media_.Stream(), header, titleLength) != LayoutFault::none) return false;
  title_ = header.title;
  CurrentUi().Note(RunNote::package, title_);
  window_.SetTitle(title_);  // the heading shows the title at once

  if (ReadHeaderReserved(media_.Stream(), header) != LayoutFault::none) return false;
  if (!registration_.CreateUninstaller(programImage_, title_)) {
    AppMessageBox("Unable to create uninstall executable.", mb::ok | mb::iconExclamation);
    return false;
  }
  if (ReadHeaderFlagsAndCount(media_.Stream(), header) != LayoutFault::none) return false;
  context_.checkDates = header.checkDates;
  context_.checkVersions = header.checkVersions;
  twoParts_ = header.twoParts;
  stepCount_ = static_cast<std::int32_t>(header.stepCount);  // signed, as the loop compares it
  return true;
}

bool InstallationRun::ReadSteps(std::int64_t& totalWeight, CStep*& programGroup) {
  for (std::int32_t i = 0; i < stepCount_; ++i) {
    CStep* step = CreateStep(&media_.Stream());
    if (step == nullptr) return false;
    step->JoinRun(&context_);
    if (step->IsKindOf(RUNTIME_CLASS(CStepPMG))) programGroup = step;
    switch (step->GetInstallMode()) {
      case InstallMode::refused:
        delete step;
        progress_.reset();
        return false;
      case InstallMode::done: doneSteps_.push_back(step); break;
      case InstallMode::pending:
        totalWeight += step->GetDataSize();
        pendingSteps_.push_back(step);
        break;
      case InstallMode::leftOut:
        // Left out of both lists: nobody else would ever delete it.
        if (programGroup == step) programGroup = nullptr;
        delete step;
        break;
    }
  }
  return true;
}

bool InstallationRun::AnswersServe() {
  if (!promptsCheck_ || twoParts_ || media_.SecondPart()) return true;
  std::vector<const CStep*> steps(doneSteps_.begin(), doneSteps_.end());
  steps.insert(steps.end(), pendingSteps_.begin(), pendingSteps_.end());
  const std::string why = promptsCheck_(PossiblePromptsOf(steps));
  if (why.empty()) return true;
  AppMessageBox(why, mb::ok | mb::iconExclamation);
  answersRefused_ = true;
  progress_.reset();
  return false;
}

bool InstallationRun::ExecutePending(std::int64_t totalWeight, std::int64_t& doneWeight) {
  // "description: why" where the step knows why it failed.
  const auto failedStepText = [](const CStep& step, const std::string& description) {
    const std::string& reason = step.FailureReason();
    return reason.empty() ? description : description + ": " + reason;
  };
  auto next = pendingSteps_.begin();
  while (next != pendingSteps_.end()) {
    const auto position = next++;
    CStep* step = *position;

    const std::string description = step->GetDescription();
    if (progress_) {
      progress_->SetFileText(description);
      if (totalWeight > 0)
        progress_->SetPercent(
            InstallPercent(totalWeight, doneWeight, twoParts_, media_.SecondPart()));
    }

    const std::uint32_t disk = step->GetDisk();
    if (disk != media_.Number() && disk != 0) {
      if (!media_.OpenNumber(disk)) return false;
    }
    const std::uint32_t offset = step->GetDataOffset();
    if (offset != 0) media_.Stream().Seek(static_cast<std::int32_t>(offset), CFile::begin);

    if (!step->InstallData(&media_.Stream())) {
      CurrentUi().Note(RunNote::stepFailed, failedStepText(*step, description));
      progress_.reset();
      return false;
    }
    const InstallResult result = step->Install();
    if (result == InstallResult::failed) {
      CurrentUi().Note(RunNote::stepFailed, failedStepText(*step, description));
      progress_.reset();
      return false;
    }
    if (result == InstallResult::done) {
      CurrentUi().Note(RunNote::stepDone, description);
      doneSteps_.push_back(step);
      doneWeight += step->GetDataSize();
      step->OnInstalled(&doneSteps_);
      pendingSteps_.erase(position);
      next = pendingSteps_.begin();
    }
  }
  return true;
}

// A program item for every done step that asks for an icon, in the group
// of the last program group step read.  A failure is told once and ends the
// items, but not the installation.
void InstallationRun::AddProgramItems(const CStep* programGroup) {
  if (programGroup == nullptr) return;
  const std::string group = programGroup->GetName();
  if (group.empty()) return;
  // A group that is there already (one the user picked, StartUp, another
  // product's) is not this installation's to delete; when Program Manager
  // cannot say, the group is taken to be there.
  bool existed = true;
  if (const auto names = ProgramGroupNames()) {
    existed = false;
    for (const std::string& name : *names)
      existed = existed || AsciiUppered(name) == AsciiUppered(group);
  }
  group_ = group;
  groupCreator_ = existed ? products_.GroupCreator(group) : title_;
  for (const CStep* step : doneSteps_) {
    if (!step->GetIcon()) continue;
    std::string commandLine = step->GetName();
    if (const auto* file = dynamic_cast<const CStepFile*>(step))
      commandLine = file->GetTargetDirectory() + step->GetName();
    const std::string iconName = step->GetIconName();
    const std::string title = iconName.empty() ? step->GetName() : iconName;
    if (!ProgmanAddItem(group, commandLine, title)) {
      AppMessageBox(
          "Unable to create program group item " + step->GetName() + " - retry installation",
          mb::ok | mb::iconExclamation);
      break;
    }
    addedItems_.push_back({group, title});
  }
}

// The items a failed installation added go again, unless a product's log
// holds them (a reinstall's items were there before it); the group goes
// when this installation created it and it is empty.
void InstallationRun::RemoveAddedProgramItems() {
  const UninstallLogListing* own = products_.Own();
  for (const LogProgramItem& item : addedItems_) {
    bool held = products_.OtherHoldsItem(item.group, item.title);
    if (own != nullptr)
      for (const auto& entry : own->entries)
        held = held || (entry->GetIcon() && ProgramItemTitle(*entry) == item.title);
    if (!held) ProgmanDeleteItem(item.group, item.title);
  }
  addedItems_.clear();
  if (group_.empty() || groupCreator_ != title_) return;
  const std::optional<std::string> description = RequestProgramGroup(group_);
  if (description && ProgramGroupItemCount(*description) == 0u) ProgmanDeleteGroup(group_);
}

void InstallationRun::RollBack() {
  window_.SetStatusText("");
  RemoveAddedProgramItems();
  registration_.RestoreRegistration();
  // The latest step first: a later step may have written into what an
  // earlier one put back (an ini value into a file a file step restores).
  for (auto step = doneSteps_.rbegin(); step != doneSteps_.rend(); ++step) {
    (*step)->Rollback();
    CurrentUi().Note(RunNote::rolledBack, (*step)->GetDescription());
  }
  // A directory step that another step asked for before its own turn
  // wrote its remembered location while still pending.
  for (auto step = pendingSteps_.rbegin(); step != pendingSteps_.rend(); ++step)
    if (auto* directory = dynamic_cast<CStepDirectory*>(*step)) directory->Rollback();
  // The step that failed may hold its extracted data in a temporary file.
  for (CStep* step : pendingSteps_)
    if (auto* file = dynamic_cast<CStepFile*>(step)) file->DeleteTempFile();
  // Directories created for the installation go once the files rolled back
  // above have left them, the latest first (one may lie inside another); a
  // step still pending may have created one for a step that refers to it.
  for (const StepList* steps : {&pendingSteps_, &doneSteps_}) {
    for (auto step = steps->rbegin(); step != steps->rend(); ++step)
      if (auto* directory = dynamic_cast<CStepDirectory*>(*step)) directory->RemoveCreatedLevels();
  }
  registration_.RestoreUninstallers();
}

bool InstallationRun::Register() {
  const StepList logged = StepsToLog();
  return registration_.Write(title_, logged, MakeLogAdditions(logged), MakeProductEntry());
}

// The package description's product details, the first directory chosen,
// the size of the files installed and today's date.
ProductEntry InstallationRun::MakeProductEntry() const {
  ProductEntry entry;
  const ProductDetails& details = media_.Description().product;
  entry.version = details.version;
  entry.publisher = details.publisher;
  entry.url = details.url;
  for (const CStepDirectory* directory : context_.Directories()) {
    std::string path = directory->GetChosenPath();
    if (path.empty()) continue;
    if (path.size() > 3 && path.back() == '\\') path.pop_back();  // "C:\\" keeps its own
    entry.installLocation = path;
    break;
  }
  std::uint64_t bytes = 0;
  for (const CStep* step : doneSteps_)
    if (step->IsUninstallable() && dynamic_cast<const CStepFile*>(step) != nullptr)
      bytes += step->GetDataSize();
  entry.sizeKb =
      static_cast<std::uint32_t>(std::min<std::uint64_t>((bytes + 1023) / 1024, 0xFFFFFFFFu));
  entry.installDate = InstallDateToday();
  return entry;
}

// The steps the log holds: the done steps that are uninstallable, then the
// earlier installation's entries for targets this one did not log (an
// upgrade under the same title that dropped a file still removes it, and
// a shared count the earlier installation added is still taken back).
StepList InstallationRun::StepsToLog() const {
  StepList logged;
  for (CStep* step : doneSteps_)
    if (step->IsUninstallable()) logged.push_back(step);
  const UninstallLogListing* own = products_.Own();
  if (own == nullptr) return logged;
  for (const auto& earlier : own->entries) {
    const std::string target = LogEntryTarget(*earlier);
    if (target.empty()) continue;
    bool held = false;
    for (const CStep* step : logged)
      held = held || AsciiUppered(LogEntryTarget(*step)) == AsciiUppered(target);
    if (!held) logged.push_back(earlier.get());
  }
  return logged;
}

namespace {

// Adds `folder` to `folders` unless it is there, compared without regard to case.
void AddFolder(std::vector<std::string>& folders, const std::string& folder) {
  if (std::none_of(folders.begin(), folders.end(),
                   [&](const std::string& known) { return AsciiEqualIgnoringCase(known, folder); }))
    folders.push_back(folder);
}

}  // namespace

LogAdditions InstallationRun::MakeLogAdditions(const StepList& logged) const {
  LogAdditions additions;
  additions.group = group_;
  additions.groupCreator = groupCreator_;
  for (const CStep* step : logged) {
    const std::string target = LogEntryTarget(*step);
    if (target.empty()) continue;
    // The folders the files went into: the uninstaller deletes nothing
    // outside them.
    const auto* file = static_cast<const CStepFile*>(step);
    const std::string folder = file->GetTargetDirectory();
    for (const std::string& created : file->GetCreatedFolders())
      AddFolder(additions.createdFolders, created);
    AddFolder(additions.folders, folder);
    if (step->GetShared()) continue;
    if (const std::optional<LogFileRecord> record = CurrentFileRecord(target))
      additions.files.push_back(*record);
  }
  // Folders an earlier installation of this title made stay the product's
  // to remove, though this one found them there.
  if (const UninstallLogListing* own = products_.Own(); own != nullptr && own->hasAdditions)
    for (const std::string& created : own->additions.createdFolders)
      AddFolder(additions.createdFolders, created);
  // Items of steps the log does not hold (a kept file that was the
  // machine's) are removed by the uninstaller all the same.
  for (const LogProgramItem& item : addedItems_) {
    bool held = false;
    for (const CStep* step : logged) {
      if (!step->GetIcon()) continue;
      held = held || ProgramItemTitle(*step) == item.title;
    }
    if (!held) additions.items.push_back(item);
  }
  return additions;
}

}  // namespace velmora
