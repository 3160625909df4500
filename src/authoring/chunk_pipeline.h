// The chunks of a part's payloads, read and encoded ahead of the writer and
// answered in the order they are written.
//
// Each chunk is a stretch of its own, so chunks can be encoded on several
// threads at once: the pipeline reads up to a fixed number of chunks ahead
// (on the caller's thread, so sources are only ever read from one thread),
// worker threads encode them, and Next hands them out in order.  Reading
// ahead assumes that every chunk is as long as the chunk size allows; when
// the writer cuts a chunk short to end a media file, CutLast drops the
// chunks read ahead and reading goes on where the cut chunk ended.  Memory
// stays bounded by the chunks in flight, whatever the payloads' sizes.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "authoring/package_writer.h"
#include "authoring/record_image.h"
#include "authoring/stretch_encoder.h"

namespace velmora {

struct EncodedChunk {
  std::size_t step = 0;         // index in the part
  std::uint32_t sequence = 0;   // from 1 in each payload
  std::uint32_t dataStart = 0;  // in the step's payload
  std::uint32_t length = 0;     // data bytes
  Bytes bytes;                  // the chunk as the readers get it: head and data
  Bytes encoded;                // `bytes` encoded as one stretch

  const std::uint8_t* Data() const { return bytes.data() + kChunkHeaderSize; }
};

class ChunkPipeline {
 public:
  // `jobs` threads encode; with 1, the caller's thread encodes each chunk
  // when Next answers it.  `part` must outlive the pipeline.
  ChunkPipeline(const PackagePart& part, std::uint32_t chunkSize, unsigned jobs);
  ~ChunkPipeline();
  ChunkPipeline(const ChunkPipeline&) = delete;
  ChunkPipeline& operator=(const ChunkPipeline&) = delete;

  // The next chunk, or nullptr after the last; valid until the next call of
  // Next or CutLast.  Rethrows what reading or encoding it threw
  // (PayloadReadError when its source cannot be read).
  const EncodedChunk* Next();
  // The chunk Next answered last was written with only its first `length`
  // data bytes (fewer than it has): the next chunk starts right after them.
  void CutLast(std::uint32_t length);

 private:
  struct Job {
    EncodedChunk chunk;
    bool done = false;  // encoded, or failed
    std::exception_ptr error;
  };

  void ReadAhead();
  void MoveCursorPast(std::uint32_t length);
  void SkipFinished();
  void Work();

  const PackagePart& part_;
  std::uint32_t chunkSize_;
  std::size_t depth_;  // chunks read ahead at most

  // Where the next chunk to read starts.
  std::size_t step_ = 0;
  std::uint32_t sequence_ = 1;
  std::uint32_t dataStart_ = 0;

  std::deque<std::shared_ptr<Job>> ahead_;  // read, in order
  std::shared_ptr<Job> current_;            // answered last
  StretchEncoder encoder_;                  // the caller's, with no workers

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable workToDo_;
  std::condition_variable workDone_;
  std::deque<std::shared_ptr<Job>> queue_;  // read, not yet taken by a worker
  bool stopping_ = false;
};

}  // namespace velmora
