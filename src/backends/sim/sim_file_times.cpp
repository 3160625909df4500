// File times on the simulated machine.  The last-write time is the host
// file's own; creation and last-access times are kept by the sim (a host
// file system cannot set a creation time) for as long as the file is not
// written again.
#include <chrono>
#include <system_error>

#include "backends/sim/sim_machine.h"
#include "framework/ascii.h"

namespace velmora {
namespace fs = std::filesystem;
namespace {

std::int64_t ToSeconds(fs::file_time_type time) {
  const auto sys = std::chrono::file_clock::to_sys(time);
  return std::chrono::floor<std::chrono::seconds>(sys).time_since_epoch().count();
}

fs::file_time_type FromSeconds(std::int64_t seconds) {
  const std::chrono::sys_seconds sys{std::chrono::seconds(seconds)};
  return std::chrono::file_clock::from_sys(sys);
}

std::string TimesKey(const fs::path& host) { return AsciiLowered(host.string()); }

}  // namespace

FileCause SimMachine::GetFileTimes(const std::string& path, FileTimes& times) {
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  return TimesOf(location, times);
}

FileCause SimMachine::TimesOf(const Location& location, FileTimes& times) {
  if (location.kind == Kind::missing) return FileCause::fileNotFound;
  return HostTimesOf(location.host, times);
}

FileCause SimMachine::HostTimesOf(const fs::path& host, FileTimes& times) {
  std::error_code ec;
  const fs::file_time_type written = fs::last_write_time(host, ec);
  if (ec) return FileCause::generic;
  times.lastWrite = ToSeconds(written);
  times.creation = times.lastAccess = times.lastWrite;
  const auto kept = installState_.times.find(TimesKey(host));
  if (kept != installState_.times.end() && kept->second.lastWrite == times.lastWrite) {
    times.creation = kept->second.creation;
    times.lastAccess = kept->second.lastAccess;
  }
  return FileCause::none;
}

FileCause SimMachine::SetFileTimes(const std::string& path, const FileTimes& times) {
  Location location;
  if (const FileCause cause = Locate(path, location); cause != FileCause::none) return cause;
  FileTimes current;
  if (const FileCause cause = TimesOf(location, current); cause != FileCause::none) return cause;
  if (IsWriteProtected(location.win.drive)) return FileCause::accessDenied;
  return StoreHostTimes(location.host, current, times);
}

// Only a handle that may write may set times (FILE_WRITE_ATTRIBUTES).
FileCause SimMachine::SetOpenFileTimes(FileHandle handle, const FileTimes& times) {
  const OpenEntry* entry = Find(handle);
  if (entry == nullptr) return FileCause::invalidFile;
  if (entry->access == FileAccess::read) return FileCause::accessDenied;
  FileTimes current;
  if (const FileCause cause = HostTimesOf(entry->host, current); cause != FileCause::none)
    return cause;
  return StoreHostTimes(entry->host, current, times);
}

// Keeps the creation and last-access times beside the host file and gives
// it the last-write time; a field of 0 keeps what current holds.
FileCause SimMachine::StoreHostTimes(const fs::path& host, FileTimes current,
                                     const FileTimes& times) {
  if (times.lastWrite != 0) {
    std::error_code ec;
    fs::last_write_time(host, FromSeconds(times.lastWrite), ec);
    if (ec) return FileCause::accessDenied;
    current.lastWrite = times.lastWrite;
  }
  sim::KeptTimes& kept = installState_.times[TimesKey(host)];
  kept.creation = times.creation != 0 ? times.creation : current.creation;
  kept.lastAccess = times.lastAccess != 0 ? times.lastAccess : current.lastAccess;
  kept.lastWrite = current.lastWrite;
  return FileCause::none;
}

// A moved or renamed file keeps its times, as on Windows.
void SimMachine::MoveKeptTimes(const fs::path& from, const fs::path& to) {
  auto kept = installState_.times.extract(TimesKey(from));
  if (kept.empty()) return;
  installState_.times[TimesKey(to)] = kept.mapped();
}

}  // namespace velmora
