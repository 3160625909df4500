#include "staging_folder.h"

#include <unistd.h>

#include <cctype>

#include "datafile/data_file_layout.h"
#include "framework/ascii.h"

namespace velmora::cli {

namespace fs = std::filesystem;

bool IsMediaFileName(const std::string& name) {
  const std::string lower = AsciiLowered(name);
  for (const std::string stem : {kFirstPartStem, kSecondPartStem}) {
    if (lower.size() <= stem.size() || lower.compare(0, stem.size(), stem) != 0) continue;
    bool digits = true;
    for (std::size_t i = stem.size(); i < lower.size(); ++i)
      digits = digits && std::isdigit(static_cast<unsigned char>(lower[i]));
    if (digits) return true;
  }
  return false;
}

StagingFolder::StagingFolder(const fs::path& target)
    : target_(fs::absolute(target).lexically_normal()) {
  if (!target_.has_filename()) target_ = target_.parent_path();  // "out/" -> "out"
  fs::create_directories(target_.parent_path());
  const std::string stem =
      "." + target_.filename().string() + ".packing-" + std::to_string(getpid());
  for (int attempt = 0;; ++attempt) {
    staging_ = target_.parent_path() / (stem + "-" + std::to_string(attempt));
    if (fs::create_directory(staging_)) break;
  }
}

StagingFolder::~StagingFolder() {
  if (committed_) return;
  std::error_code ignored;
  fs::remove_all(staging_, ignored);
}

void StagingFolder::Commit() {
  if (!fs::exists(target_)) {
    fs::rename(staging_, target_);
    committed_ = true;
    return;
  }
  if (!fs::is_directory(target_))
    throw fs::filesystem_error("the output exists and is not a folder", target_,
                               std::make_error_code(std::errc::not_a_directory));
  std::vector<fs::path> stale;
  for (const fs::directory_entry& entry : fs::directory_iterator(target_))
    if (IsMediaFileName(entry.path().filename().string())) stale.push_back(entry.path());
  for (const fs::path& path : stale) fs::remove(path);
  for (const fs::directory_entry& entry : fs::directory_iterator(staging_))
    fs::rename(entry.path(), target_ / entry.path().filename());
  fs::remove(staging_);
  committed_ = true;
}

}  // namespace velmora::cli
