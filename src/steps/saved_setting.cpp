#include "steps/saved_setting.h"

#include "platform/path_limit.h"
#include "platform/ui.h"
#include "steps/resolve_value.h"

namespace velmora {
namespace {

// A profile read starts with the platform's path buffer and doubles it
// until the text fits with room to spare (a quoted text loses one more
// character when it only just fits), up to a limit no entry reaches.
constexpr std::uint32_t kLongestProfileRead = 1u << 20;

std::string ReadWholeEntry(const std::string& file, const std::string& section,
                           const std::string& entry, const std::string& fallback) {
  for (std::uint32_t size = kMaxPathBytes;; size *= 2) {
    std::string text = CurrentMachine().QueryProfileString(file, section, entry, fallback, size);
    if (text.size() + 2 < size || size >= kLongestProfileRead) return text;
  }
}

void Warn(const std::string& text) { AppMessageBox(text, mb::ok | mb::iconExclamation); }

std::string Ending(const std::string& why) { return why.empty() ? "." : ": " + why + "."; }

}  // namespace

bool SavedRegistryValue::Take(const RegistryEntry& place) {
  if (state_ == State::written) return true;
  place_ = place;
  RegData data;
  const long result = QueryRegistryValue(place.root, place.subKey, place.valueName, data);
  if (result == winerror::success) {
    previous_ = std::move(data);
  } else if (result == winerror::fileNotFound) {
    previous_.reset();
  } else {
    state_ = State::unread;
    lastError_ = result;
    return false;
  }
  state_ = State::read;
  return true;
}

std::string SavedRegistryValue::Text(std::uint32_t bufferSize) const {
  if (state_ == State::unread || !previous_) return {};
  return RegistryStringOf(*previous_, bufferSize);
}

bool SavedRegistryValue::Write(const std::string& text) {
  if (state_ == State::unread) return false;
  const long result = SetRegistryString(place_.root, place_.subKey, place_.valueName, text);
  if (result != winerror::success) {
    lastError_ = result;
    return false;
  }
  state_ = State::written;
  return true;
}

bool SavedRegistryValue::WriteDword(std::uint32_t value) {
  if (state_ == State::unread) return false;
  if (!WriteRegistryDword(place_.root, place_.subKey, place_.valueName, value)) return false;
  state_ = State::written;
  return true;
}

bool SavedRegistryValue::Erase() {
  if (state_ == State::unread) return false;
  if (!previous_) return true;
  if (!DeleteRegistryValue(place_.root, place_.subKey, place_.valueName)) return false;
  state_ = State::written;
  return true;
}

bool SavedRegistryValue::Restore() {
  if (state_ != State::written) return true;
  state_ = State::read;
  if (!previous_) return DeleteRegistryValue(place_.root, place_.subKey, place_.valueName);
  return WriteRegistryValue(place_.root, place_.subKey, place_.valueName, previous_->type,
                            previous_->bytes);
}

// The profile functions answer the default for a missing entry.  An answer
// other than the first default is the entry's text; one equal to it is
// the entry's text only when a read with another default gives it too.
void SavedIniEntry::Take(const std::string& file, const std::string& section,
                         const std::string& entry) {
  if (state_ == State::written) return;
  file_ = file;
  section_ = section;
  entry_ = entry;
  state_ = State::read;
  static const std::string kFirst(1, '\x01'), kSecond(1, '\x02');
  std::string text = ReadWholeEntry(file, section, entry, kFirst);
  if (text == kFirst) {
    text = ReadWholeEntry(file, section, entry, kSecond);
    if (text == kSecond) {
      previous_.reset();
      return;
    }
  }
  previous_ = std::move(text);
}

std::string SavedIniEntry::Text(std::uint32_t bufferSize) const {
  if (state_ == State::unread || !previous_ || bufferSize == 0) return {};
  return previous_->substr(0, bufferSize - 1);
}

FileCause SavedIniEntry::Write(const std::string& value) {
  if (state_ == State::unread) return FileCause::generic;
  const FileCause cause = CurrentMachine().SetProfileString(file_, section_, entry_, value);
  if (cause == FileCause::none) state_ = State::written;
  return cause;
}

bool SavedIniEntry::Restore() {
  if (state_ != State::written) return true;
  state_ = State::read;
  Machine& machine = CurrentMachine();
  const FileCause cause = previous_ ? machine.SetProfileString(file_, section_, entry_, *previous_)
                                    : machine.DeleteProfileKey(file_, section_, entry_);
  return cause == FileCause::none;
}

std::string RegistryFailureReason(long result, const std::string& regEntry) {
  return RegistryErrorText(result) + ": " + regEntry;
}

void ReportRegistryFailure(const char* action, const std::string& regEntry,
                           const std::string& why) {
  Warn(std::string("Unable to ") + action + " registry value " + regEntry + Ending(why));
}

void ReportIniFailure(const std::string& entry, const std::string& file, const std::string& why) {
  Warn("Unable to write " + entry + " to " + file + Ending(why));
}

std::string TooLongReason() {
  return "the value is longer than " + std::to_string(kMaxResolvedLength) + " characters";
}

}  // namespace velmora
