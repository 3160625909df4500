// The folder browser's tree (dialog 107) in portable form: the drives of
// the machine at the top, the folders of each drive and folder below,
// filled one level at a time through the Machine.  The Win32 tree view
// mirrors these nodes; the scripted Ui walks them to check a browse answer
// the way a user would click through the tree.  The browser hands a path
// back in the platform's path buffer (kMaxPathBytes, terminator included):
// a longer selection is refused.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/path_limit.h"

namespace velmora {

// Icon resources of the browser (32 x 32, shown at 16 x 16).
namespace folder_icon {
inline constexpr int fixedDrive = 114;
inline constexpr int removableDrive = 115;
inline constexpr int cdromDrive = 116;
inline constexpr int remoteDrive = 117;
inline constexpr int ramDrive = 118;
inline constexpr int unknownDrive = 119;
inline constexpr int closedFolder = 120;
inline constexpr int openFolder = 121;
}  // namespace folder_icon

// The order in which the icons are added to the browser's image list.
inline constexpr std::array<int, 8> kFolderBrowserIconOrder = {119, 116, 114, 118,
                                                               117, 115, 120, 121};

// The icon of a drive type; any type not in the table gets the question mark.
int DriveIconId(DriveType type);

class FolderNode {
 public:
  const std::string& Text() const { return text_; }
  int Image() const { return image_; }                  // icon resource id
  int SelectedImage() const { return selectedImage_; }  // icon resource id
  const FolderNode* Parent() const { return parent_; }
  // Texts of the item and its parents joined by backslashes, ending in one:
  // "C:\Program Files\Tools\".
  std::string Path() const;

 private:
  friend class FolderTree;
  std::string text_;
  int image_ = 0;
  int selectedImage_ = 0;
  FolderNode* parent_ = nullptr;
  std::vector<std::unique_ptr<FolderNode>> children_;
  int childCount_ = -1;  // -1: not asked for yet
};

class FolderTree {
 public:
  explicit FolderTree(Machine& machine) : machine_(machine) {}

  // Deletes every item and inserts one per present drive, A: to Z:
  // (texts "C:", no backslash), in sorted order.  Answers the count.
  int FillTopLevel();
  // Deletes the node's children and inserts its sub-folders (directories
  // other than "." and "..", hidden and system ones included; files never),
  // sorted by name.  A folder that cannot be listed has none.
  int FillChildren(FolderNode& node);
  // The child count the tree asks for when it first shows a node: fills
  // the level below once and answers how many it has.
  int ChildCount(FolderNode& node);

  const std::vector<std::unique_ptr<FolderNode>>& TopLevel() const { return top_; }
  const std::vector<std::unique_ptr<FolderNode>>& Children(const FolderNode& node) const {
    return node.children_;
  }

  // Clicks through the tree to `path` ("C:\Program Files\Tools", with or
  // without the trailing backslash, either slash, any case): the drive must
  // be listed at the top and each folder below its parent.  Answers the
  // node, or null when some level does not list the next name.  Fills the
  // top level when it is empty.
  FolderNode* Find(const std::string& path);

 private:
  FolderNode* AddNode(std::vector<std::unique_ptr<FolderNode>>& level, FolderNode* parent,
                      std::string text, int image, int selectedImage);

  Machine& machine_;
  std::vector<std::unique_ptr<FolderNode>> top_;
};

}  // namespace velmora
