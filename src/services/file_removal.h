// Removing a file that may be in use.
#pragma once

#include <string>

#include "framework/file_exception.h"

namespace velmora {

// How RemoveFileNowOrAtRestart ended.
enum class Removal {
  removed,    // the file is gone (or was not there)
  atRestart,  // it could not be deleted now; the system deletes it when it next starts
  failed,     // neither could be done
};

// Deletes the file, clearing its read-only attribute first; answers the
// deletion's cause.
FileCause RemoveFileNow(const std::string& path);

// The same, and when the deletion fails for another reason than the file
// being absent (a running program or a loaded library can be renamed but
// not deleted), the file is given to the system to delete at its next
// start: moved to a fresh unique name in its own directory first, so that
// the deletion never reaches a file placed at the path before that start;
// under its own name only when it cannot be moved.  Never in a directory
// users may write: the file stays (failed).
Removal RemoveFileNowOrAtRestart(const std::string& path);

// A file is placed at `path`: a deletion of that name waiting for the next
// start of the system (left by an earlier uninstallation that could not
// rename the file aside) is dropped, so the new file survives the start.
// True when a request was dropped.
bool CancelDeletionAtRestart(const std::string& path);

}  // namespace velmora
