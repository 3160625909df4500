#include "steps/uninstall_log.h"

#include "framework/archive.h"
#include "framework/ascii.h"
#include "framework/file.h"
#include "framework/file_exception.h"
#include "framework/path_within.h"
#include "steps/step_factory.h"

namespace velmora {
namespace {

// A length prefix is 0xFF and a 16-bit value; the archive refuses the value
// 0xFFFE right after reading it.
constexpr std::uint64_t kLongLengthPrefix = 3;

class LogLoader {
 public:
  LogLoader(CFile& log, UninstallLogListing& listing, UninstallLogError& error)
      : archive_(&log, CArchive::load, kLogBufferSize), listing_(listing), error_(error) {}

  bool Load() {
    try {
      archive_ >> listing_.title >> listing_.count;
      error_.count = listing_.count;
      // Entries are added as they load: the count only says when to stop.
      for (std::uint32_t i = 0; i < listing_.count; ++i) {
        entry_ = i + 1;
        if (!LoadEntry()) return false;
      }
      listing_.entriesEnd = archive_.GetBytesConsumed();
      return LoadAdditions() && NoTrailingBytes();
    } catch (const CArchiveException& e) {
      return FailOnArchive(e);
    } catch (const CFileException& e) {
      return Fail(LogErrorKind::readError, archive_.GetBytesConsumed(), e.what());
    }
  }

 private:
  bool LoadEntry() {
    const std::uint64_t nameAt = archive_.GetBytesConsumed();
    // A name cut short is not shown: the archive leaves it partly filled.
    error_.className.clear();
    std::string className;
    archive_ >> className;
    error_.className = className;
    std::unique_ptr<CStep> step(FindStepClass(className));
    if (step == nullptr) return Fail(LogErrorKind::unknownClass, nameAt, {});
    const std::uint64_t versionAt = archive_.GetBytesConsumed();
    try {
      step->Serialize(archive_);
    } catch (const CArchiveException& e) {
      // The version word is the first thing every step loads, and a version
      // it does not understand is refused before anything else is read.
      const bool afterVersion = archive_.GetBytesConsumed() == versionAt + sizeof(std::uint16_t);
      if (e.m_cause == CArchiveException::generic && afterVersion &&
          step->GetVersion() > kStepArchiveVersion)
        return Fail(LogErrorKind::newerVersion, versionAt, std::to_string(step->GetVersion()));
      throw;
    }
    listing_.entries.push_back(std::move(step));
    return true;
  }

  // The additions, when the bytes after the entries begin with their tag.
  bool LoadAdditions() {
    std::uint8_t tag[4];
    const std::uint32_t got = archive_.Read(tag, sizeof tag);
    if (got == 0) return true;
    const std::uint32_t value =
        tag[0] | (tag[1] << 8) | (tag[2] << 16) | (static_cast<std::uint32_t>(tag[3]) << 24);
    if (got < sizeof tag || value != kLogAdditionsTag) {
      tagMissing_ = true;
      return true;  // trailing bytes, counted from the end of the entries
    }
    inAdditions_ = true;
    const std::uint64_t versionAt = archive_.GetBytesConsumed();
    std::uint16_t version = 0;
    archive_ >> version;
    if (version > kLogAdditionsVersion)
      return Fail(LogErrorKind::newerVersion, versionAt, std::to_string(version));
    LogAdditions& additions = listing_.additions;
    archive_ >> additions.group >> additions.groupCreator;
    std::uint32_t files = 0;
    archive_ >> files;
    for (std::uint32_t i = 0; i < files; ++i) {
      LogFileRecord record;
      std::uint32_t low = 0, high = 0;
      archive_ >> record.target >> low >> high >> record.lastWrite;
      record.size = (static_cast<std::uint64_t>(high) << 32) | low;
      additions.files.push_back(std::move(record));
    }
    std::uint32_t items = 0;
    archive_ >> items;
    for (std::uint32_t i = 0; i < items; ++i) {
      LogProgramItem item;
      archive_ >> item.group >> item.title;
      additions.items.push_back(std::move(item));
    }
    additions.version = version;
    if (version >= 2) {
      std::uint32_t folders = 0;
      archive_ >> folders;
      for (std::uint32_t i = 0; i < folders; ++i) {
        std::string folder;
        archive_ >> folder;
        additions.folders.push_back(std::move(folder));
      }
    }
    if (version >= 3) {
      std::uint32_t created = 0;
      archive_ >> created;
      for (std::uint32_t i = 0; i < created; ++i) {
        std::string folder;
        archive_ >> folder;
        additions.createdFolders.push_back(std::move(folder));
      }
    }
    listing_.hasAdditions = true;
    return true;
  }

