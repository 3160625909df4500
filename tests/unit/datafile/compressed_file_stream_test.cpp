// The stream around the codec: switching compression at any byte, the
// read-ahead buffer, Seek, Close and Open, the end of the file inside every
// kind of record, error pass-through and write batching.
#include <gtest/gtest.h>

#include "unit/datafile/codec_test_support.h"
#include "unit/support/sim_machine_fixture.h"

namespace velmora::test {
namespace {

class CompressedFileStream : public testing::SimMachineTest {
 protected:
  // What has reached the file C:\name so far, read behind the machine's
  // back (the stream may hold it open without sharing).
  Bytes Written(const std::string& name) const {
    const std::string bytes = HostBytes(name);
    return Bytes(bytes.begin(), bytes.end());
  }

  Bytes ReadAll(CCompressedFile& file, std::uint32_t chunk = 1000) {
    Bytes out;
    Bytes buffer(chunk);
    for (;;) {
      const std::uint32_t got = file.Read(buffer.data(), chunk);
      out.insert(out.end(), buffer.begin(), buffer.begin() + got);
      if (got < chunk) return out;
    }
  }
  Bytes ReadN(CCompressedFile& file, std::uint32_t count) {
    Bytes out(count);
    out.resize(file.Read(out.data(), count));
    return out;
  }
  void OpenForRead(CCompressedFile& file, const std::string& path) {
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareDenyWrite));
  }

  static Bytes Plain(std::size_t size, int seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
      bytes[i] = static_cast<std::uint8_t>((i * 31 + seed) % 251);
    return bytes;
  }
};

// ---- switching compression off in the middle of a record -----------------------

TEST_F(CompressedFileStream, SwitchingOffInsideALiteralRunReturnsTheRestOfTheRun) {
  // The plain tail is longer than the read-ahead buffer: the plain read takes
  // the buffered bytes first, then reads on from the file.
  const Bytes tail = Plain(40000, 1);
  SetFile("C:\\F", Concat(B({0xFB, 0x61, 0x62, 0x63, 0x64, 0x65}), tail));
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 2), B({0x61, 0x62}));
  EXPECT_EQ(file.GetPosition(), CCompressedFile::kReadAheadSize);  // runs ahead
  file.SetCompressed(false);
  EXPECT_EQ(ReadAll(file, 7000), Concat(B({0x63, 0x64, 0x65}), tail));
  EXPECT_EQ(file.GetPosition(), 6 + tail.size());
}

TEST_F(CompressedFileStream, SwitchingOffInsideARepeatRunDiscardsTheRest) {
  SetFile("C:\\F", B({0x09, 0x61, 0x41, 0x42}));
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 3), Bytes(3, 0x61));
  file.SetCompressed(false);
  EXPECT_EQ(ReadAll(file), B({0x41, 0x42}));
}

TEST_F(CompressedFileStream, SwitchingOffInsideAPatternReturnsTheUnreadVariableBytes) {
  SetFile("C:\\F", B({0x00, 0x41, 0x03, 0x78, 0x41, 0x42, 0x43, 0x44, 0x5A}));
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 3), B({0x78, 0x41, 0x78}));
  file.SetCompressed(false);
  EXPECT_EQ(ReadAll(file), B({0x42, 0x43, 0x44, 0x5A}));
}

TEST_F(CompressedFileStream, TheNextControlByteIsTakenOnlyWhenMoreBytesAreWanted) {
  SetFile("C:\\F", B({0xFD, 0x61, 0x62, 0x63, 0xFF, 0x64}));
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 3), B({0x61, 0x62, 0x63}));
  file.SetCompressed(false);
  EXPECT_EQ(ReadAll(file), B({0xFF, 0x64}));
}

TEST_F(CompressedFileStream, ARecordMaySpanManyReads) {
  SetFile("C:\\F", B({0x00, 0x62, 0x03, 0x5A, 1, 2, 3, 4, 5, 6, 7, 8}));
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  Bytes out;
  for (int i = 0; i < 12; ++i) out = Concat(out, ReadN(file, 1));
  EXPECT_EQ(out, B({1, 0x5A, 2, 3, 0x5A, 4, 5, 0x5A, 6, 7, 0x5A, 8}));
  EXPECT_EQ(ReadN(file, 1), Bytes());
}

// ---- Seek ------------------------------------------------------------------------

