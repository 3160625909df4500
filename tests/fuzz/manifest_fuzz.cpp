// The manifest loader of `velmora pack` on any text.  The manifest lies in a
// folder of its own beside two small source files, so that file steps can
// name real sources; a manifest it cannot use is a ManifestError with a
// line, never another exception.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz_target.h"
#include "manifest_loader.h"
#include "steps/step.h"

using namespace velmora;

namespace {

const std::filesystem::path& Folder();

std::filesystem::path MakeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "velmora-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  const std::filesystem::path folder = pattern;
  std::ofstream(folder / "a.txt", std::ios::binary) << "alpha\r\n";
  std::filesystem::create_directory(folder / "sub");
  std::ofstream(folder / "sub" / "b.dll", std::ios::binary) << "MZ";
  std::atexit([] { std::filesystem::remove_all(Folder()); });
  return folder;
}

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = MakeFolder();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path manifest = Folder() / "manifest.toml";
  std::ofstream(manifest, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  try {
    (void)cli::LoadManifest(manifest);
  } catch (const cli::ManifestError&) {
  }
  return 0;
}
