// Descriptions of message box styles, shared by the scripted backend's
// transcript and by the command-line tools.
#include "platform/ui.h"

namespace velmora {
namespace {

struct ButtonSet {
  const char* names;
  int ids[3];
};

ButtonSet ButtonsOf(std::uint32_t style) {
  switch (style & mb::typeMask) {
    case mb::okCancel: return {"OK/Cancel", {id::ok, id::cancel, 0}};
    case mb::abortRetryIgnore: return {"Abort/Retry/Ignore", {id::abort, id::retry, id::ignore}};
    case mb::yesNoCancel: return {"Yes/No/Cancel", {id::yes, id::no, id::cancel}};
    case mb::yesNo: return {"Yes/No", {id::yes, id::no, 0}};
    case mb::retryCancel: return {"Retry/Cancel", {id::retry, id::cancel, 0}};
    default: return {"OK", {id::ok, 0, 0}};
  }
}

}  // namespace

std::string ButtonNames(std::uint32_t style) { return ButtonsOf(style).names; }

int DefaultButton(std::uint32_t style) {
  const ButtonSet set = ButtonsOf(style);
  const unsigned index = (style & mb::defButtonMask) >> 8;
  // A default beyond the buttons the box has falls back to the first one.
  if (index < 3 && set.ids[index] != 0) return set.ids[index];
  return set.ids[0];
}

std::string IconName(std::uint32_t style) {
  switch (style & mb::iconMask) {
    case mb::iconStop: return "stop";
    case mb::iconQuestion: return "question";
    case mb::iconExclamation: return "exclamation";
    case mb::iconInformation: return "information";
    default: return "";
  }
}

}  // namespace velmora
