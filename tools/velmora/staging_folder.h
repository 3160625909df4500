// Writing a package so that its output folder never holds half of one: the
// media files are made in a fresh folder beside it and moved into place
// only when all of them are written.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::cli {

class StagingFolder {
 public:
  // Creates a new, empty folder in the target's parent (creating the parent
  // when missing).  Throws std::filesystem::filesystem_error.
  explicit StagingFolder(const std::filesystem::path& target);
  // Removes the staging folder and whatever is in it, unless committed.
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  const std::filesystem::path& Path() const { return staging_; }

  // Puts the staged files in place.  A missing target becomes the staging
  // folder itself.  An existing target folder loses the media files of any
  // earlier package ("velmor.N", "velmore.N" in any case) and receives the
  // new ones; its other files stay.  Throws std::filesystem::filesystem_error.
  void Commit();

 private:
  std::filesystem::path target_;
  std::filesystem::path staging_;
  bool committed_ = false;
};

// "velmor.12", "VELMORE.3": the name of a media file of either part.
bool IsMediaFileName(const std::string& name);

}  // namespace velmora::cli
