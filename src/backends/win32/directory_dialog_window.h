// The directory question (dialog 103): the step's question above an
// editable path, with "Browse ..." opening the folder browser.
#pragma once

namespace velmora {

class CDirectoryDialog;

// Runs the dialog modally, without a parent window.  The fields go into the
// controls when it opens; on OK the path comes back into dialog.m_path.
// Answers IDOK or IDCANCEL.
int RunDirectoryDialogWindow(CDirectoryDialog& dialog);

}  // namespace velmora
