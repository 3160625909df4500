// What a registry value or an ini entry held before a step wrote it, so
// that the step's roll-back puts back exactly that: the value's type and
// all its bytes, the entry's whole text, or nothing (the value or entry is
// then deleted).
//
// Each object serves one place: Take reads it, Write writes the step's
// value there, Restore undoes that write.  Restore acts only after a
// write that succeeded, and only once: on an object that never wrote, and
// on a second call, it changes nothing.  A key, profile file or section
// that the write created stays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/machine.h"
#include "services/registry.h"

namespace velmora {

class SavedRegistryValue {
 public:
  // Reads what the value at place holds: its type and bytes, or nothing
  // when the key or the value is missing.  False when it cannot be read
  // otherwise; Write then refuses, as nothing could be put back.  Once a
  // write was made, what was read before it is kept.
  bool Take(const RegistryEntry& place);
  // Take read the place (there may have been no value).
  bool Known() const { return state_ != State::unread; }
  // The value read, as ReadRegistryString with a buffer of bufferSize
  // bytes gives it: empty unless a string that fits.
  std::string Text(std::uint32_t bufferSize) const;
  // Writes text as a REG_SZ value.  False, with nothing written, when the
  // write fails or Take did not read the place.
  bool Write(const std::string& text);
  // The same for a REG_DWORD value.
  bool WriteDword(std::uint32_t value);
  // Deletes the value (true when there was none); Restore puts it back.
  bool Erase();
  // Puts back what Take read: the same type and bytes, or no value.  True
  // when that succeeded or there was nothing to undo.
  bool Restore();
  // The registry's result of the last Take or Write that failed.
  long LastError() const { return lastError_; }

 private:
  enum class State { unread, read, written };
  State state_ = State::unread;
  long lastError_ = winerror::success;
  RegistryEntry place_;
  std::optional<RegData> previous_;  // nullopt: there was no value
};

class SavedIniEntry {
 public:
  // Reads the entry's whole text, or nothing when there is no entry.  Once
  // a write was made, what was read before it is kept.
  void Take(const std::string& file, const std::string& section, const std::string& entry);
  // The text read, cut as a read into a buffer of bufferSize bytes cuts it;
  // empty when there was no entry.
  std::string Text(std::uint32_t bufferSize) const;
  // Writes value to the entry; the profile function's answer.  Without a
  // Take, nothing is written (FileCause::generic).
  FileCause Write(const std::string& value);
  // Puts back the text read, or deletes the entry when there was none.
  // True when that succeeded or there was nothing to undo.
  bool Restore();

 private:
  enum class State { unread, read, written };
  State state_ = State::unread;
  std::string file_, section_, entry_;
  std::optional<std::string> previous_;  // nullopt: there was no entry
};

// The messages (OK, exclamation icon) of a step whose value cannot be
// read or written; why, when given, follows the place after a colon.
// A failed registry step's reason: "Access Denied: HKEY_LOCAL_MACHINE\\...".
std::string RegistryFailureReason(long result, const std::string& regEntry);

void ReportRegistryFailure(const char* action, const std::string& regEntry,
                           const std::string& why = {});
void ReportIniFailure(const std::string& entry, const std::string& file,
                      const std::string& why = {});
// The reason given when a directory and a value joined do not fit.
std::string TooLongReason();

}  // namespace velmora
