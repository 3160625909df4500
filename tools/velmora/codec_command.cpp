// velmora codec encode|decode IN OUT: a whole host file through the package's
// compressed stream format, as one compressed stretch.
#include <cstdint>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "backends/sim/host_files.h"
#include "commands.h"
#include "datafile/compressed_file.h"
#include "file_cause_text.h"

namespace velmora::cli {
namespace {

constexpr std::uint32_t kChunk = 1 << 20;

enum class Direction { encode, decode };

struct CodecOptions {
  std::string input;
  std::string output;
};

class CodecRun {
 public:
  CodecRun(Direction direction, const CodecOptions& options)
      : direction_(direction),
        options_(options),
        machine_(MakeHostFileMachine()),
        scoped_(*machine_),
        inputPath_(HostPathToWindows(options.input)),
        outputPath_(HostPathToWindows(options.output)) {}

  void Run() {
    CheckInput();
    std::unique_ptr<CFile> in = OpenInput();
    std::unique_ptr<CFile> out = OpenOutput();
    std::vector<std::uint8_t> buffer(kChunk);
    try {
      for (;;) {
        const std::uint32_t got = ReadChunk(*in, buffer.data());
        if (got == 0) break;
        Guarded(Side::output, [&] { out->Write(buffer.data(), got); });
        written_ += got;
        if (got < kChunk) break;
      }
      if (direction_ == Direction::decode && static_cast<CCompressedFile&>(*in).HasBadRecord()) {
        std::ostringstream message;
        message << "input '" << options_.input << "' is not a valid compressed stream: after "
                << written_ << " decoded bytes a pattern record has a length outside 2..5";
        Fail(message.str(), kExitFailure);
      }
      Guarded(Side::output, [&] { out->Close(); });
      in->Close();
    } catch (const CommandFailure&) {
      out->Abort();
      machine_->DeleteFile(outputPath_);  // leave no partial output behind
      throw;
    }
    PrintSummary();
  }

 private:
  enum class Side { input, output };

  [[noreturn]] void FailIo(Side side, FileCause cause) const {
    if (side == Side::input) {
      Fail("cannot read input '" + options_.input + "': " + FileCauseText(cause), kExitIoError);
    }
    Fail("cannot write output '" + options_.output + "': " + FileCauseText(cause), kExitIoError);
  }
  template <typename Operation>
  void Guarded(Side side, Operation operation) {
    try {
      operation();
    } catch (const CFileException& e) {
      FailIo(side, e.Cause());
    }
  }

  void CheckInput() {
    std::uint32_t attributes = 0;
    const FileCause cause = machine_->GetFileAttributes(inputPath_, attributes);
    if (cause != FileCause::none) FailIo(Side::input, cause);
    if ((attributes & attr::directory) != 0) {
      Fail("cannot read input '" + options_.input + "': it is a directory", kExitIoError);
    }
    if (machine_->GetFileAttributes(outputPath_, attributes) == FileCause::none &&
        (attributes & attr::directory) != 0) {
      Fail("cannot write output '" + options_.output + "': it is a directory", kExitIoError);
    }
    if (inputPath_ == outputPath_) {
      Fail("input and output are the same file ('" + options_.input + "')", kExitUsage);
    }
  }

  std::unique_ptr<CFile> OpenInput() {
    std::unique_ptr<CFile> in;
    if (direction_ == Direction::decode) {
      in = std::make_unique<CCompressedFile>();
    } else {
      in = std::make_unique<CFile>();
    }
    CFileException error;
    if (!in->Open(inputPath_, CFile::modeRead | CFile::shareDenyWrite, &error)) {
      FailIo(Side::input, error.Cause());
    }
    if (direction_ == Direction::decode) static_cast<CCompressedFile&>(*in).SetCompressed(true);
    return in;
  }

