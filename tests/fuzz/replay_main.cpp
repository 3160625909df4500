// Runs the fuzz targets over files without libFuzzer, for the regression
// pass of the test suite (any compiler, any sanitizer):
//   velmora_fuzz_replay TARGET FILE|FOLDER...
// gives every file named, and every file in every folder named, to the
// target once.  A crash or abort fails the run; so does a folder with
// nothing in it, which would otherwise test nothing.  Each target's entry
// point is compiled under a name of its own (fuzz_targets.inc, made by
// CMake), so one program holds them all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define VELMORA_FUZZ_TARGET(name) \
  extern "C" int VelmoraFuzz_##name(const std::uint8_t*, std::size_t);
#include "fuzz_targets.inc"
#undef VELMORA_FUZZ_TARGET

namespace {

using Target = int (*)(const std::uint8_t*, std::size_t);

struct NamedTarget {
  const char* name;
  Target run;
};

constexpr NamedTarget kTargets[] = {
#define VELMORA_FUZZ_TARGET(name) {#name, VelmoraFuzz_##name},
#include "fuzz_targets.inc"
#undef VELMORA_FUZZ_TARGET
};

int RunFile(Target target, const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
    return 1;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  // A copy of exactly the input's size, so that the sanitizers see a read
  // past its end.
  std::vector<std::uint8_t> input(bytes);
  target(input.data(), input.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const auto* found =
      argc < 3 ? std::end(kTargets)
               : std::find_if(std::begin(kTargets), std::end(kTargets),
                              [&](const NamedTarget& t) { return argv[1] == std::string(t.name); });
  if (found == std::end(kTargets)) {
    std::fprintf(stderr, "usage: %s TARGET FILE|FOLDER...\ntargets:", argv[0]);
    for (const NamedTarget& target : kTargets) std::fprintf(stderr, " %s", target.name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  int failures = 0;
  std::size_t inputs = 0;
  for (int i = 2; i < argc; ++i) {
    const std::filesystem::path path = argv[i];
    std::vector<std::filesystem::path> files;
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file()) files.push_back(entry.path());
      if (files.empty()) {
        std::fprintf(stderr, "%s: no inputs\n", path.c_str());
        ++failures;
      }
    } else {
      files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) failures += RunFile(found->run, file);
    inputs += files.size();
  }
  std::printf("%s: %zu inputs run\n", found->name, inputs);
  return failures == 0 ? 0 : 1;
}
