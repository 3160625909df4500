#include "authoring/uninstall_log_reader.h"

#include "authoring/ansi_text.h"
#include "datafile/step_factory.h"
#include "framework/archive.h"
#include "framework/file.h"
#include "steps/step.h"

namespace velmora {
namespace {

// The uninstallation reads the log through an archive of this size.
constexpr std::uint32_t kLogBufferSize = 4096;
// A length prefix is 0xFF and a 16-bit value; the archive refuses the value
// 0xFFFE right after reading it.
constexpr std::uint64_t kLongLengthPrefix = 3;
// Longest class name shown in a message; a damaged one can be any length.
constexpr std::size_t kShownNameLength = 64;

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
      return NoTrailingBytes();
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

  bool NoTrailingBytes() {
    const std::uint64_t end = archive_.GetBytesConsumed();
    std::uint8_t scratch[256];
    while (archive_.Read(scratch, sizeof scratch) == sizeof scratch) {
    }
    const std::uint64_t extra = archive_.GetBytesConsumed() - end;
    if (extra == 0) return true;
    return Fail(LogErrorKind::trailingBytes, end, std::to_string(extra));
  }

  // Past the version check (LoadEntry), the archive raises "generic" only
  // for a reserved string length, right after its three-byte prefix.
  bool FailOnArchive(const CArchiveException& e) {
    const std::uint64_t at = archive_.GetBytesConsumed();
    if (e.m_cause == CArchiveException::endOfFile) return Fail(LogErrorKind::truncated, at, {});
    if (e.m_cause != CArchiveException::generic) return Fail(LogErrorKind::readError, at, e.what());
    return Fail(LogErrorKind::badStringLength, at - kLongLengthPrefix, {});
  }

  bool Fail(LogErrorKind kind, std::uint64_t offset, std::string detail) {
    error_.kind = kind;
    error_.entry = entry_;
    error_.offset = offset;
    error_.detail = std::move(detail);
    return false;
  }

  CArchive archive_;
  UninstallLogListing& listing_;
  UninstallLogError& error_;
  std::uint32_t entry_ = 0;
};

// The header or the entry concerned; nothing for trailing bytes, which the
// offset alone places.
std::string Place(const UninstallLogError& error) {
  if (error.kind == LogErrorKind::trailingBytes) return {};
  if (error.entry == 0) return "header";
  std::string place = "entry " + std::to_string(error.entry) + " of " + std::to_string(error.count);
  if (!error.className.empty() && error.kind != LogErrorKind::unknownClass)
    place += " (" + error.className + ")";
  return place;
}

std::string What(const UninstallLogError& error) {
  switch (error.kind) {
    case LogErrorKind::truncated:
      return std::string("the log ends before the ") + (error.entry == 0 ? "header" : "entry") +
             " is complete";
    case LogErrorKind::badStringLength:
      return "invalid string length prefix FF FE FF";
    case LogErrorKind::newerVersion:
      return "stored version " + error.detail + " is newer than " +
             std::to_string(kStepArchiveVersion) + ", the newest this program reads";
    case LogErrorKind::unknownClass: {
      std::string name = error.className.substr(0, kShownNameLength);
      if (error.className.size() > kShownNameLength) name += "...";
      return "unknown step class " + TextQuoted(name);
    }
    case LogErrorKind::trailingBytes:
      return error.detail + " bytes follow the " + std::to_string(error.count) +
             " entries the header announces";
    case LogErrorKind::readError:
      return "read error: " + error.detail;
  }
  return {};
}

}  // namespace

bool ReadUninstallLog(CFile& log, UninstallLogListing& listing, UninstallLogError& error) {
  listing = UninstallLogListing();
  error = UninstallLogError();
  return LogLoader(log, listing, error).Load();
}

std::string DescribeLogError(const UninstallLogError& error) {
  const std::string place = Place(error);
  const std::string offset = "offset " + std::to_string(error.offset);
  return (place.empty() ? offset : place + ", " + offset) + ": " + What(error);
}

ReadError AsReadError(const UninstallLogError& error, const std::string& file) {
  const ReadErrorKind kind = error.kind == LogErrorKind::newerVersion ? ReadErrorKind::unsupported
                             : error.kind == LogErrorKind::readError  ? ReadErrorKind::io
                                                                      : ReadErrorKind::corrupt;
  const std::string place = Place(error);
  return ReadError(kind, file, error.offset, (place.empty() ? "" : place + ": ") + What(error));
}

}  // namespace velmora
