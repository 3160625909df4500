#include "backends/sim/sim_registry_names.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "framework/little_endian.h"

namespace velmora::sim {

std::string FoldName(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    const auto u = static_cast<unsigned char>(c);
    unsigned char lower = u;
    // ASCII and the accented capitals of the ANSI code page (but the
    // multiplication sign) lie 0x20 below their small letters.
    if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7))
      lower = static_cast<unsigned char>(u + 0x20);
    else if (u == 0x8A || u == 0x8C || u == 0x8E) lower = static_cast<unsigned char>(u + 0x10);
    else if (u == 0x9F) lower = 0xFF;
    c = static_cast<char>(lower);
  }
  return folded;
}

bool IsRootKey(hkey::Root root) { return root >= hkey::classesRoot && root <= hkey::dynData; }

namespace {

// Where each root's keys are stored.
std::vector<std::string> RootPrefix(hkey::Root root) {
  switch (root) {
    case hkey::classesRoot: return {kMachineTree, "Software", "Classes"};
    case hkey::currentUser: return {kUsersTree, kCurrentUserSid};
    case hkey::users: return {kUsersTree};
    case hkey::currentConfig:
      return {kMachineTree, "System", "CurrentControlSet", "Hardware Profiles", "Current"};
    case hkey::dynData: return {kDynDataTree};
    default: return {kMachineTree};
  }
}

}  // namespace

long ResolveKeyPath(hkey::Root root, const std::string& subKey, PathUse use,
                    std::vector<std::string>& parts) {
  std::size_t at = 0;
  if (use == PathUse::open && root == hkey::classesRoot && !subKey.empty() && subKey[0] == '\\')
    at = 1;
  if (subKey.size() - at > kMaxSubKeyPath) return winerror::moreData;
  if (at < subKey.size() && subKey[at] == '\\') return winerror::badPathname;
  parts = RootPrefix(root);
  while (at < subKey.size()) {
    const std::size_t end = std::min(subKey.find('\\', at), subKey.size());
    if (end > at) {
      if (end - at > kMaxKeyName) return winerror::invalidParameter;
      parts.push_back(subKey.substr(at, end - at));
    }
    at = end + 1;
  }
  return winerror::success;
}

const std::vector<std::vector<std::string>>& FixedKeys() {
  static const std::vector<std::vector<std::string>> keys = {
      {kMachineTree},
      {kUsersTree},
      {kDynDataTree},
      RootPrefix(hkey::classesRoot),
      RootPrefix(hkey::currentConfig),
      RootPrefix(hkey::currentUser),
  };
  return keys;
}

const std::vector<std::vector<std::string>>& InitialKeys() {
  static const std::vector<std::vector<std::string>> keys = [] {
    std::vector<std::vector<std::string>> all = FixedKeys();
    all.push_back({kUsersTree, ".Default"});
    all.push_back({kDynDataTree, "Config Manager"});
    all.push_back({kDynDataTree, "PerfStats", "StatData"});
    return all;
  }();
  return keys;
}

namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  StoreU16(out.data() + at, static_cast<std::uint16_t>(v));
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  StoreU32(out.data() + at, v);
}
void Put64(std::vector<std::uint8_t>& out, std::size_t at, std::uint64_t v) {
  StoreU64(out.data() + at, v);
}

}  // namespace

// PERF_DATA_BLOCK: signature L"PERF", little-endian flag, version 1.1,
// total and header length, no object types, SYSTEMTIME (UTC), performance
// time, frequency and 100 ns time, then the system name in UTF-16 padded
// to a multiple of 8 bytes.
std::vector<std::uint8_t> PerformanceDataBlock() {
  constexpr std::size_t kHeader = 88;
  const std::string systemName = "SIM";
  const std::size_t nameBytes = (systemName.size() + 1) * 2;
  const std::size_t total = (kHeader + nameBytes + 7) / 8 * 8;
  std::vector<std::uint8_t> block(total, 0);
  const char* signature = "PERF";
  for (int i = 0; i < 4; ++i)
    block[static_cast<std::size_t>(i) * 2] = static_cast<std::uint8_t>(signature[i]);
  Put32(block, 8, 1);
  Put32(block, 12, 1);
  Put32(block, 16, 1);
  Put32(block, 20, static_cast<std::uint32_t>(total));
  Put32(block, 24, static_cast<std::uint32_t>(total));
  Put32(block, 28, 0);

  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  if (const std::tm* utc = std::gmtime(&seconds)) {
    Put16(block, 36, static_cast<std::uint32_t>(utc->tm_year + 1900));
    Put16(block, 38, static_cast<std::uint32_t>(utc->tm_mon + 1));
    Put16(block, 40, static_cast<std::uint32_t>(utc->tm_wday));
    Put16(block, 42, static_cast<std::uint32_t>(utc->tm_mday));
    Put16(block, 44, static_cast<std::uint32_t>(utc->tm_hour));
    Put16(block, 46, static_cast<std::uint32_t>(utc->tm_min));
    Put16(block, 48, static_cast<std::uint32_t>(utc->tm_sec));
    Put16(block, 50, static_cast<std::uint32_t>(millis));
  }
  const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count() /
                     100;
  // FILETIME counts 100 ns steps from 1601, 11644473600 s before 1970.
  const auto filetime = (static_cast<std::uint64_t>(seconds) + 11644473600ull) * 10000000ull +
                        static_cast<std::uint64_t>(millis) * 10000ull;
  // The 64-bit fields are 8-aligned: four bytes of padding precede them.
  Put64(block, 56, static_cast<std::uint64_t>(ticks));
  Put64(block, 64, 10000000);
  Put64(block, 72, filetime);
  Put32(block, 80, static_cast<std::uint32_t>(nameBytes));
  Put32(block, 84, static_cast<std::uint32_t>(kHeader));
  for (std::size_t i = 0; i < systemName.size(); ++i)
    block[kHeader + i * 2] = static_cast<std::uint8_t>(systemName[i]);
  return block;
}

}  // namespace velmora::sim
