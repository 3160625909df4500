// The folder browser's image indices: each of the eight icons finds the
// index it was added at, and an icon that is missing stays at -1 so that
// its items are drawn without an image.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "backends/win32/browser_images.h"
#include "backends/win32/system_library.h"

namespace velmora {
namespace {

TEST(Win32BrowserImagesTest, MissingAndForeignIconsHaveNoImage) {
  BrowserImageIndex index;
  index.Set(folder_icon::unknownDrive, 3);
  index.Set(folder_icon::fixedDrive, 0);
  index.Set(folder_icon::closedFolder, -1);  // could not be added
  index.Set(102, 5);                         // not a browser icon: ignored
  EXPECT_EQ(index.Of(folder_icon::unknownDrive), 3);
  EXPECT_EQ(index.Of(folder_icon::fixedDrive), 0);
  EXPECT_EQ(index.Of(folder_icon::closedFolder), -1);
  EXPECT_EQ(index.Of(folder_icon::cdromDrive), -1);  // never set
  EXPECT_EQ(index.Of(102), -1);
}

TEST(Win32BrowserImagesTest, AProgramWithoutTheIconsGetsAListWithNoImages) {
  // The test program carries none of the icon resources.
  BrowserImages images;
  ASSERT_NE(images.List(), nullptr);
  const auto imageCount = SystemFunction<decltype(&::ImageList_GetImageCount)>(
      "comctl32.dll", "ImageList_GetImageCount");
  ASSERT_NE(imageCount, nullptr);
  EXPECT_EQ(imageCount(images.List()), 0);
  for (const int icon : kFolderBrowserIconOrder) EXPECT_EQ(images.Index().Of(icon), -1) << icon;
}

}  // namespace
}  // namespace velmora

#endif  // _WIN32