TEST_F(CompressedFileStream, SeekStartsDecodingFromAFreshRecord) {
  std::mt19937 rng(8);
  const Bytes first = GenerateInput(rng, 5000);
  const Bytes second = GenerateInput(rng, 5000);
  const Bytes firstStream = Encode(first);
  const Bytes secondStream = Encode(second);
  SetFile("C:\\F", Concat(Concat(B({'H', 'E', 'A', 'D'}), firstStream), secondStream));
  const auto secondAt = static_cast<std::int32_t>(4 + firstStream.size());

  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  EXPECT_EQ(ReadN(file, 4), B({'H', 'E', 'A', 'D'}));
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 1001), Bytes(first.begin(), first.begin() + 1001));  // mid-record
  EXPECT_EQ(file.Seek(secondAt, CFile::begin), secondAt);
  EXPECT_EQ(ReadN(file, static_cast<std::uint32_t>(second.size())), second);
  EXPECT_EQ(ReadN(file, 10), Bytes());  // end of file where a control byte is due
  file.Seek(4, CFile::begin);
  EXPECT_EQ(ReadN(file, static_cast<std::uint32_t>(first.size())), first);
  EXPECT_EQ(ReadN(file, 17), Bytes(second.begin(), second.begin() + 17));
}

TEST_F(CompressedFileStream, SeekWhileWritingFinishesThePendingRecords) {
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\F", CFile::modeCreate | CFile::modeReadWrite));
  file.SetCompressed(true);
  file.Write("aaaa", 4);
  EXPECT_TRUE(Written("F").empty());  // still pending
  EXPECT_EQ(file.Seek(0, CFile::end), 2);
  EXPECT_EQ(Written("F"), B({0x03, 0x61}));
  file.Write("aab", 3);  // a fresh record: the run does not continue
  file.Close();
  EXPECT_EQ(Written("F"), B({0x03, 0x61, 0xFD, 0x61, 0x61, 0x62}));
}

// ---- the end of the file inside every kind of record ------------------------------

struct Truncated {
  const char* name;
  Bytes stream;
  Bytes delivered;
};

class EndOfFileTest : public CompressedFileStream,
                      public ::testing::WithParamInterface<Truncated> {};

TEST_P(EndOfFileTest, DeliversWhatTheStreamHolds) {
  SetFile("C:\\F", GetParam().stream);
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 100), GetParam().delivered);
  EXPECT_EQ(ReadN(file, 100), Bytes());  // and stays at the end
}

INSTANTIATE_TEST_SUITE_P(
    EveryRecordKind, EndOfFileTest,
    ::testing::Values(
        // Where a control byte or a literal byte is due, the read is short.
        Truncated{"ControlByte", B({0x02, 0x61}), Bytes(3, 0x61)}, Truncated{"EmptyStream", {}, {}},
        Truncated{"LiteralByte", B({0xFC, 0x61, 0x62}), B({0x61, 0x62})},
        // Where any other byte is due, it reads as 0.
        Truncated{"RepeatByte", B({0x04}), Bytes(5, 0x00)},
        Truncated{"PatternDescriptor", B({0xFF, 0x61, 0x00}), B({0x61})},  // 0: bad length
        Truncated{"PatternCount", B({0x00, 0x41}), B({0x00, 0x00})},
        Truncated{"FixedByte", B({0x00, 0x43, 0x01, 0x61}), B({0x61, 0x00, 0x61, 0x00})},
        Truncated{"VariableByte", B({0x00, 0x41, 0x02, 0x78, 0x41}),
                  B({0x78, 0x41, 0x78, 0x00, 0x78, 0x00})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CompressedFileStream, ReadingOnAfterTheFileGrowsContinuesTheRecord) {
  SetFile("C:\\F", B({0xFC, 0x61}));
  CCompressedFile file;
  OpenForRead(file, "C:\\F");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 4), B({0x61}));
  PlantBytes("F", HostBytes("F") + "bcd");
  EXPECT_EQ(ReadN(file, 4), B({0x62, 0x63, 0x64}));
}

// ---- Close and Open empty the read-ahead buffer (mended fault) -------------------

TEST_F(CompressedFileStream, UnreadBytesOfTheLastFileNeverReachTheNextOne) {
  SetFile("C:\\VELMOR.1", Concat(B({0xFB, 0x61, 0x62, 0x63, 0x64, 0x65}), Plain(100, 3)));
  SetFile("C:\\VELMOR.2", Concat(B({'P', 'R', 'E', 'F', 'I', 'X'}), B({0x09, 0x7A})));
  CCompressedFile file;
  OpenForRead(file, "C:\\VELMOR.1");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 2), B({0x61, 0x62}));  // 104 bytes left in the buffer
  file.SetCompressed(false);
  file.Close();
  EXPECT_FALSE(file.IsCompressed());

  OpenForRead(file, "C:\\VELMOR.2");
  EXPECT_EQ(ReadN(file, 6), B({'P', 'R', 'E', 'F', 'I', 'X'}));
  file.SetCompressed(true);
  EXPECT_EQ(ReadAll(file), Bytes(10, 0x7A));
}

