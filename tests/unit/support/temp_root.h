// A fresh host folder for one test, removed with everything in it when the
// test ends.  Machines under test are rooted here.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

// Tests of host-side details a Windows host does not have (symbolic links
// for anyone, names that differ only in case) skip there.
#ifdef _WIN32
#define VELMORA_SKIP_ON_WINDOWS_HOST(reason) GTEST_SKIP() << (reason)
#else
#define VELMORA_SKIP_ON_WINDOWS_HOST(reason) static_cast<void>(reason)
#endif

namespace velmora::testing {

// Where the folders are made: the host's memory-backed folder when it has
// one and TMPDIR names no other.  The simulated machine writes every file
// through to its host folder, and the tests that write thousands of small
// files would wait on a disk.
inline std::filesystem::path TempBase() {
#ifndef _WIN32
  std::error_code ec;
  if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm", ec))
    return "/dev/shm";
#endif
  return std::filesystem::temp_directory_path();
}

class TempRoot {
 public:
  explicit TempRoot(const std::string& tag = "root") {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = TempBase() / ("velmora-" + tag + "-" + std::to_string(random()) + "-" +
                          std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempRoot() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Host-side helpers for planting and inspecting files behind a machine's back.
inline void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace velmora::testing
