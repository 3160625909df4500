// Codec throughput: the stream's decoder and encoder against memcpy and zlib
// (level 6 deflate, inflate) on one generated corpus, the CRC-32 that checks
// media files, plus the decoder's heap
// use for two input sizes.  Files live on the in-memory test machine, so disk
// I/O does not dominate.
//
//   cmake -S . -B build-codec-rel -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-codec-rel --target velmora_bench
//   build-codec-rel/tests/bench/velmora_bench
//
// VELMORA_BENCH_MB sets the corpus size (default 64).  Rates are bytes of
// uncompressed data per second; "ratio" is compressed size / original size.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "datafile/compressed_file.h"
#include "datafile/crc32.h"
#include "unit/support/memory_machine.h"

// ---- heap accounting ------------------------------------------------------------
// Every allocation of this program carries its size in a 16-byte header, so
// the live and peak bytes of a stretch of code can be measured exactly.
namespace {
std::atomic<bool> g_counting{false};
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void* Allocate(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + 16));
  if (block == nullptr) throw std::bad_alloc();
  std::memcpy(block, &size, sizeof size);
  if (g_counting.load(std::memory_order_relaxed)) {
    const long long live = g_live += static_cast<long long>(size);
    long long peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
  }
  return block + 16;
}

void Release(void* pointer) noexcept {
  if (pointer == nullptr) return;
  auto* block = static_cast<unsigned char*>(pointer) - 16;
  std::size_t size;
  std::memcpy(&size, block, sizeof size);
  if (g_counting.load(std::memory_order_relaxed)) g_live -= static_cast<long long>(size);
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Release(pointer); }

namespace {

using velmora::CCompressedFile;
using velmora::CFile;
using velmora::ScopedMachine;
using velmora::test::MemoryMachine;
using Bytes = std::vector<std::uint8_t>;

// ---- corpus ---------------------------------------------------------------------
// 64 KB blocks of three kinds in a deterministic random order: prose, source
// code, and zero-heavy binary (headers, tables of small integers, zero
// padding, some incompressible bytes), as in an installation package.

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state_ >> 33);
  }
  std::uint32_t Below(std::uint32_t bound) { return Next() % bound; }

 private:
  std::uint64_t state_;
};

std::vector<std::string> MakeWords(Rng& rng, int count) {
  static const char* kSyllables[] = {"in",  "stal", "la",   "tion", "set",  "up", "fi",
                                     "le",  "ver",  "sion", "pro",  "gram", "di", "rec",
                                     "to",  "ry",   "the",  "and",  "of",   "re", "con",
                                     "fig", "ure",  "win",  "dows", "sys",  "tem"};
  std::vector<std::string> words;
  for (int i = 0; i < count; ++i) {
    std::string word;
    const int syllables = 1 + static_cast<int>(rng.Below(3));
    for (int s = 0; s < syllables; ++s) word += kSyllables[rng.Below(std::size(kSyllables))];
    words.push_back(word);
  }
  return words;
}

void AppendText(Bytes& out, std::size_t size, Rng& rng, const std::vector<std::string>& words) {
  const std::size_t end = out.size() + size;
  std::size_t column = 0;
  bool sentenceStart = true;
  while (out.size() < end) {
    // Zipf-like: common words much more often.
    const std::size_t index =
        rng.Below(8) < 5 ? rng.Below(40) : rng.Below(static_cast<std::uint32_t>(words.size()));
    std::string word = words[index];
    if (sentenceStart) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    sentenceStart = false;
    out.insert(out.end(), word.begin(), word.end());
    column += word.size();
    const std::uint32_t punct = rng.Below(20);
    if (punct == 0) {
      out.push_back('.');
      sentenceStart = true;
    } else if (punct == 1) {
      out.push_back(',');
    }
    if (column > 68) {
      out.push_back('\r');
      out.push_back('\n');
      if (rng.Below(6) == 0) {
        out.push_back('\r');
        out.push_back('\n');
      }
      column = 0;
    } else {
      out.push_back(' ');
      ++column;
    }
  }
  out.resize(end);
}

