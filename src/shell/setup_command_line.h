// The command line of SETUP.EXE and of its uninstaller copies.
//
//   SETUP.EXE [/quiet] [/answers FILE [/strict]] [/record FILE] [/log FILE]
//   XTitle.exe [/quiet] [/log FILE] LOGPATH
//
// Options are matched without regard to case; a file name may be quoted
// (it must be when it holds blanks).  In install mode the options come in
// any order and nothing else may follow.  In uninstall mode they come only
// at the start: the rest of the line is the uninstall log's path, taken as
// the uninstaller always took its whole command line, so entries written
// before the options existed keep working.
#pragma once

#include <string>

namespace velmora {

struct SetupOptions {
  bool quiet = false;            // no window at all; prompts answered by rules or defaults
  std::string answersPath;       // answer file (install mode)
  bool strict = false;           // an answer rule that never answers a prompt fails the run
  std::string recordPath;        // answer file written with the run's answers (install mode)
  std::string logPath;           // text log, written as the run goes
  std::string arguments;         // uninstall mode: what follows the options (the log path)
  std::string uninstallLogPath;  // uninstall mode: that path, without blanks or quotes around it
  std::string error;             // a bad command line, in words; "" when it is good
};

SetupOptions ParseSetupCommandLine(const std::string& commandLine, bool installMode);

}  // namespace velmora
