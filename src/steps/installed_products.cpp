#include "steps/installed_products.h"

#include "framework/archive.h"
#include "framework/ascii.h"
#include "framework/file.h"
#include "framework/file_exception.h"
#include "platform/machine.h"
#include "services/file_removal.h"
#include "services/registry.h"
#include "steps/step_file.h"
#include "steps/step_pmg.h"

namespace velmora {
namespace {

constexpr std::uint32_t kCommandBuffer = 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool SameName(const std::string& a, const std::string& b) {
  return AsciiUppered(a) == AsciiUppered(b);
}

bool Holds(const UninstallLogListing& log, const std::string& target, bool sharedOnly) {
  for (const auto& entry : log.entries) {
    if (!SameName(LogEntryTarget(*entry), target)) continue;
    if (!sharedOnly || entry->GetShared()) return true;
  }
  return false;
}

// The group the log's items are in: the additions say, or else its last
// program group entry.
std::string GroupOf(const UninstallLogListing& log) {
  if (log.hasAdditions) return log.additions.group;
  std::string group;
  for (const auto& entry : log.entries)
    if (entry->IsKindOf(RUNTIME_CLASS(CStepPMG))) group = entry->GetName();
  return group;
}

bool HoldsItem(const UninstallLogListing& log, const std::string& group, const std::string& title) {
  for (const LogProgramItem& item : log.additions.items)
    if (SameName(item.group, group) && SameName(item.title, title)) return true;
  if (!SameName(GroupOf(log), group)) return false;
  for (const auto& entry : log.entries) {
    if (!entry->GetIcon()) continue;
    if (SameName(ProgramItemTitle(*entry), title)) return true;
  }
  return false;
}

// A product's log: false when the entry or the log is there but cannot be
// read (what it holds is unknown); true with no log when there is none to
// read or it is not a log this program reads (it claims nothing).
bool ReadProductLog(const std::string& title, std::optional<ProductLog>& log) {
  log.reset();
  RegData data;
  const long result =
      QueryRegistryValue(hkey::localMachine, UninstallKeyFor(title), "UninstallString", data);
  if (result == winerror::fileNotFound) return true;
  if (result != winerror::success) return false;
  if (data.type != regtype::sz && data.type != regtype::expandSz) return true;
  std::string command(data.bytes.begin(), data.bytes.end());
  command = command.substr(0, command.find('\0'));
  ProductLog product;
  product.title = title;
  product.path = UninstallLogPathFromArguments(SplitCommandLine(command).arguments);
  if (product.path.empty()) return true;
  CFile file;
  CFileException opened;
  if (!file.Open(product.path, CFile::modeRead | CFile::shareDenyWrite, &opened)) {
    return opened.Cause() == FileCause::fileNotFound || opened.Cause() == FileCause::badPath;
  }
  UninstallLogError error;
  const bool read = ReadUninstallLog(file, product.listing, error);
  file.Abort();
  if (!read) return error.kind != LogErrorKind::readError;
  log = std::move(product);
  return true;
}

}  // namespace

std::string UninstallKeyFor(const std::string& title) {
  return std::string(kUninstallKey) + "\\" + title;
}

CommandLine SplitCommandLine(const std::string& commandLine) {
  std::size_t at = 0;
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  CommandLine parts;
  if (at < commandLine.size() && commandLine[at] == '"') {
    const std::size_t close = commandLine.find('"', at + 1);
    const std::size_t end = close == std::string::npos ? commandLine.size() : close;
    parts.program = commandLine.substr(at + 1, end - at - 1);
    at = close == std::string::npos ? end : close + 1;
  } else {
    const std::size_t start = at;
    while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
    parts.program = commandLine.substr(start, at - start);
  }
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  parts.arguments = commandLine.substr(at);
  return parts;
}

std::string UninstallLogPathFromArguments(const std::string& arguments) {
  std::size_t begin = 0;
  std::size_t end = arguments.size();
  while (begin < end && IsBlank(arguments[begin])) ++begin;
  while (end > begin && IsBlank(arguments[end - 1])) --end;
  if (end - begin >= 2 && arguments[begin] == '"' && arguments[end - 1] == '"') {
    ++begin;
    --end;
  }
  return arguments.substr(begin, end - begin);
}

std::string ProgramItemTitle(const CStep& step) {
  const std::string iconName = step.GetIconName();
  return iconName.empty() ? step.GetName() : iconName;
}

std::string LogEntryTarget(const CStep& step) {
  const auto* file = dynamic_cast<const CStepFile*>(&step);
  if (file == nullptr || file->GetTargetDirectory().empty()) return {};
  return file->GetTargetDirectory() + file->GetName();
}

bool InstalledProducts::Load(const std::string& ownTitle) {
  ownTitle_ = ownTitle;
  own_.reset();
  others_.clear();
  std::vector<std::string> titles;
  std::vector<RegValue> values;
  const long listed =
      CurrentMachine().ListRegKey(hkey::localMachine, kUninstallKey, titles, values);
  if (listed == winerror::fileNotFound) return true;
  if (listed != winerror::success) return false;
  for (const std::string& title : titles) {
    std::optional<ProductLog> log;
    if (!ReadProductLog(title, log)) return false;
    if (!log) continue;
    if (SameName(title, ownTitle)) own_ = std::move(log);
    else others_.push_back(std::move(*log));
  }
  return true;
}

void InstalledProducts::SetOwn(const std::string& title, const std::string& path,
                               UninstallLogListing listing) {
  ownTitle_ = title;
  own_ = ProductLog{title, path, std::move(listing)};
  // The own entry may name the same log: it is not another product's.
  std::erase_if(others_, [&](const ProductLog& other) {
    return SameName(other.title, title) || SameName(other.path, path);
  });
}

bool InstalledProducts::OwnHolds(const std::string& target, bool sharedOnly) const {
  return own_ && Holds(own_->listing, target, sharedOnly);
}

bool InstalledProducts::OtherHolds(const std::string& target) const {
  for (const ProductLog& other : others_)
    if (Holds(other.listing, target, false)) return true;
  return false;
}

bool InstalledProducts::OtherHoldsItem(const std::string& group, const std::string& title) const {
  for (const ProductLog& other : others_)
    if (HoldsItem(other.listing, group, title)) return true;
  return false;
}

std::string InstalledProducts::GroupCreator(const std::string& group) const {
  if (own_ && own_->listing.hasAdditions && SameName(own_->listing.additions.group, group))
    return own_->listing.additions.groupCreator;
  for (const ProductLog& other : others_) {
    const LogAdditions& additions = other.listing.additions;
    if (other.listing.hasAdditions && SameName(additions.group, group) &&
        !additions.groupCreator.empty())
      return additions.groupCreator;
  }
  return {};
}

bool InstalledProducts::IsInstalled(const std::string& title) {
  return !ReadRegistryString(hkey::localMachine, UninstallKeyFor(title), "UninstallString",
                             kCommandBuffer)
              .empty();
}

const LogFileRecord* InstalledProducts::OwnRecord(const std::string& target) const {
  if (!own_ || !own_->listing.hasAdditions) return nullptr;
  return own_->listing.additions.FileRecord(target);
}

bool InstalledProducts::HandOver(const LogFileRecord& record) {
  bool written = true;
  for (ProductLog& other : others_) {
    LogAdditions& additions = other.listing.additions;
    if (!other.listing.hasAdditions || !Holds(other.listing, record.target, false)) continue;
    bool changed = false;
    for (LogFileRecord& held : additions.files) {
      if (!SameName(held.target, record.target) || held == record) continue;
      held.size = record.size;
      held.lastWrite = record.lastWrite;
      changed = true;
    }
    if (changed && !RewriteLogAdditions(other.path, other.listing)) written = false;
  }
  return written;
}

std::optional<LogFileRecord> CurrentFileRecord(const std::string& target) {
  Machine& machine = CurrentMachine();
  FileHandle handle = kNoFile;
  if (machine.OpenFile(target, FileAccess::read, FileShare::denyNone, FileDisposition::openExisting,
                       handle) != FileCause::none)
    return std::nullopt;
  LogFileRecord record;
  record.target = target;
  const FileCause sized = machine.GetFileSize(handle, record.size);
  machine.CloseFile(handle);
  FileTimes times;
  if (sized != FileCause::none || machine.GetFileTimes(target, times) != FileCause::none)
    return std::nullopt;
  record.lastWrite = static_cast<std::int32_t>(times.lastWrite);
  return record;
}

bool RewriteLogAdditions(const std::string& path, const UninstallLogListing& listing) {
  Machine& machine = CurrentMachine();
  const std::size_t slash = path.find_last_of('\\');
  const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash);
  std::string written;
  if (machine.CreateTempFile(directory, "vmu", written) != FileCause::none) return false;
  try {
    CFile source;
    if (!source.Open(path, CFile::modeRead | CFile::shareDenyWrite))
      throw CFileException(FileCause::generic);
    std::vector<std::uint8_t> head(static_cast<std::size_t>(listing.entriesEnd));
    const std::uint32_t got = source.Read(head.data(), static_cast<std::uint32_t>(head.size()));
    source.Close();
    if (got != head.size()) throw CFileException(FileCause::endOfFile);
    CFile out;
    if (!out.Open(written, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
      throw CFileException(FileCause::generic);
    out.Write(head.data(), got);
    CArchive archive(&out, CArchive::store, kLogBufferSize);
    StoreLogAdditions(archive, listing.additions);
    archive.Close();
    out.Close();
  } catch (const std::exception&) {
    machine.DeleteFile(written);
    return false;
  }
  std::string aside;
  if (machine.CreateTempFile(directory, "vmo", aside) != FileCause::none) {
    machine.DeleteFile(written);
    return false;
  }
  machine.DeleteFile(aside);
  if (machine.MoveFile(path, aside) != FileCause::none) {
    machine.DeleteFile(aside);
    machine.DeleteFile(written);
    return false;
  }
  if (machine.MoveFile(written, path) != FileCause::none) {
    machine.MoveFile(aside, path);
    machine.DeleteFile(written);
    return false;
  }
  RemoveFileNowOrAtRestart(aside);
  return true;
}

}  // namespace velmora
