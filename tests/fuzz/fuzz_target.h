// What every fuzz target shares: the libFuzzer entry point's signature, a
// memory machine and an answering user interface installed for the length
// of one input, and the bound on what a reader may be asked to deliver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "backends/scripted/scripted_ui.h"
#include "framework/file.h"
#include "platform/machine.h"
#include "platform/ui.h"
#include "unit/support/memory_machine.h"

// Each target defines this; libFuzzer calls it once per input, and the
// replay driver (replay_main.cpp) once per corpus file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace velmora::fuzz {

// The most any target asks a reader to deliver for one input.  Campaigns run
// with a 64 MiB allocation limit, so a reader that allocates by a length it
// read rather than by what it was asked for fails there.
inline constexpr std::uint32_t kOutputBound = 4u << 20;

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline std::vector<std::uint8_t> AsBytes(const std::uint8_t* data, std::size_t size) {
  return {data, data + size};
}

// A fresh memory machine and a scripted user interface that answers every
// prompt with its default (and so never waits), both current while it lives.
class Sandbox {
 public:
  Sandbox() = default;
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  // Puts the input on the machine at `path` and opens it for reading, as
  // the programs open what they read.
  void OpenInput(CFile& file, const char* path, const std::uint8_t* data, std::size_t size) {
    machine.SetFile(path, AsBytes(data, size));
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) std::abort();
  }

  test::MemoryMachine machine;
  ScriptedUi ui;

 private:
  ScopedMachine machine_scope_{machine};
  ScopedUi ui_scope_{ui};
};

}  // namespace velmora::fuzz
