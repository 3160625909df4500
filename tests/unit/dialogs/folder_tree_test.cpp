// The folder browser's tree on a simulated machine: drives and their
// icons, folder levels filled on demand, and item paths.
#include "dialogs/folder_tree.h"

#include <gtest/gtest.h>

#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

class FolderTreeTest : public ::testing::Test {
 protected:
  FolderTreeTest() {
    for (const char* dir : {"C:\\Program Files", "C:\\Program Files\\Tools", "C:\\program data",
                            "C:\\Zeta", "C:\\alpha", "C:\\Hidden"})
      EXPECT_EQ(machine_.CreateDirectory(dir), FileCause::none) << dir;
    EXPECT_EQ(machine_.SetFileAttributes("C:\\Hidden", attr::directory | attr::hidden),
              FileCause::none);
    EXPECT_EQ(testing::PutFile(machine_, "C:\\autoexec.bat", "rem"), FileCause::none);
  }

  static std::vector<std::string> Texts(const std::vector<std::unique_ptr<FolderNode>>& level) {
    std::vector<std::string> texts;
    for (const auto& node : level) texts.push_back(node->Text());
    return texts;
  }

  testing::TempRoot root_{"tree"};
  SimMachine machine_{root_.path()};
  FolderTree tree_{machine_};
};

TEST_F(FolderTreeTest, TopLevelListsPresentDrivesWithTheirTypeIcons) {
  std::filesystem::create_directories(root_.path() / "D");
  std::filesystem::create_directories(root_.path() / "E");
  machine_.SetDriveType('A', DriveType::removable);  // an empty floppy drive
  machine_.SetDriveType('D', DriveType::cdrom);
  machine_.SetDriveType('E', static_cast<DriveType>(9));  // a type not in the table
  machine_.SetDriveType('F', DriveType::noRootDir);
  EXPECT_EQ(tree_.FillTopLevel(), 4);
  EXPECT_EQ(Texts(tree_.TopLevel()), (std::vector<std::string>{"A:", "C:", "D:", "E:"}));
  std::vector<int> icons;
  for (const auto& node : tree_.TopLevel()) {
    EXPECT_EQ(node->Image(), node->SelectedImage());
    icons.push_back(node->Image());
  }
  EXPECT_EQ(icons, (std::vector<int>{115, 114, 116, 119}));
  EXPECT_EQ(tree_.TopLevel()[1]->Path(), "C:\\");  // a drive item is its root
  EXPECT_EQ(DriveIconId(DriveType::remote), 117);
  EXPECT_EQ(DriveIconId(DriveType::ramdisk), 118);
  EXPECT_EQ(DriveIconId(DriveType::unknown), 119);
}

TEST_F(FolderTreeTest, LevelsHoldSortedFoldersOnlyHiddenOnesIncluded) {
  tree_.FillTopLevel();
  FolderNode* c = tree_.Find("C:");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(tree_.ChildCount(*c), 6);
  EXPECT_EQ(Texts(tree_.Children(*c)),
            (std::vector<std::string>{"alpha", "Hidden", "program data", "Program Files", "WINDOWS",
                                      "Zeta"}));
  for (const auto& folder : tree_.Children(*c)) {
    EXPECT_EQ(folder->Image(), folder_icon::closedFolder);
    EXPECT_EQ(folder->SelectedImage(), folder_icon::openFolder);
  }
}

TEST_F(FolderTreeTest, EachLevelIsFilledOnceUntilFilledAgain) {
  tree_.FillTopLevel();
  FolderNode* tools = tree_.Find("c:/program files/TOOLS/");
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->Path(), "C:\\Program Files\\Tools\\");  // texts as listed
  EXPECT_EQ(tree_.ChildCount(*tools), 0);
  ASSERT_EQ(machine_.CreateDirectory("C:\\Program Files\\Tools\\New"), FileCause::none);
  EXPECT_EQ(tree_.ChildCount(*tools), 0);  // asked once
  EXPECT_EQ(tree_.FillChildren(*tools), 1);
  EXPECT_EQ(tree_.Children(*tools)[0]->Path(), "C:\\Program Files\\Tools\\New\\");
}

TEST_F(FolderTreeTest, FindFollowsOnlyWhatTheTreeLists) {
  EXPECT_NE(tree_.Find("C:\\Hidden"), nullptr);
  EXPECT_EQ(tree_.Find("C:\\autoexec.bat"), nullptr);  // files are not shown
  EXPECT_EQ(tree_.Find("C:\\Nowhere"), nullptr);
  EXPECT_EQ(tree_.Find("Q:\\"), nullptr);
  EXPECT_EQ(tree_.Find(""), nullptr);
}

}  // namespace
}  // namespace velmora
