// CCompressedFile::ReportFileError: the general file error report, shown
// through the current Ui for everything read through the stream.
#include "datafile/compressed_file.h"
#include "platform/ui.h"
#include "services/file_error_report.h"

namespace velmora {

int CCompressedFile::ReportFileError(const CFileException* error) {
  const int cause = error != nullptr ? error->m_cause : static_cast<int>(FileCause::generic);
  return AppMessageBox(GeneralFileErrorText(cause), mb::ok | mb::iconExclamation);
}

}  // namespace velmora