  std::unique_ptr<CFile> OpenOutput() {
    std::unique_ptr<CFile> out;
    if (direction_ == Direction::encode) {
      auto encoder = std::make_unique<CCompressedFile>();
      encoder->SetOutputBuffer(kChunk);  // same bytes, far fewer writes
      out = std::move(encoder);
    } else {
      out = std::make_unique<CFile>();
    }
    CFileException error;
    if (!out->Open(outputPath_, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive,
                   &error)) {
      FailIo(Side::output, error.Cause());
    }
    if (direction_ == Direction::encode) static_cast<CCompressedFile&>(*out).SetCompressed(true);
    return out;
  }

  std::uint32_t ReadChunk(CFile& in, std::uint8_t* buffer) {
    std::uint32_t got = 0;
    Guarded(Side::input, [&] { got = in.Read(buffer, kChunk); });
    return got;
  }

  void PrintSummary() {
    const std::uint64_t inputBytes = FileSize(inputPath_);
    const std::uint64_t outputBytes = FileSize(outputPath_);
    const std::uint64_t plain = direction_ == Direction::encode ? inputBytes : outputBytes;
    const std::uint64_t packed = direction_ == Direction::encode ? outputBytes : inputBytes;
    std::ostringstream line;
    line << (direction_ == Direction::encode ? "encoded " : "decoded ") << options_.input << " -> "
         << options_.output << ": " << inputBytes << " bytes in, " << outputBytes
         << " bytes out, ratio ";
    if (plain == 0) {
      line << "n/a (empty)";
    } else {
      line.setf(std::ios::fixed);
      line.precision(1);
      line << 100.0 * static_cast<double>(packed) / static_cast<double>(plain)
           << "% (compressed/plain)";
    }
    std::cout << line.str() << '\n';
  }

  // CFile lengths are 32-bit (as in the data files); the machine gives the
  // full size of a larger host file.
  std::uint64_t FileSize(const std::string& path) {
    FileHandle handle = kNoFile;
    std::uint64_t size = 0;
    if (machine_->OpenFile(path, FileAccess::read, FileShare::denyNone,
                           FileDisposition::openExisting, handle) == FileCause::none) {
      machine_->GetFileSize(handle, size);
      machine_->CloseFile(handle);
    }
    return size;
  }

  Direction direction_;
  CodecOptions options_;
  std::unique_ptr<Machine> machine_;
  ScopedMachine scoped_;
  std::string inputPath_;
  std::string outputPath_;
  std::uint64_t written_ = 0;  // bytes written to the output stream
};

void AddDirection(CLI::App& codec, Direction direction,
                  const std::shared_ptr<CodecOptions>& options) {
  const bool encode = direction == Direction::encode;
  CLI::App* sub = codec.add_subcommand(
      encode ? "encode" : "decode",
      encode ? "Compress the whole of IN into OUT as one compressed stretch."
             : "Decompress IN, one compressed stretch (as 'codec encode' writes it), into OUT.");
  sub->add_option("IN", options->input,
                  encode ? "plain file to compress" : "compressed file to decode")
      ->required();
  sub->add_option("OUT", options->output,
                  "file to write (created or overwritten; removed again if the command fails)")
      ->required();
  sub->callback([direction, options] { CodecRun(direction, *options).Run(); });
}

}  // namespace

void AddCodecCommand(CLI::App& app) {
  auto options = std::make_shared<CodecOptions>();
  CLI::App* codec = app.add_subcommand(
      "codec",
      "Encode or decode files in the run-length code of the data files (literal runs, "
      "repeat runs and 2..5-byte patterns).");
  codec->require_subcommand(1);
  codec->footer(
      std::string(
          "Prints one line: input bytes, output bytes and the ratio compressed/plain.\n"
          "Exit codes: 0 done, 1 input is not a valid compressed stream, 2 bad command line,\n"
          "3 input unreadable or output unwritable.\n"
          "Example: velmora codec encode readme.txt readme.vmz && velmora codec decode "
          "readme.vmz readme.out\n") +
      kExitCodesDoc);
  AddDirection(*codec, Direction::encode, options);
  AddDirection(*codec, Direction::decode, options);
}

}  // namespace velmora::cli