  bool NoTrailingBytes() {
    const std::uint64_t end = tagMissing_ ? listing_.entriesEnd : archive_.GetBytesConsumed();
    std::uint8_t scratch[256];
    while (archive_.Read(scratch, sizeof scratch) == sizeof scratch) {
    }
    const std::uint64_t extra = archive_.GetBytesConsumed() - end;
    if (extra == 0) return true;
    return Fail(LogErrorKind::trailingBytes, end, std::to_string(extra));
  }

  // Past the version check (LoadEntry), the archive raises "generic" only
  // for a reserved string length, right after its three-byte prefix, and a
  // step for a value it refuses, with the reason.
  bool FailOnArchive(const CArchiveException& e) {
    const std::uint64_t at = archive_.GetBytesConsumed();
    if (e.m_cause == CArchiveException::endOfFile) return Fail(LogErrorKind::truncated, at, {});
    if (!e.m_reason.empty()) return Fail(LogErrorKind::refusedValue, at, e.m_reason);
    if (e.m_cause != CArchiveException::generic) return Fail(LogErrorKind::readError, at, e.what());
    return Fail(LogErrorKind::badStringLength, at - kLongLengthPrefix, {});
  }

  bool Fail(LogErrorKind kind, std::uint64_t offset, std::string detail) {
    error_.kind = kind;
    error_.entry = entry_;
    error_.offset = offset;
    error_.detail = std::move(detail);
    error_.inAdditions = inAdditions_;
    return false;
  }

  CArchive archive_;
  UninstallLogListing& listing_;
  UninstallLogError& error_;
  std::uint32_t entry_ = 0;
  bool inAdditions_ = false;
  bool tagMissing_ = false;
};

}  // namespace

const LogFileRecord* LogAdditions::FileRecord(const std::string& target) const {
  const std::string wanted = AsciiUppered(target);
  for (const LogFileRecord& record : files)
    if (AsciiUppered(record.target) == wanted) return &record;
  return nullptr;
}

bool LogAdditions::OutsideFolders(const std::string& target) const {
  if (version < 2) return false;
  for (const std::string& folder : folders)
    if (IsPathAtOrBelow(target, folder)) return false;
  return true;
}

bool ReadUninstallLog(CFile& log, UninstallLogListing& listing, UninstallLogError& error) {
  listing = UninstallLogListing();
  error = UninstallLogError();
  return LogLoader(log, listing, error).Load();
}

bool ReadUninstallLogFile(const std::string& path, UninstallLogListing& listing,
                          UninstallLogError& error) {
  CFile file;
  if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) {
    listing = UninstallLogListing();
    error = UninstallLogError();
    error.kind = LogErrorKind::readError;
    error.detail = "cannot open " + path;
    return false;
  }
  const bool read = ReadUninstallLog(file, listing, error);
  file.Abort();
  return read;
}

void StoreLogAdditions(CArchive& archive, const LogAdditions& additions) {
  archive << kLogAdditionsTag << kLogAdditionsVersion << additions.group << additions.groupCreator
          << static_cast<std::uint32_t>(additions.files.size());
  for (const LogFileRecord& record : additions.files) {
    archive << record.target << static_cast<std::uint32_t>(record.size)
            << static_cast<std::uint32_t>(record.size >> 32) << record.lastWrite;
  }
  archive << static_cast<std::uint32_t>(additions.items.size());
  for (const LogProgramItem& item : additions.items) archive << item.group << item.title;
  archive << static_cast<std::uint32_t>(additions.folders.size());
  for (const std::string& folder : additions.folders) archive << folder;
  archive << static_cast<std::uint32_t>(additions.createdFolders.size());
  for (const std::string& folder : additions.createdFolders) archive << folder;
}

std::uint32_t CountLogEntries(const StepList& steps) {
  std::uint32_t count = 0;
  for (const CStep* step : steps) count += step->IsUninstallable() ? 1 : 0;
  return count;
}

void StoreUninstallLog(const std::string& path, const std::string& title, const StepList& steps,
                       const LogAdditions* additions) {
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
    throw CFileException(FileCause::generic);
  CArchive archive(&file, CArchive::store, kLogBufferSize);
  archive << title << CountLogEntries(steps);
  for (CStep* step : steps) {
    if (!step->IsUninstallable()) continue;
    archive << std::string(step->GetRuntimeClass()->m_lpszClassName);
    step->Serialize(archive);
  }
  if (additions != nullptr) StoreLogAdditions(archive, *additions);
  archive.Close();
  file.Close();
}

}  // namespace velmora
