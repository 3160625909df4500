// Names that differ only in case, found through the folder index while the
// machine and the outside world change the folders, and readers that are
// served from a stream buffer while other handles write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "backends/sim/sim_folder_index.h"
#include "backends/sim/sim_machine.h"
#include "unit/support/sim_machine_test_util.h"
#include "unit/support/temp_root.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::GetFile;
using testing::PutFile;
using testing::WriteHostFile;

bool Exists(Machine& machine, const std::string& path) {
  std::uint32_t bits = 0;
  return machine.GetFileAttributes(path, bits) == FileCause::none;
}

// Moves a folder's time forward by a second: an outside change that a
// coarse clock would have left at the same time stays visible to the test.
void TouchLater(const fs::path& folder) {
  fs::last_write_time(folder, fs::last_write_time(folder) + std::chrono::seconds(1));
}

class SimNameLookupTest : public ::testing::Test {
 protected:
  fs::path C(const std::string& relative) const { return root_.path() / "C" / relative; }

  testing::TempRoot root_;
  SimMachine machine_{root_.path()};
};

TEST_F(SimNameLookupTest, OwnChangesAreSeenInAnyCase) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\Data"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\DATA\\NOTES.TXT"));  // reads the folder
  ASSERT_EQ(PutFile(machine_, "C:\\Data\\Notes.txt", "n"), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\DATA\\NOTES.TXT"), "n");

  ASSERT_EQ(machine_.MoveFile("C:\\data\\notes.txt", "C:\\data\\Moved.TXT"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\DATA\\NOTES.TXT"));
  EXPECT_EQ(GetFile(machine_, "C:\\data\\moved.txt"), "n");
  ASSERT_EQ(machine_.MoveFile("C:\\data\\moved.txt", "C:\\data\\MOVED.txt"), FileCause::none);
  EXPECT_TRUE(fs::exists(C("Data/MOVED.txt")));
  EXPECT_EQ(GetFile(machine_, "C:\\data\\Moved.Txt"), "n");

  ASSERT_EQ(machine_.CopyFile("C:\\data\\moved.txt", "C:\\data\\Copy.txt", true), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\DATA\\COPY.TXT"), "n");
  ASSERT_EQ(machine_.DeleteFile("C:\\data\\COPY.txt"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\data\\copy.TXT"));

  std::string temp;
  ASSERT_EQ(machine_.CreateTempFile("C:\\data", "ins", temp), FileCause::none);
  std::string upper = temp;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(Exists(machine_, upper)) << upper;
}

TEST_F(SimNameLookupTest, MovedAndRemovedFoldersForgetTheirNames) {
  ASSERT_EQ(machine_.CreateDirectory("C:\\Old"), FileCause::none);
  ASSERT_EQ(machine_.CreateDirectory("C:\\Old\\Sub"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\Old\\Sub\\File.txt", "f"), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\OLD\\SUB\\FILE.TXT"), "f");
  ASSERT_EQ(machine_.MoveFile("C:\\old", "C:\\New"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\OLD"));
  EXPECT_EQ(GetFile(machine_, "C:\\NEW\\sub\\file.TXT"), "f");

  // A new folder under the old name starts empty, whatever was indexed.
  ASSERT_EQ(machine_.CreateDirectory("C:\\old"), FileCause::none);
  ASSERT_EQ(machine_.CreateDirectory("C:\\old\\sub"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\OLD\\SUB\\FILE.TXT"));

  ASSERT_EQ(machine_.DeleteFile("C:\\new\\sub\\file.txt"), FileCause::none);
  ASSERT_EQ(machine_.RemoveDirectory("C:\\new\\sub"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\NEW\\SUB"));
  ASSERT_EQ(machine_.CreateDirectory("C:\\New\\SUB"), FileCause::none);
  EXPECT_TRUE(fs::is_directory(C("New/SUB")));
  EXPECT_TRUE(Exists(machine_, "C:\\new\\sub"));
}

TEST_F(SimNameLookupTest, OutsideChangesAreSeenOnceTheFolderTimeMoves) {
  VELMORA_SKIP_ON_WINDOWS_HOST("the host finds every case itself, and cannot set a folder's time");
  ASSERT_EQ(machine_.CreateDirectory("C:\\Shared"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\Shared\\Own.txt", "own"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\SHARED\\PLANTED.TXT"));  // the folder is indexed now

  WriteHostFile(C("Shared/Planted.Txt"), "planted");
  TouchLater(C("Shared"));
  EXPECT_EQ(GetFile(machine_, "C:\\SHARED\\PLANTED.TXT"), "planted");

  fs::remove(C("Shared/Own.txt"));
  TouchLater(C("Shared"));
  EXPECT_FALSE(Exists(machine_, "C:\\SHARED\\OWN.TXT"));
  // The machine's own change after the outside one keeps both in view.
  ASSERT_EQ(PutFile(machine_, "C:\\Shared\\Later.txt", "later"), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\shared\\planted.txt"), "planted");
  EXPECT_EQ(GetFile(machine_, "C:\\shared\\LATER.TXT"), "later");
}

TEST_F(SimNameLookupTest, OutsideChangeBeforeAnOwnChangeIsNotLost) {
  VELMORA_SKIP_ON_WINDOWS_HOST("the host finds every case itself, and cannot set a folder's time");
  ASSERT_EQ(machine_.CreateDirectory("C:\\Mixed"), FileCause::none);
  ASSERT_EQ(PutFile(machine_, "C:\\Mixed\\Gone.txt", "g"), FileCause::none);
  EXPECT_FALSE(Exists(machine_, "C:\\MIXED\\X"));  // indexed
  WriteHostFile(C("Mixed/Outside.txt"), "o");
  TouchLater(C("Mixed"));
  // Named in its exact case, the file is found without reading the folder:
  // the machine changes the folder with the stale index still in place,
  // which must not simply take the change on board.
  ASSERT_EQ(machine_.DeleteFile("C:\\Mixed\\Gone.txt"), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\MIXED\\OUTSIDE.TXT"), "o");
  EXPECT_FALSE(Exists(machine_, "C:\\MIXED\\GONE.TXT"));

  WriteHostFile(C("Mixed/Second.txt"), "s");
  TouchLater(C("Mixed"));
  ASSERT_EQ(PutFile(machine_, "C:\\Mixed\\Inside.txt", "i"), FileCause::none);
  EXPECT_EQ(GetFile(machine_, "C:\\MIXED\\SECOND.TXT"), "s");
  EXPECT_EQ(GetFile(machine_, "C:\\MIXED\\INSIDE.TXT"), "i");
}

TEST(FolderIndex, KeepsAtMostItsLimitOfFoldersAndStillFindsNames) {
  testing::TempRoot root;
  sim::FolderIndex index;
  const std::size_t folders = sim::FolderIndex::kMaxFolders + 10;
  for (std::size_t i = 0; i < folders; ++i) {
    fs::create_directories(root.path() / std::to_string(i));
    WriteHostFile(root.path() / std::to_string(i) / "Name.Txt", "x");
  }
  for (std::size_t i = 0; i < folders; ++i) {
    std::string actual;
    std::error_code error;
    ASSERT_TRUE(index.Find(root.path() / std::to_string(i), "NAME.TXT", actual, error)) << i;
    EXPECT_EQ(actual, "Name.Txt");
    EXPECT_LE(index.FolderCount(), sim::FolderIndex::kMaxFolders);
  }
  std::string actual;
  std::error_code error;
  EXPECT_FALSE(index.Find(root.path() / "missing", "a", actual, error));
  EXPECT_TRUE(error);
}

// Whether a Windows path names something, found the slow way: every
// component looked up by reading its host folder.
bool ExistsOnHost(const fs::path& driveFolder, const std::string& relative) {
  fs::path at = driveFolder;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const std::size_t end = std::min(relative.find('\\', start), relative.size());
    const std::string part = relative.substr(start, end - start);
    bool found = false;
    std::error_code ec;
    for (fs::directory_iterator it(at, ec), stop; !ec && it != stop; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.size() == part.size() &&
          std::equal(name.begin(), name.end(), part.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
          })) {
        at /= name;
        found = true;
        break;
      }
    }
    if (!found) return false;
    start = end + 1;
  }
  return true;
}

// Random changes by the machine (and, now and then, from outside) against
// lookups in random case: the index must always agree with the folders.
TEST_F(SimNameLookupTest, RandomChangesNeverLeaveTheIndexBehind) {
  VELMORA_SKIP_ON_WINDOWS_HOST("the host finds every case itself, and cannot set a folder's time");
  std::mt19937 random(20261207);
  const std::vector<std::string> folders = {"T", "T\\A", "T\\B", "T\\A\\Sub"};
  const std::vector<std::string> names = {"x.txt", "Y.TXT", "z.Dat", "Sub"};
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[random() % from.size()];
  };
  const auto randomCase = [&](std::string text) {
    if (random() % 2) return text;  // as given: found without reading the folder
    for (char& c : text)
      c = static_cast<char>(random() % 2 ? std::toupper(static_cast<unsigned char>(c))
                                         : std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  const auto anyPath = [&] { return pick(folders) + "\\" + pick(names); };
  ASSERT_EQ(machine_.CreateDirectory("C:\\T"), FileCause::none);

  for (int step = 0; step < 600; ++step) {
    const std::string path = anyPath();
    switch (random() % 9) {
      case 0: PutFile(machine_, "C:\\" + randomCase(path), "p"); break;
      case 1: machine_.DeleteFile("C:\\" + randomCase(path)); break;
      case 2: machine_.MoveFile("C:\\" + randomCase(path), "C:\\" + randomCase(anyPath())); break;
      case 3: machine_.CreateDirectory("C:\\" + randomCase(pick(folders))); break;
      case 4: machine_.RemoveDirectory("C:\\" + randomCase(pick(folders))); break;
      case 5:
        machine_.CopyFile("C:\\" + randomCase(path), "C:\\" + randomCase(anyPath()), false);
        break;
      case 6: {
        std::string temp;
        machine_.CreateTempFile("C:\\" + randomCase(pick(folders)), "t", temp);
        if (!temp.empty()) machine_.DeleteFile(temp);
        break;
      }
      case 7: {
        // From outside: a file appears or goes, and the folder's time moves.
        std::string folder = pick(folders);
        std::replace(folder.begin(), folder.end(), '\\', '/');
        if (!fs::is_directory(C(folder))) break;
        const fs::path host = C(folder) / randomCase(pick(names));
        std::error_code ec;
        if (fs::exists(host)) fs::remove_all(host, ec);
        else if (!ExistsOnHost(root_.path() / "C", pick(folders) + "\\" + host.filename().string()))
          WriteHostFile(host, "outside");
        TouchLater(C(folder));
        break;
      }
      default: break;  // lookups only
    }
    for (int probe = 0; probe < 4; ++probe) {
      const std::string name = random() % 4 == 0 ? pick(folders) : anyPath();
      ASSERT_EQ(Exists(machine_, "C:\\" + randomCase(name)), ExistsOnHost(root_.path() / "C", name))
          << "step " << step << ": " << name;
    }
  }
}

// Readers ---------------------------------------------------------------------

class SimReaderTest : public SimNameLookupTest {
 protected:
  FileHandle Open(const std::string& path, FileAccess access, FileDisposition disposition) {
    FileHandle handle = kNoFile;
    EXPECT_EQ(machine_.OpenFile(path, access, FileShare::denyNone, disposition, handle),
              FileCause::none);
    return handle;
  }
  std::string Read(FileHandle handle, std::uint32_t count) {
    std::string bytes(count, '\0');
    std::uint32_t got = 0;
    EXPECT_EQ(machine_.ReadFile(handle, bytes.data(), count, got), FileCause::none);
    bytes.resize(got);
    return bytes;
  }
};

TEST_F(SimReaderTest, ReaderSeesWritesOfOtherHandlesAfterItsBufferFilled) {
  ASSERT_EQ(PutFile(machine_, "C:\\live.bin", "0123456789"), FileCause::none);
  const FileHandle reader = Open("C:\\live.bin", FileAccess::read, FileDisposition::openExisting);
  EXPECT_EQ(Read(reader, 2), "01");  // the stream buffer now holds the whole file

  const FileHandle writer = Open("C:\\live.bin", FileAccess::write, FileDisposition::openExisting);
  std::uint64_t position = 0;
  ASSERT_EQ(machine_.SeekFile(writer, 4, SeekOrigin::begin, position), FileCause::none);
  ASSERT_EQ(machine_.WriteFile(writer, "ABCDEFGH", 8), FileCause::none);
  ASSERT_EQ(machine_.CloseFile(writer), FileCause::none);
  EXPECT_EQ(Read(reader, 20), "23ABCDEFGH");

  // Replaced by a copy while open, then truncated by a new writer.
  ASSERT_EQ(PutFile(machine_, "C:\\other.bin", "abcdefghijklmnop"), FileCause::none);
  ASSERT_EQ(machine_.CopyFile("C:\\other.bin", "C:\\live.bin", false), FileCause::none);
  EXPECT_EQ(Read(reader, 4), "mnop");
  ASSERT_EQ(machine_.SeekFile(reader, 0, SeekOrigin::begin, position), FileCause::none);
  EXPECT_EQ(Read(reader, 3), "abc");
  const FileHandle truncating =
      Open("C:\\live.bin", FileAccess::write, FileDisposition::createAlways);
  ASSERT_EQ(machine_.CloseFile(truncating), FileCause::none);
  EXPECT_EQ(Read(reader, 3), "");
  std::uint64_t size = 99;
  ASSERT_EQ(machine_.GetFileSize(reader, size), FileCause::none);
  EXPECT_EQ(size, 0u);
  ASSERT_EQ(machine_.CloseFile(reader), FileCause::none);
}

TEST_F(SimReaderTest, SizeQueriesLeaveTheReadPositionAlone) {
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes += static_cast<char>('a' + i % 26);
  ASSERT_EQ(PutFile(machine_, "C:\\big.bin", bytes), FileCause::none);
  const FileHandle reader = Open("C:\\big.bin", FileAccess::read, FileDisposition::openExisting);
  std::string all;
  for (;;) {
    std::uint64_t size = 0;
    ASSERT_EQ(machine_.GetFileSize(reader, size), FileCause::none);
    ASSERT_EQ(size, bytes.size());
    const std::string piece = Read(reader, 16384);
    if (piece.empty()) break;
    all += piece;
  }
  EXPECT_EQ(all, bytes);
  ASSERT_EQ(machine_.CloseFile(reader), FileCause::none);
}

}  // namespace
}  // namespace velmora