TEST_F(CompressedFileStream, CloseWithCompressionOnResetsTheDecoder) {
  // Close keeps compression on; the next file decodes from its first record,
  // not on in the literal run left unfinished in the first one.
  SetFile("C:\\A", B({0x80, 1, 2, 3}));
  SetFile("C:\\B", B({0x03, 0x62, 0xFF, 0x63}));
  CCompressedFile file;
  OpenForRead(file, "C:\\A");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 2), B({1, 2}));
  file.Close();
  EXPECT_TRUE(file.IsCompressed());
  OpenForRead(file, "C:\\B");
  EXPECT_EQ(ReadAll(file), B({0x62, 0x62, 0x62, 0x62, 0x63}));
}

TEST_F(CompressedFileStream, OpenWithoutCloseAlsoEmptiesTheBuffer) {
  SetFile("C:\\A", B({0xFB, 'a', 'b', 'c', 'd', 'e'}));
  SetFile("C:\\B", B({'x', 'y', 'z'}));
  CCompressedFile file;
  OpenForRead(file, "C:\\A");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 1), B({'a'}));
  file.SetCompressed(false);
  OpenForRead(file, "C:\\B");  // reopening abandons A
  EXPECT_EQ(machine_.OpenFileCount(), 1u);
  EXPECT_EQ(ReadAll(file), B({'x', 'y', 'z'}));
}

TEST_F(CompressedFileStream, ReadingAClosedFileThrows) {
  SetFile("C:\\A", B({0xFB, 'a', 'b', 'c', 'd', 'e'}));
  CCompressedFile file;
  OpenForRead(file, "C:\\A");
  file.SetCompressed(true);
  EXPECT_EQ(ReadN(file, 1), B({'a'}));
  file.Close();
  try {
    ReadN(file, 1);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.Cause(), FileCause::invalidFile);
  }
}

// ---- alternating plain and compressed stretches -----------------------------------

TEST_F(CompressedFileStream, PlainAndCompressedStretchesAlternate) {
  std::mt19937 rng(42);
  for (int round = 0; round < 50; ++round) {
    struct Stretch {
      bool compressed;
      Bytes bytes;
    };
    std::vector<Stretch> stretches;
    // Stretches alternate (two compressed stretches in a row would be one).
    const int count = 1 + static_cast<int>(rng() % 12);
    const bool firstCompressed = rng() % 2 == 0;
    for (int i = 0; i < count; ++i) {
      const bool compressed = (i % 2 == 0) == firstCompressed;
      stretches.push_back({compressed, GenerateInput(rng, rng() % (compressed ? 3000 : 40))});
    }
    {
      CCompressedFile file;
      ASSERT_TRUE(file.Open("C:\\MIX", CFile::modeCreate | CFile::modeWrite));
      for (const Stretch& s : stretches) {
        file.SetCompressed(s.compressed);
        file.WriteBytes(s.bytes.data(), static_cast<std::uint32_t>(s.bytes.size()));
      }
      file.SetCompressed(false);
      file.Close();
    }
    Bytes expectedFile;
    for (const Stretch& s : stretches)
      expectedFile = Concat(expectedFile, s.compressed ? Encode(s.bytes) : s.bytes);
    ASSERT_EQ(Written("MIX"), expectedFile) << "round " << round;

    CCompressedFile file;
    OpenForRead(file, "C:\\MIX");
    for (const Stretch& s : stretches) {
      file.SetCompressed(s.compressed);
      Bytes got(s.bytes.size());
      ASSERT_EQ(file.ReadBytes(got.data(), static_cast<std::uint32_t>(got.size())), got.size());
      ASSERT_EQ(got, s.bytes) << "round " << round;
    }
    file.SetCompressed(false);
    EXPECT_EQ(ReadAll(file), Bytes());
  }
}

TEST_F(CompressedFileStream, PlainWriteAfterCompressedWritingComesAfterTheRecords) {
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\F", CFile::modeCreate | CFile::modeWrite));
  file.Write("AB", 2);
  file.SetCompressed(true);
  file.Write("xxxxx", 5);
  file.SetCompressed(false);
  file.Write("CD", 2);
  file.Close();
  EXPECT_EQ(Written("F"), B({'A', 'B', 0x04, 'x', 'C', 'D'}));
}

