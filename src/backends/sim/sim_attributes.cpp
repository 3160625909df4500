#include "backends/sim/sim_attributes.h"

#include <fstream>
#include <system_error>
#include <vector>

#include "platform/machine.h"

namespace velmora::sim {
namespace {

std::uint32_t DefaultBits(bool isDirectory) { return isDirectory ? 0 : attr::archive; }

}  // namespace

AttributeStore::AttributeStore(std::filesystem::path storeFile) : file_(std::move(storeFile)) {
  Load();
}

// Visits key itself and every key below it ("key/...").
template <typename F>
bool AttributeStore::ForSubtree(const std::string& key, F&& visit) {
  std::vector<std::string> hits;
  for (auto it = bits_.lower_bound(key); it != bits_.end(); ++it) {
    const std::string& k = it->first;
    if (k.compare(0, key.size(), key) != 0) break;
    if (k.size() == key.size() || k[key.size()] == '/') hits.push_back(k);
  }
  for (const std::string& k : hits) visit(k);
  return !hits.empty();
}

std::uint32_t AttributeStore::Get(const std::string& key, bool isDirectory) const {
  const auto it = bits_.find(key);
  return it == bits_.end() ? DefaultBits(isDirectory) : (it->second & kStoredBits);
}

void AttributeStore::Set(const std::string& key, bool isDirectory, std::uint32_t bits) {
  bits &= kStoredBits;
  const auto it = bits_.find(key);
  if (bits == DefaultBits(isDirectory)) {
    if (it == bits_.end()) return;
    bits_.erase(it);
  } else {
    if (it != bits_.end() && it->second == bits) return;
    bits_[key] = bits;
  }
  Save();
}

void AttributeStore::Erase(const std::string& key) {
  if (ForSubtree(key, [this](const std::string& k) { bits_.erase(k); })) Save();
}

void AttributeStore::Move(const std::string& from, const std::string& to) {
  if (from == to) return;
  Erase(to);
  std::map<std::string, std::uint32_t> moved;
  const bool any = ForSubtree(from, [&](const std::string& k) {
    moved[to + k.substr(from.size())] = bits_[k];
    bits_.erase(k);
  });
  if (!any) return;
  bits_.merge(moved);
  Save();
}

// One line per entry: hex bits, a tab, the key.  Keys cannot hold a tab or
// a line break: Windows names refuse control characters.
void AttributeStore::Load() {
  if (file_.empty()) return;
  std::ifstream in(file_);
  std::string line;
  while (std::getline(in, line)) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos || tab == 0) continue;
    try {
      bits_[line.substr(tab + 1)] =
          static_cast<std::uint32_t>(std::stoul(line.substr(0, tab), nullptr, 16)) & kStoredBits;
    } catch (const std::exception&) {
      // A damaged line loses that entry only.
    }
  }
}

void AttributeStore::Save() const {
  if (file_.empty()) return;
  // Write a new copy and rename it over the old one, so an interrupted
  // save leaves the previous store intact.
  std::filesystem::path temp = file_;
  temp += ".new";
  {
    std::ofstream out(temp, std::ios::trunc);
    for (const auto& [key, bits] : bits_) out << std::hex << bits << '\t' << key << '\n';
    if (!out) return;
  }
  std::error_code ec;
  std::filesystem::rename(temp, file_, ec);
}

}  // namespace velmora::sim
