// Process-wide accessors of the current machine and user interface.  The
// system has one thread, so plain pointers suffice.
#include <stdexcept>

#include "platform/machine.h"
#include "platform/ui.h"

namespace velmora {
namespace {

Machine* g_machine = nullptr;
Ui* g_ui = nullptr;

}  // namespace

Machine& CurrentMachine() {
  if (g_machine == nullptr) throw std::logic_error("no machine installed");
  return *g_machine;
}

void SetCurrentMachine(Machine* machine) { g_machine = machine; }

ScopedMachine::ScopedMachine(Machine& machine) : previous_(g_machine) { g_machine = &machine; }
ScopedMachine::~ScopedMachine() { g_machine = previous_; }

Ui& CurrentUi() {
  if (g_ui == nullptr) throw std::logic_error("no user interface installed");
  return *g_ui;
}

void SetCurrentUi(Ui* ui) { g_ui = ui; }

void Ui::Note(RunNote, const std::string&) {}

ScopedUi::ScopedUi(Ui& ui) : previous_(g_ui) { g_ui = &ui; }
ScopedUi::~ScopedUi() { g_ui = previous_; }

const std::string& AppTitle() {
  static const std::string title = "Setup";
  return title;
}

int AppMessageBox(const std::string& text, std::uint32_t style) {
  return CurrentUi().MessageBox(text, AppTitle(), style);
}

}  // namespace velmora