void AppendCode(Bytes& out, std::size_t size, Rng& rng, const std::vector<std::string>& words) {
  static const char* kKeywords[] = {"if (",    "return ", "for (int i = 0; i < ",
                                    "const ",  "auto ",   "std::string ",
                                    "while (", "else ",   "static ",
                                    "void "};
  const std::size_t end = out.size() + size;
  int depth = 1;
  while (out.size() < end) {
    std::string line(static_cast<std::size_t>(depth) * 4, ' ');
    const std::uint32_t kind = rng.Below(12);
    if (kind == 0) {
      line = "// ----------------------------------------------------------------------------";
    } else if (kind == 1 && depth < 6) {
      line +=
          std::string(kKeywords[rng.Below(std::size(kKeywords))]) + words[rng.Below(60)] + ") {";
      ++depth;
    } else if (kind == 2 && depth > 1) {
      --depth;
      line.assign(static_cast<std::size_t>(depth) * 4, ' ');
      line += "}";
    } else {
      line += kKeywords[rng.Below(std::size(kKeywords))];
      line += words[rng.Below(60)] + "_" + words[rng.Below(60)] + " = " + words[rng.Below(60)] +
              "(" + std::to_string(rng.Below(1000)) + ");";
    }
    line += "\n";
    out.insert(out.end(), line.begin(), line.end());
  }
  out.resize(end);
}

void AppendBinary(Bytes& out, std::size_t size, Rng& rng) {
  const std::size_t end = out.size() + size;
  while (out.size() < end) {
    switch (rng.Below(5)) {
      case 0:  // zero padding
        out.insert(out.end(), 16 + rng.Below(2048), 0);
        break;
      case 1:  // table of small little-endian 32-bit values
        for (std::uint32_t i = 0, n = 8 + rng.Below(200); i < n; ++i) {
          const std::uint32_t v = rng.Below(4) == 0 ? rng.Below(65536) : rng.Below(256);
          for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
        }
        break;
      case 2:  // 16-bit records with a fixed tag
        for (std::uint32_t i = 0, n = 8 + rng.Below(100); i < n; ++i) {
          out.push_back(0x4C);
          out.push_back(static_cast<std::uint8_t>(rng.Below(256)));
          out.push_back(static_cast<std::uint8_t>(rng.Below(4)));
          out.push_back(0);
        }
        break;
      case 3:  // machine code / compressed resources: incompressible
        for (std::uint32_t i = 0, n = 64 + rng.Below(1024); i < n; ++i) {
          out.push_back(static_cast<std::uint8_t>(rng.Next()));
        }
        break;
      default:  // 0xFF fill
        out.insert(out.end(), 8 + rng.Below(256), 0xFF);
        break;
    }
  }
  out.resize(end);
}

Bytes MakeCorpus(std::size_t size) {
  Rng rng(0x5EED);
  const std::vector<std::string> words = MakeWords(rng, 400);
  Bytes corpus;
  corpus.reserve(size + 65536);
  constexpr std::size_t kBlock = 65536;
  while (corpus.size() < size) {
    const std::size_t block = std::min(kBlock, size - corpus.size());
    const std::uint32_t kind = rng.Below(20);
    if (kind < 8) {
      AppendText(corpus, block, rng, words);
    } else if (kind < 15) {
      AppendCode(corpus, block, rng, words);
    } else {
      AppendBinary(corpus, block, rng);
    }
  }
  return corpus;
}

std::size_t CorpusSize() {
  const char* mb = std::getenv("VELMORA_BENCH_MB");
  const long value = mb != nullptr ? std::strtol(mb, nullptr, 10) : 64;
  return static_cast<std::size_t>(value > 0 ? value : 64) << 20;
}

const Bytes& Corpus() {
  static const Bytes corpus = MakeCorpus(CorpusSize());
  return corpus;
}

// ---- our codec on the in-memory machine --------------------------------------------

constexpr std::uint32_t kChunk = 1 << 20;

void EncodeInto(MemoryMachine& machine, const Bytes& input, std::uint32_t outputBuffer) {
  ScopedMachine scoped(machine);
  CCompressedFile file;
  if (!file.Open("C:\\OUT.BIN", CFile::modeCreate | CFile::modeWrite)) std::abort();
  file.SetOutputBuffer(outputBuffer);
  file.SetCompressed(true);
  for (std::size_t at = 0; at < input.size(); at += kChunk) {
    file.Write(input.data() + at,
               static_cast<std::uint32_t>(std::min<std::size_t>(kChunk, input.size() - at)));
  }
  file.Close();
}