TEST_F(CompressedFileStream, CloseAndTheDestructorFinishPendingRecords) {
  {
    CCompressedFile file;
    ASSERT_TRUE(file.Open("C:\\CLOSED", CFile::modeCreate | CFile::modeWrite));
    file.SetCompressed(true);
    file.Write("abc", 3);
    file.Close();
    EXPECT_TRUE(file.IsCompressed());  // the compression state stays
  }
  {
    CCompressedFile file;
    ASSERT_TRUE(file.Open("C:\\DESTROYED", CFile::modeCreate | CFile::modeWrite));
    file.SetCompressed(true);
    file.Write("abc", 3);
  }
  EXPECT_EQ(Written("CLOSED"), B({0xFD, 'a', 'b', 'c'}));
  EXPECT_EQ(Written("DESTROYED"), B({0xFD, 'a', 'b', 'c'}));
  EXPECT_EQ(machine_.OpenFileCount(), 0u);
}

TEST_F(CompressedFileStream, AbortDiscardsPendingRecords) {
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\F", CFile::modeCreate | CFile::modeWrite));
  file.SetCompressed(true);
  file.Write("abc", 3);
  file.Abort();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(Written("F").empty());
  file.Close();  // nothing left to write: no error
}

// ---- errors of the underlying file pass through ------------------------------------

TEST_F(CompressedFileStream, WriteErrorsPassThroughWhenARecordIsWritten) {
  SetFile("C:\\RO", Bytes());
  {
    CCompressedFile file;
    OpenForRead(file, "C:\\RO");
    file.SetCompressed(true);
    file.Write("aaaa", 4);  // pending: nothing written yet
    try {
      file.SetCompressed(false);
      FAIL() << "no exception";
    } catch (const CFileException& e) {
      EXPECT_EQ(e.Cause(), FileCause::accessDenied);
    }
    file.Close();  // the failed record is not written twice
  }
  EXPECT_TRUE(Written("RO").empty());
}

// ---- how records reach the file ---------------------------------------------------

TEST_F(CompressedFileStream, UnbufferedEveryRecordIsOneWriteWhenItIsDecided) {
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\F", CFile::modeCreate | CFile::modeWrite));
  file.SetCompressed(true);
  file.Write(Bytes(300, 0x61).data(), 300);
  EXPECT_EQ(Written("F"), B({0x7F, 0x61, 0x7F, 0x61}));  // the third is pending
  EXPECT_EQ(Calls("WriteFile"), 2);
  file.SetCompressed(false);
  EXPECT_EQ(Written("F"), B({0x7F, 0x61, 0x7F, 0x61, 0x2B, 0x61}));
  EXPECT_EQ(Calls("WriteFile"), 3);
}

TEST_F(CompressedFileStream, BufferedOutputReachesTheFileAtFlushPoints) {
  std::mt19937 rng(6);
  const Bytes input = GenerateInput(rng, 50000);
  const Bytes expected = Encode(input);
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\F", CFile::modeCreate | CFile::modeReadWrite));
  file.SetOutputBuffer(1 << 20);
  file.SetCompressed(true);
  file.Write(input.data(), 20000);
  EXPECT_TRUE(Written("F").empty());
  file.Flush();  // staged records go out; pending ones stay pending
  const std::size_t flushed = Written("F").size();
  EXPECT_GT(flushed, 0u);
  EXPECT_EQ(Bytes(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(flushed)),
            Written("F"));
  file.Write(input.data() + 20000, static_cast<std::uint32_t>(input.size() - 20000));
  file.SetCompressed(false);
  EXPECT_EQ(Written("F"), expected);
  EXPECT_LE(Calls("WriteFile"), 3);
}

TEST_F(CompressedFileStream, SmallOutputBufferWritesInBlocks) {
  std::mt19937 rng(7);
  const Bytes input = GenerateInput(rng, 100000);
  CCompressedFile file;
  ASSERT_TRUE(file.Open("C:\\F", CFile::modeCreate | CFile::modeWrite));
  file.SetOutputBuffer(4096);
  file.SetCompressed(true);
  file.Write(input.data(), static_cast<std::uint32_t>(input.size()));
  file.Close();
  EXPECT_EQ(Written("F"), Encode(input));
  EXPECT_LE(static_cast<std::size_t>(Calls("WriteFile")), Written("F").size() / (4096 - 200) + 2);
}

}  // namespace
}  // namespace velmora::test
