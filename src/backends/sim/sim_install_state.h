// What the simulated machine keeps for the file installation operations:
// file times the host cannot hold (creation and last-access time), and the
// component registrations and programs that were started, with the answers
// tests want them to give.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace velmora::sim {

struct KeptTimes {
  std::int64_t creation = 0;
  std::int64_t lastAccess = 0;
  // The host's last-write time when these were kept: a file written since
  // (or another file under the same name) no longer matches and gets its
  // last-write time for all three.
  std::int64_t lastWrite = 0;
};

struct InstallState {
  // Keyed by the host path, lower case.
  std::map<std::string, KeptTimes> times;

  // Every in-process registration call that ran: "DllRegisterServer C:\X.DLL".
  std::vector<std::string> registrations;
  // HRESULT an entry point answers, by full Windows path in upper case;
  // S_OK for a path not listed.
  std::map<std::string, long> entryResults;
  bool oleAvailable = true;

  // Every program RunProgram ran: its full path, a blank, its arguments;
  // and the exit code each answers, by full Windows path in upper case (0
  // for a program not listed).
  std::vector<std::string> programRuns;
  std::map<std::string, std::uint32_t> exitCodes;
};

}  // namespace velmora::sim
