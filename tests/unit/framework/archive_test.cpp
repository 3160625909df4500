// CArchive over the simulated machine: the byte-exact encodings of the
// uninstall log, buffering across the 4096-byte buffer, and how corrupt or
// short input is refused.
#include "framework/archive.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "unit/support/sim_machine_fixture.h"

// The largest single allocation made while a test watches, so a test can
// show that a corrupt length does not make the loader ask for gigabytes.
// Replacing the global allocation functions is the only portable way to
// see allocations made inside std::string.
namespace {
std::atomic<bool> g_watching{false};
std::atomic<std::size_t> g_largest{0};
}  // namespace

void* operator new(std::size_t size) {
  if (g_watching.load(std::memory_order_relaxed)) {
    std::size_t seen = g_largest.load(std::memory_order_relaxed);
    while (size > seen && !g_largest.compare_exchange_weak(seen, size)) {
    }
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
// The nothrow forms must come from the same pair, or a sanitizer sees memory
// from its own new[] released by this delete[].
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace velmora {
namespace {

class ArchiveTest : public testing::SimMachineTest {
 protected:
  // Stores through a fresh archive and answers the file's bytes.
  template <typename Store>
  std::string Stored(Store store) {
    CFile file;
    EXPECT_TRUE(file.Open("C:\\store.bin", CFile::modeWrite | CFile::modeCreate));
    CArchive archive(&file, CArchive::store);
    store(archive);
    archive.Close();
    file.Close();
    return HostBytes("store.bin");
  }

  // Loads from the given bytes.
  template <typename Load>
  void Loaded(const std::string& bytes, Load load) {
    PlantBytes("load.bin", bytes);
    CFile file;
    ASSERT_TRUE(file.Open("C:\\load.bin", CFile::modeRead));
    CArchive archive(&file, CArchive::load);
    load(archive);
  }

  int LoadCause(const std::string& bytes) {
    int cause = CArchiveException::none;
    Loaded(bytes, [&](CArchive& ar) {
      try {
        std::string value;
        ar >> value;
      } catch (const CArchiveException& e) {
        cause = e.m_cause;
      }
    });
    return cause;
  }
};

std::string Bytes(std::initializer_list<unsigned> values) {
  std::string out;
  for (unsigned v : values) out += static_cast<char>(v);
  return out;
}

struct StringCase {
  std::size_t length;
  std::string prefix;
};

TEST_F(ArchiveTest, StringLengthPrefixesAreExact) {
  const StringCase cases[] = {
      {0, Bytes({0x00})},
      {254, Bytes({0xFE})},
      {255, Bytes({0xFF, 0xFF, 0x00})},
      {0x1234, Bytes({0xFF, 0x34, 0x12})},
      {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
      {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
      {0x11170, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
  };
  for (const StringCase& c : cases) {
    std::string text(c.length, 'x');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    const std::string bytes = Stored([&](CArchive& ar) { ar << text; });
    EXPECT_EQ(bytes.substr(0, c.prefix.size()), c.prefix) << "length " << c.length;
    EXPECT_EQ(bytes.substr(c.prefix.size()), text) << "length " << c.length;
    Loaded(bytes, [&](CArchive& ar) {
      std::string back;
      ar >> back;
      EXPECT_EQ(back, text) << "length " << c.length;
    });
  }
}

TEST_F(ArchiveTest, ReservedLengthIsRefused) {
  EXPECT_EQ(LoadCause(Bytes({0xFF, 0xFE, 0xFF, 'a', 'b'})), CArchiveException::generic);
}

TEST_F(ArchiveTest, IntegersAreLittleEndian) {
  const std::string bytes = Stored([](CArchive& ar) {
    ar << std::uint8_t{0x12} << std::uint16_t{0x3456} << std::uint32_t{0x789ABCDE}
       << std::int32_t{-2};
  });
  EXPECT_EQ(bytes, Bytes({0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78, 0xFE, 0xFF, 0xFF, 0xFF}));
  Loaded(bytes, [](CArchive& ar) {
    std::uint8_t a = 0;
    std::uint16_t b = 0;
    std::uint32_t c = 0;
    std::int32_t d = 0;
    ar >> a >> b >> c >> d;
    EXPECT_EQ(a, 0x12);
    EXPECT_EQ(b, 0x3456);
    EXPECT_EQ(c, 0x789ABCDEu);
    EXPECT_EQ(d, -2);
  });
}

TEST_F(ArchiveTest, TruncatedInputIsEndOfFile) {
  EXPECT_EQ(LoadCause(Bytes({0x0A, 'a', 'b', 'c'})), CArchiveException::endOfFile);
  EXPECT_EQ(LoadCause(Bytes({0xFF, 0x00})), CArchiveException::endOfFile);
  EXPECT_EQ(LoadCause(""), CArchiveException::endOfFile);
  Loaded(Bytes({0x01, 0x02}), [](CArchive& ar) {
    std::uint32_t value = 0;
    try {
      ar >> value;
      ADD_FAILURE() << "read a 32-bit value from two bytes";
    } catch (const CArchiveException& e) {
      EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
      EXPECT_EQ(e.m_strFileName, "C:\\load.bin");
    }
  });
}

TEST_F(ArchiveTest, HugeBogusLengthDoesNotAllocateIt) {
  g_largest = 0;
  g_watching = true;
  const int cause =
      LoadCause(Bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 's', 'h', 'o', 'r', 't'}));
  g_watching = false;
  EXPECT_EQ(cause, CArchiveException::endOfFile);
  EXPECT_LT(g_largest.load(), std::size_t{1} << 20);
}

TEST_F(ArchiveTest, BytesConsumedIsThePositionInTheLoadedData) {
  // A string, filler that empties the first buffer load, a read larger than
  // the buffer (it bypasses it), and a 32-bit value cut short.
  const std::string bytes = Bytes({0x03, 'a', 'b', 'c'}) + std::string(4092, 'f') +
                            std::string(10000, 'B') + Bytes({0x01, 0x02});
  Loaded(bytes, [&](CArchive& ar) {
    EXPECT_EQ(ar.GetBytesConsumed(), 0u);
    std::string text;
    ar >> text;
    EXPECT_EQ(ar.GetBytesConsumed(), 4u);  // not the 4096 read ahead
    std::string rest(4092 + 10000, '\0');
    ASSERT_EQ(ar.Read(rest.data(), 4092), 4092u);
    ASSERT_EQ(ar.Read(rest.data(), 10000), 10000u);
    EXPECT_EQ(ar.GetBytesConsumed(), 4u + 4092 + 10000);
    std::uint32_t value = 0;
    EXPECT_THROW(ar >> value, CArchiveException);
    EXPECT_EQ(ar.GetBytesConsumed(), bytes.size());  // the two bytes that were there
  });
}

TEST_F(ArchiveTest, StoringHoldsBytesUntilFlushOrClose) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\f.bin", CFile::modeReadWrite | CFile::modeCreate));
  {
    CArchive archive(&file, CArchive::store);
    archive << std::uint32_t{1};
    EXPECT_EQ(file.GetLength(), 0u);
    archive.Flush();
    EXPECT_EQ(file.GetLength(), 4u);
    archive << std::uint16_t{2};
    archive.Close();
    EXPECT_EQ(file.GetLength(), 6u);
    EXPECT_TRUE(file.IsOpen());  // Close detaches; the file stays open
  }
  {
    CArchive archive(&file, CArchive::store);
    archive << std::uint8_t{3};
  }  // the destructor flushes
  EXPECT_EQ(file.GetLength(), 7u);
  {
    CArchive archive(&file, CArchive::store);
    archive << std::uint8_t{4};
    archive.Abort();
  }
  EXPECT_EQ(file.GetLength(), 7u);
}

TEST_F(ArchiveTest, WriteFailureSurfacesOnCloseOnly) {
  CFile file;
  ASSERT_TRUE(file.Open("C:\\w.bin", CFile::modeWrite | CFile::modeCreate));
  machine_.InjectFault("WriteFile", 1, FileCause::diskFull);
  {
    CArchive archive(&file, CArchive::store);
    archive << std::uint32_t{7};
    try {
      archive.Close();
      ADD_FAILURE() << "close reported no failure";
    } catch (const CFileException& e) {
      EXPECT_EQ(e.Cause(), FileCause::diskFull);
    }
  }
  machine_.InjectFault("WriteFile", 1, FileCause::diskFull);
  {
    CArchive archive(&file, CArchive::store);
    archive << std::uint32_t{7};
  }  // a destructor cannot report: the failure is swallowed
  EXPECT_EQ(machine_.PendingFaults(), 0u);
}

TEST_F(ArchiveTest, ValuesCrossingTheBufferBoundaryRoundTrip) {
  const std::string filler(4094, 'f');
  const std::string big(10000, 'B');
  const std::string bytes = Stored([&](CArchive& ar) {
    ar.Write(filler.data(), static_cast<std::uint32_t>(filler.size()));
    ar << std::uint32_t{0xA1B2C3D4};  // bytes 4094..4097
    ar << std::string(300, 's');      // prefix and text straddle nothing in particular
    ar.Write(big.data(), static_cast<std::uint32_t>(big.size()));  // larger than the buffer
    ar << std::uint16_t{0xBEEF};
  });
  ASSERT_EQ(bytes.size(), 4094u + 4 + 3 + 300 + 10000 + 2);
  EXPECT_EQ(bytes.substr(4094, 4), Bytes({0xD4, 0xC3, 0xB2, 0xA1}));
  Loaded(bytes, [&](CArchive& ar) {
    std::string head(4095, '\0');
    ASSERT_EQ(ar.Read(head.data(), 4095), 4095u);
    EXPECT_EQ(head.substr(0, 4094), filler);
    std::uint8_t b1 = 0, b2 = 0, b3 = 0;
    ar >> b1 >> b2 >> b3;
    EXPECT_EQ(b1, 0xC3);
    EXPECT_EQ(b3, 0xA1);
    std::string text;
    ar >> text;
    EXPECT_EQ(text, std::string(300, 's'));
    std::string back(big.size(), '\0');
    ASSERT_EQ(ar.Read(back.data(), static_cast<std::uint32_t>(back.size())), big.size());
    EXPECT_EQ(back, big);
    std::uint16_t tail = 0;
    ar >> tail;
    EXPECT_EQ(tail, 0xBEEF);
    char extra = 0;
    EXPECT_EQ(ar.Read(&extra, 1), 0u);
  });
}

}  // namespace
}  // namespace velmora