std::size_t DecodeFrom(MemoryMachine& machine, std::uint8_t* out, std::size_t capacity) {
  ScopedMachine scoped(machine);
  CCompressedFile file;
  if (!file.Open("C:\\IN.BIN", CFile::modeRead)) std::abort();
  file.SetCompressed(true);
  std::size_t done = 0;
  for (;;) {
    const auto want = static_cast<std::uint32_t>(std::min<std::size_t>(kChunk, capacity - done));
    const std::uint32_t got = want == 0 ? 0 : file.Read(out + done, want);
    done += got;
    if (got < want || want == 0) return done;
  }
}

const Bytes& OurEncoded() {
  static const Bytes encoded = [] {
    MemoryMachine machine;
    EncodeInto(machine, Corpus(), 1 << 20);
    return machine.GetFile("C:\\OUT.BIN");
  }();
  return encoded;
}

// ---- zlib ------------------------------------------------------------------------

std::size_t Deflate(const Bytes& input, Bytes& out, int level) {
  out.resize(compressBound(static_cast<uLong>(input.size())));
  z_stream z{};
  if (deflateInit(&z, level) != Z_OK) std::abort();
  z.next_in = const_cast<Bytef*>(input.data());
  z.avail_in = static_cast<uInt>(input.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  if (deflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
  const std::size_t size = z.total_out;
  deflateEnd(&z);
  return size;
}

std::size_t Inflate(const Bytes& input, std::uint8_t* out, std::size_t capacity) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) std::abort();
  z.next_in = const_cast<Bytef*>(input.data());
  z.avail_in = static_cast<uInt>(input.size());
  z.next_out = out;
  z.avail_out = static_cast<uInt>(capacity);
  if (inflate(&z, Z_FINISH) != Z_STREAM_END) std::abort();
  const std::size_t size = z.total_out;
  inflateEnd(&z);
  return size;
}

const Bytes& ZlibEncoded() {
  static const Bytes encoded = [] {
    Bytes out;
    out.resize(Deflate(Corpus(), out, 6));
    return out;
  }();
  return encoded;
}

void SetRate(benchmark::State& state, std::size_t compressed) {
  const Bytes& corpus = Corpus();
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(corpus.size()));
  state.counters["corpus_MB"] = static_cast<double>(corpus.size()) / (1 << 20);
  if (compressed != 0) {
    state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(corpus.size());
  }
}

// ---- benchmarks --------------------------------------------------------------------

