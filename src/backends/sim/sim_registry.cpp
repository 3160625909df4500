#include "backends/sim/sim_registry.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "backends/sim/sim_registry_names.h"
#include "backends/sim/sim_registry_store.h"

namespace velmora::sim {
namespace fs = std::filesystem;

namespace {

bool IsStringType(std::uint32_t type) {
  return type == regtype::sz || type == regtype::expandSz || type == regtype::multiSz;
}

bool IsFixedKey(const std::string& folded) {
  const auto& fixed = FixedKeys();
  return std::any_of(fixed.begin(), fixed.end(), [&](const std::vector<std::string>& parts) {
    return FoldedPath(parts) == folded;
  });
}

// Wine answers the value names "Counter" and "Help" of HKEY_PERFORMANCE_DATA
// from the English performance texts in the machine tree.
const std::vector<std::string>& PerformanceTextKey() {
  static const std::vector<std::string> parts = {
      kMachineTree, "Software", "Microsoft", "Windows NT", "CurrentVersion", "Perflib", "009"};
  return parts;
}

long Answer(std::uint32_t type, std::vector<std::uint8_t> bytes, std::uint32_t available,
            RegData& data) {
  data.type = type;
  data.size = static_cast<std::uint32_t>(bytes.size());
  if (data.size > available) return winerror::moreData;
  data.bytes = std::move(bytes);
  return winerror::success;
}

}  // namespace

SimRegistry::SimRegistry(fs::path storeFile) : file_(std::move(storeFile)) {
  Load();
  for (const auto& parts : InitialKeys()) EnsureKey(keys_, parts);
}

void SimRegistry::InjectFault(const std::string& operation, int nth, long error) {
  static constexpr std::array<const char*, 5> kOperations = {
      "QueryRegValue", "SetRegValue", "DeleteRegKey", "DeleteRegValue", "ListRegKey"};
  if (std::find(kOperations.begin(), kOperations.end(), operation) == kOperations.end())
    throw std::invalid_argument("no registry operation named '" + operation + "'");
  if (nth < 1) throw std::invalid_argument("fault call number must be 1 or more");
  if (error == winerror::success) throw std::invalid_argument("a fault needs an error code");
  faults_.push_back({operation, nth, error});
}

long SimRegistry::NextFault(const std::string& operation) {
  ++calls_[operation];
  long due = winerror::success;
  for (Fault& fault : faults_) {
    if (fault.operation != operation) continue;
    if (--fault.remaining == 0 && due == winerror::success) due = fault.error;
  }
  std::erase_if(faults_, [](const Fault& fault) { return fault.remaining <= 0; });
  return due;
}

long SimRegistry::Find(hkey::Root root, const std::string& subKey, const StoredKey*& key) const {
  key = nullptr;
  std::vector<std::string> parts;
  if (const long error = ResolveKeyPath(root, subKey, PathUse::open, parts)) return error;
  const auto it = keys_.find(FoldedPath(parts));
  if (it == keys_.end()) return winerror::fileNotFound;
  key = &it->second;
  return winerror::success;
}

long SimRegistry::QueryValue(hkey::Root root, const std::string& subKey,
                             const std::string& valueName, std::uint32_t available, RegData& data) {
  data = RegData{};
  if (const long fault = NextFault("QueryRegValue")) return fault;
  if (!IsRootKey(root)) return winerror::invalidHandle;
  if (root == hkey::performanceData) {
    if (!subKey.empty()) return winerror::invalidHandle;
    const std::string folded = FoldName(valueName);
    if (folded != "counter" && folded != "help")
      return Answer(regtype::binary, PerformanceDataBlock(), available, data);
    const auto texts = keys_.find(FoldedPath(PerformanceTextKey()));
    if (texts == keys_.end()) return winerror::fileNotFound;
    const auto text = texts->second.values.find(folded);
    if (text == texts->second.values.end()) return winerror::fileNotFound;
    return Answer(regtype::multiSz, text->second.bytes, available, data);
  }
  const StoredKey* key = nullptr;
  if (const long error = Find(root, subKey, key)) return error;
  const auto value = key->values.find(FoldName(valueName));
  if (value == key->values.end()) return winerror::fileNotFound;
  return Answer(value->second.type, value->second.bytes, available, data);
}

long SimRegistry::SetValue(hkey::Root root, const std::string& subKey, const std::string& valueName,
                           std::uint32_t type, const void* bytes, std::uint32_t size) {
  if (const long fault = NextFault("SetRegValue")) return fault;
  if (!IsRootKey(root) || root == hkey::performanceData) return winerror::invalidHandle;
  std::vector<std::string> parts;
  if (const long error = ResolveKeyPath(root, subKey, PathUse::create, parts)) return error;
  if (valueName.size() > kMaxValueName || (bytes == nullptr && size > 0))
    return winerror::invalidParameter;

  const auto* first = static_cast<const std::uint8_t*>(bytes);
  std::vector<std::uint8_t> data(first, first + size);
  if (IsStringType(type) && !data.empty() && data.back() != 0) data.push_back(0);

  std::vector<std::string> created;
  StoredKey& key = EnsureKey(keys_, parts, &created);
  const std::string folded = FoldName(valueName);
  std::optional<RegValue> previous;
  if (const auto it = key.values.find(folded); it != key.values.end()) previous = it->second;
  // An existing value keeps the case of its name.
  key.values[folded] = RegValue{previous ? previous->name : valueName, type, std::move(data)};

  if (IsVolatile(FoldedPath(parts)) || Save()) return winerror::success;
  if (previous) key.values[folded] = *previous;
  else key.values.erase(folded);
  for (auto it = created.rbegin(); it != created.rend(); ++it) keys_.erase(*it);
  return winerror::registryIoFailed;
}

long SimRegistry::DeleteKey(hkey::Root root, const std::string& subKey) {
  if (const long fault = NextFault("DeleteRegKey")) return fault;
  if (!IsRootKey(root) || root == hkey::performanceData) return winerror::invalidHandle;
  std::vector<std::string> parts;
  if (const long error = ResolveKeyPath(root, subKey, PathUse::create, parts)) return error;
  const std::string folded = FoldedPath(parts);
  const auto it = keys_.find(folded);
  if (it == keys_.end()) return winerror::fileNotFound;
  if (IsFixedKey(folded) || HasSubkeys(keys_, folded)) return winerror::accessDenied;

  StoredKey removed = std::move(it->second);
  keys_.erase(it);
  if (IsVolatile(folded) || Save()) return winerror::success;
  keys_.emplace(folded, std::move(removed));
  return winerror::registryIoFailed;
}

// The key is opened as RegOpenKeyExA opens it, so HKEY_CLASSES_ROOT skips
// one leading backslash here too.
long SimRegistry::DeleteValue(hkey::Root root, const std::string& subKey,
                              const std::string& valueName) {
  if (const long fault = NextFault("DeleteRegValue")) return fault;
  if (!IsRootKey(root) || root == hkey::performanceData) return winerror::invalidHandle;
  std::vector<std::string> parts;
  if (const long error = ResolveKeyPath(root, subKey, PathUse::open, parts)) return error;
  const std::string folded = FoldedPath(parts);
  const auto key = keys_.find(folded);
  if (key == keys_.end()) return winerror::fileNotFound;
  const auto value = key->second.values.find(FoldName(valueName));
  if (value == key->second.values.end()) return winerror::fileNotFound;

  RegValue removed = std::move(value->second);
  key->second.values.erase(value);
  if (IsVolatile(folded) || Save()) return winerror::success;
  key->second.values.emplace(FoldName(valueName), std::move(removed));
  return winerror::registryIoFailed;
}

long SimRegistry::ListKey(hkey::Root root, const std::string& subKey,
                          std::vector<std::string>& subKeys, std::vector<RegValue>& values) {
  subKeys.clear();
  values.clear();
  if (const long fault = NextFault("ListRegKey")) return fault;
  if (!IsRootKey(root) || root == hkey::performanceData) return winerror::invalidHandle;
  std::vector<std::string> parts;
  if (const long error = ResolveKeyPath(root, subKey, PathUse::open, parts)) return error;
  const std::string folded = FoldedPath(parts);
  const auto it = keys_.find(folded);
  if (it == keys_.end()) return winerror::fileNotFound;
  subKeys = SubkeyNames(keys_, folded);
  for (const auto& [name, value] : it->second.values) values.push_back(value);
  return winerror::success;
}

bool SimRegistry::TakeValue(hkey::Root root, const std::string& subKey,
                            const std::string& valueName, RegValue& value) {
  std::vector<std::string> parts;
  if (!IsRootKey(root) || root == hkey::performanceData ||
      ResolveKeyPath(root, subKey, PathUse::open, parts) != winerror::success)
    return false;
  const std::string folded = FoldedPath(parts);
  const auto key = keys_.find(folded);
  if (key == keys_.end()) return false;
  const auto it = key->second.values.find(FoldName(valueName));
  if (it == key->second.values.end()) return false;
  value = std::move(it->second);
  key->second.values.erase(it);
  if (IsVolatile(folded) || Save()) return true;
  key->second.values[FoldName(valueName)] = value;
  return false;
}

// ---- the file -----------------------------------------------------------------

void SimRegistry::Load() {
  if (file_.empty()) return;
  std::error_code ec;
  const fs::file_status status = fs::status(file_, ec);
  if (status.type() == fs::file_type::not_found) return;  // a new machine
  if (ec || !fs::is_regular_file(status))
    throw std::runtime_error("registry store " + file_.string() + " is not a readable file");
  std::ifstream in(file_, std::ios::binary);
  if (!in.is_open()) throw std::runtime_error("cannot open registry store " + file_.string());
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ParseStore(text, file_.string(), keys_);
}

// Writes a new copy and renames it over the old one, so an interrupted save
// leaves the previous store intact.
bool SimRegistry::Save() const {
  if (file_.empty()) return true;
  fs::path temp = file_;
  temp += ".new";
  std::error_code ec;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;  // and leave whatever is in the way alone
    out << FormatStore(keys_);
    out.close();
    if (!out) {
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, file_, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
  }
  return true;
}

}  // namespace velmora::sim
