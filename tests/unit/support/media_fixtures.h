// The independent fixtures of tests/data (tests/data/README.md), read from
// the source tree: tests/CMakeLists.txt compiles its path in as
// VELMORA_TEST_DATA.  Where that folder cannot be reached (a test binary
// run on another machine) the fixture tests skip.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "unit/support/json_value.h"

namespace velmora::test {

inline std::filesystem::path TestDataPath(const std::string& relative) {
  return std::filesystem::path(VELMORA_TEST_DATA) / relative;
}

inline std::vector<std::uint8_t> ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline JsonValue ReadJsonFile(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = ReadHostFile(path);
  return ParseJson(std::string(bytes.begin(), bytes.end())).value_or(JsonValue{});
}

// The entries of a folder of tests/data, sorted by name; empty when it is
// not there.
inline std::vector<std::filesystem::path> TestDataEntries(const std::string& relative) {
  std::vector<std::filesystem::path> entries;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(TestDataPath(relative), error))
    entries.push_back(entry.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

// One package of tests/data/media: its media files and what they hold.
struct MediaFixture {
  std::string name;                                        // the folder: m* valid, e* to be refused
  std::vector<std::pair<std::string, std::string>> files;  // name, bytes
  JsonValue expected;

  bool Valid() const { return name[0] == 'm'; }
};

inline std::vector<MediaFixture> LoadMediaFixtures() {
  std::vector<MediaFixture> fixtures;
  for (const std::filesystem::path& folder : TestDataEntries("media")) {
    MediaFixture fixture{folder.filename().string(), {}, ReadJsonFile(folder / "expected.json")};
    for (const std::filesystem::path& file : TestDataEntries("media/" + fixture.name)) {
      if (file.filename() == "expected.json") continue;
      const std::vector<std::uint8_t> bytes = ReadHostFile(file);
      fixture.files.emplace_back(file.filename().string(), std::string(bytes.begin(), bytes.end()));
    }
    fixtures.push_back(std::move(fixture));
  }
  return fixtures;
}

}  // namespace velmora::test