void BM_Memcpy(benchmark::State& state) {
  const Bytes& corpus = Corpus();
  Bytes out(corpus.size());
  for (auto _ : state) {
    std::memcpy(out.data(), corpus.data(), corpus.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  SetRate(state, 0);
}

void BM_VelmoraDecode(benchmark::State& state) {
  const Bytes& corpus = Corpus();
  MemoryMachine machine;
  machine.SetFile("C:\\IN.BIN", OurEncoded());
  Bytes out(corpus.size());
  if (DecodeFrom(machine, out.data(), out.size()) != corpus.size() || out != corpus) {
    state.SkipWithError("decoded bytes differ from the corpus");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeFrom(machine, out.data(), out.size()));
    benchmark::ClobberMemory();
  }
  SetRate(state, OurEncoded().size());
}

// outputBuffer 0: one machine write per record, as the runtime writes.
void BM_VelmoraEncode(benchmark::State& state) {
  const auto outputBuffer = static_cast<std::uint32_t>(state.range(0));
  MemoryMachine machine;
  std::size_t size = 0;
  for (auto _ : state) {
    EncodeInto(machine, Corpus(), outputBuffer);
    size = machine.GetFile("C:\\OUT.BIN").size();
  }
  if (machine.GetFile("C:\\OUT.BIN") != OurEncoded()) state.SkipWithError("encoded bytes differ");
  SetRate(state, size);
}

void BM_ZlibDeflate6(benchmark::State& state) {
  Bytes out;
  std::size_t size = 0;
  for (auto _ : state) {
    size = Deflate(Corpus(), out, 6);
    benchmark::DoNotOptimize(out.data());
  }
  SetRate(state, size);
}

void BM_ZlibInflate(benchmark::State& state) {
  const Bytes& corpus = Corpus();
  const Bytes& deflated = ZlibEncoded();  // made before the timing starts
  Bytes out(corpus.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(Inflate(deflated, out.data(), out.size()));
    benchmark::ClobberMemory();
  }
  if (out != corpus) state.SkipWithError("inflated bytes differ from the corpus");
  SetRate(state, ZlibEncoded().size());
}

// The decoder's own heap: everything allocated from the stream object's
// construction to the end of decoding (read-ahead buffer, path string), with
// the input file and the output buffer allocated beforehand.  The same for a
// 16 MB and a 64 MB input when the decoder's memory does not grow with input.
void BM_DecoderPeakHeap(benchmark::State& state) {
  const std::size_t size =
      std::min<std::size_t>(static_cast<std::size_t>(state.range(0)) << 20, Corpus().size());
  const Bytes input(Corpus().begin(), Corpus().begin() + static_cast<std::ptrdiff_t>(size));
  MemoryMachine machine;
  EncodeInto(machine, input, 1 << 20);
  machine.SetFile("C:\\IN.BIN", machine.GetFile("C:\\OUT.BIN"));
  Bytes out(size);
  long long peak = 0;
  for (auto _ : state) {
    g_live = 0;
    g_peak = 0;
    g_counting = true;
    const std::size_t got = DecodeFrom(machine, out.data(), out.size());
    g_counting = false;
    peak = g_peak;
    if (got != size) state.SkipWithError("short decode");
  }
  state.counters["input_MB"] = static_cast<double>(size >> 20);
  state.counters["peak_heap_bytes"] = static_cast<double>(peak);
}

// The media files' check: every byte of a package goes through it once
// before it is used.
void BM_Crc32(benchmark::State& state) {
  const Bytes& corpus = Corpus();
  std::uint32_t crc = 0;
  for (auto _ : state) {
    crc = velmora::Crc32(corpus.data(), corpus.size());
    benchmark::DoNotOptimize(crc);
  }
  SetRate(state, 0);
}

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VelmoraDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibInflate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_VelmoraEncode)
    ->Arg(0)
    ->Arg(1 << 20)
    ->ArgName("outbuf")
    ->MinTime(3.0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ZlibDeflate6)->MinTime(3.0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecoderPeakHeap)
    ->Arg(16)
    ->Arg(64)
    ->ArgName("MB")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ---- summary -------------------------------------------------------------------------
// The console output plus the two ratios the targets are stated in, from
// wall-clock time and from CPU time (on a busy machine the CPU time is the
// steadier of the two).
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter() : ConsoleReporter(isatty(1) != 0 ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto size = run.counters.find("corpus_MB");
      if (run.error_occurred || size == run.counters.end()) continue;
      const double bytes = size->second.value * (1 << 20);
      const double unitsPerSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
      std::string name = run.benchmark_name();
      name = name.substr(0, name.find("/min_time"));
      name = name.substr(0, name.find("/real_time"));
      rates_[name] = {bytes / (run.GetAdjustedRealTime() / unitsPerSecond),
                      bytes / (run.GetAdjustedCPUTime() / unitsPerSecond)};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf(
        "\nSummary (MB/s = 10^6 bytes of uncompressed data per second; wall clock | CPU):\n");
    Ratio("BM_VelmoraDecode", "BM_ZlibInflate");
    Ratio("BM_VelmoraEncode/outbuf:0", "BM_ZlibDeflate6");
    Ratio("BM_VelmoraEncode/outbuf:1048576", "BM_ZlibDeflate6");
    Ratio("BM_VelmoraDecode", "BM_Memcpy");
  }

 private:
  struct Rates {
    double real;
    double cpu;
  };

  void Ratio(const std::string& ours, const std::string& theirs) const {
    auto a = rates_.find(ours);
    auto b = rates_.find(theirs);
    if (a == rates_.end() || b == rates_.end()) return;
    std::printf("  %-32s %8.1f | %8.1f MB/s   vs %-16s %8.1f | %8.1f MB/s   = %5.2fx | %5.2fx\n",
                ours.c_str(), a->second.real / 1e6, a->second.cpu / 1e6, theirs.c_str(),
                b->second.real / 1e6, b->second.cpu / 1e6, a->second.real / b->second.real,
                a->second.cpu / b->second.cpu);
  }

  std::map<std::string, Rates> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  std::fprintf(stderr, "generating a %zu MB corpus and compressing it...\n", CorpusSize() >> 20);
  Corpus();
  OurEncoded();
  ZlibEncoded();
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
