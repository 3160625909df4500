#include "dialogs/folder_tree.h"

#include <algorithm>

#include "framework/ascii.h"

namespace velmora {
namespace {

// The tree's sorted insertion: alphabetical without regard to case; names
// that differ only in case keep a stable byte order.
bool SortsBefore(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = AsciiLower(a[i]);
    const char y = AsciiLower(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

bool SameName(const std::string& a, const std::string& b) { return AsciiEqualIgnoringCase(a, b); }

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

}  // namespace

int DriveIconId(DriveType type) {
  switch (type) {
    case DriveType::fixed: return folder_icon::fixedDrive;
    case DriveType::removable: return folder_icon::removableDrive;
    case DriveType::cdrom: return folder_icon::cdromDrive;
    case DriveType::remote: return folder_icon::remoteDrive;
    case DriveType::ramdisk: return folder_icon::ramDrive;
    default: return folder_icon::unknownDrive;
  }
}

std::string FolderNode::Path() const {
  std::string path;
  for (const FolderNode* node = this; node != nullptr; node = node->parent_)
    path = node->text_ + "\\" + path;
  return path;
}

FolderNode* FolderTree::AddNode(std::vector<std::unique_ptr<FolderNode>>& level, FolderNode* parent,
                                std::string text, int image, int selectedImage) {
  auto node = std::make_unique<FolderNode>();
  node->text_ = std::move(text);
  node->image_ = image;
  node->selectedImage_ = selectedImage;
  node->parent_ = parent;
  const auto at =
      std::upper_bound(level.begin(), level.end(), node->text_,
                       [](const std::string& text, const std::unique_ptr<FolderNode>& other) {
                         return SortsBefore(text, other->text_);
                       });
  return level.insert(at, std::move(node))->get();
}

int FolderTree::FillTopLevel() {
  top_.clear();
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string drive = std::string(1, letter) + ":";
    const DriveType type = machine_.GetDriveType(drive + "\\");
    if (type == DriveType::noRootDir) continue;
    const int icon = DriveIconId(type);
    AddNode(top_, nullptr, drive, icon, icon);
  }
  return static_cast<int>(top_.size());
}

int FolderTree::FillChildren(FolderNode& node) {
  node.children_.clear();
  std::vector<DirEntry> entries;
  if (machine_.ListDirectory(node.Path(), entries) == FileCause::none) {
    for (DirEntry& entry : entries) {
      if ((entry.attributes & attr::directory) == 0) continue;
      if (entry.name == "." || entry.name == "..") continue;
      AddNode(node.children_, &node, std::move(entry.name), folder_icon::closedFolder,
              folder_icon::openFolder);
    }
  }
  node.childCount_ = static_cast<int>(node.children_.size());
  return node.childCount_;
}

int FolderTree::ChildCount(FolderNode& node) {
  if (node.childCount_ < 0) FillChildren(node);
  return node.childCount_;
}

FolderNode* FolderTree::Find(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) return nullptr;
  if (top_.empty()) FillTopLevel();
  auto match = [](const std::vector<std::unique_ptr<FolderNode>>& level,
                  const std::string& name) -> FolderNode* {
    for (const auto& node : level) {
      if (SameName(node->text_, name)) return node.get();
    }
    return nullptr;
  };
  FolderNode* node = match(top_, parts[0]);
  for (std::size_t i = 1; node != nullptr && i < parts.size(); ++i) {
    ChildCount(*node);
    node = match(node->children_, parts[i]);
  }
  return node;
}

}  // namespace velmora
