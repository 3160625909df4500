#include "steps/step_file.h"

#include "datafile/compressed_file.h"
#include "datafile/data_file_layout.h"
#include "framework/archive.h"
#include "framework/file_exception.h"
#include "framework/file_name_rules.h"
#include "steps/step_record.h"

namespace velmora {

VELMORA_IMPLEMENT_DYNCREATE(CStepFile, CStep)

void CStepFile::Serialize(CArchive& ar) {
  CStep::Serialize(ar);
  if (ar.IsStoring()) {
    ar << m_name << static_cast<std::int32_t>(m_createdByInstall ? 1 : 0) << m_targetDirectory;
  } else {
    ar >> m_name;
    if (const std::string problem = NameProblem(); !problem.empty())
      throw CArchiveException(CArchiveException::generic, {}, "the file name " + problem);
    std::int32_t created = 0;
    ar >> created >> m_targetDirectory;
    m_createdByInstall = created != 0;
  }
}

std::string CStepFile::GetDescription() const {
  std::string text = GetKindName();
  if (!m_name.empty()) text += ": " + GetDisplayName();
  return LimitDescription(std::move(text));
}

std::string CStepFile::GetDisplayName() const {
  const std::size_t cut = m_name.find_last_of("\\:");
  return cut == std::string::npos ? m_name : m_name.substr(cut + 1);
}

bool CStepFile::SetName(const std::string& value) {
  m_name = value;
  return true;
}

std::string CStepFile::NameProblem() const {
  return IsMemoryData() ? std::string() : RelativeFileNameProblem(m_name);
}

// Only the name is required; file steps are not tested for duplicate names.
bool CStepFile::Validate(const StepList*, std::string* message) {
  return CStep::Validate(nullptr, message);
}

std::string CStepFile::GetKindName() const { return "--invalid use of base class--"; }

// The common record, then data size, creation time and modification time.
// A name the step may not have refuses the record as damage does.
bool CStepFile::ReadRecord(CCompressedFile* data) {
  if (!CStep::ReadRecord(data) || !NameProblem().empty()) return false;
  try {
    std::uint32_t size = 0;
    std::uint32_t created = 0;
    std::uint32_t modified = 0;
    if (!ReadUInt32(*data, size)) return false;
    SetDataSize(size);
    if (!ReadUInt32(*data, created)) return false;
    m_creationTime = static_cast<std::int32_t>(created);
    if (!ReadUInt32(*data, modified)) return false;
    m_modificationTime = static_cast<std::int32_t>(modified);
    return true;
  } catch (const CFileException& error) {
    if (error.Cause() == FileCause::none) return true;
    data->ReportFileError(&error);
    return false;
  }
}

}  // namespace velmora
