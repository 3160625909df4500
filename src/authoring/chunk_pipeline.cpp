#include "authoring/chunk_pipeline.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "authoring/package_plan.h"

namespace velmora {
namespace {

// Bytes of chunk data read ahead at most, beyond two chunks: enough to keep
// every worker busy with chunks of the default size, little beside the
// payloads' sizes.
constexpr std::size_t kAheadBytes = 16u << 20;

std::uint64_t PayloadSize(const PackageStep& step) { return StepContents(step).Source().Size(); }

}  // namespace

ChunkPipeline::ChunkPipeline(const PackagePart& part, std::uint32_t chunkSize, unsigned jobs)
    : part_(part), chunkSize_(chunkSize), depth_(1) {
  SkipFinished();
  if (jobs <= 1) return;
  try {
    for (unsigned i = 0; i < jobs; ++i) workers_.emplace_back(&ChunkPipeline::Work, this);
  } catch (const std::system_error&) {
    // Fewer threads than asked for: the ones made do the work, or the
    // caller's thread when none could be made.
  }
  if (!workers_.empty())
    depth_ = std::max<std::size_t>(
        2, std::min<std::size_t>(4 * workers_.size(), kAheadBytes / chunkSize));
}

ChunkPipeline::~ChunkPipeline() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  workToDo_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

// Moves the cursor `length` data bytes on from the chunk it names.
void ChunkPipeline::MoveCursorPast(std::uint32_t length) {
  dataStart_ += length;
  ++sequence_;
  SkipFinished();
}

// From the end of a payload on to the first chunk of the next payload that
// has one (or past the last step).
void ChunkPipeline::SkipFinished() {
  while (step_ < part_.steps.size() && dataStart_ >= PayloadSize(part_.steps[step_])) {
    ++step_;
    sequence_ = 1;
    dataStart_ = 0;
  }
}

void ChunkPipeline::ReadAhead() {
  while (ahead_.size() < depth_ && step_ < part_.steps.size()) {
    if (!ahead_.empty() && ahead_.back()->error) return;  // nothing is read past a failure
    auto job = std::make_shared<Job>();
    EncodedChunk& chunk = job->chunk;
    chunk.step = step_;
    chunk.sequence = sequence_;
    chunk.dataStart = dataStart_;
    const StepContents contents(part_.steps[step_]);
    chunk.length = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(chunkSize_, contents.Source().Size() - dataStart_));
    try {
      Bytes head;
      AppendChunkHead(head, chunk.sequence, chunk.length);
      chunk.bytes.resize(kChunkHeaderSize + std::size_t{chunk.length});
      std::memcpy(chunk.bytes.data(), head.data(), kChunkHeaderSize);
      contents.Source().Read(chunk.dataStart, chunk.length, chunk.bytes.data() + kChunkHeaderSize);
    } catch (...) {
      job->error = std::current_exception();
      job->done = true;
    }
    MoveCursorPast(chunk.length);
    ahead_.push_back(job);
    if (job->done || workers_.empty()) continue;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      queue_.push_back(std::move(job));
    }
    workToDo_.notify_one();
  }
}

const EncodedChunk* ChunkPipeline::Next() {
  ReadAhead();
  if (ahead_.empty()) {
    current_.reset();
    return nullptr;
  }
  current_ = std::move(ahead_.front());
  ahead_.pop_front();
  ReadAhead();  // the workers go on while this one is written
  if (workers_.empty()) {
    if (!current_->error) {
      const Bytes& bytes = current_->chunk.bytes;
      encoder_.Encode(bytes.data(), static_cast<std::uint32_t>(bytes.size()),
                      current_->chunk.encoded);
    }
  } else {
    std::unique_lock<std::mutex> lock(mutex_);
    workDone_.wait(lock, [this] { return current_->done; });
  }
  if (current_->error) std::rethrow_exception(current_->error);
  return &current_->chunk;
}

void ChunkPipeline::CutLast(std::uint32_t length) {
  {
    // Chunks a worker has already taken are finished and then dropped.
    const std::lock_guard<std::mutex> lock(mutex_);
    queue_.clear();
  }
  ahead_.clear();
  step_ = current_->chunk.step;
  sequence_ = current_->chunk.sequence;
  dataStart_ = current_->chunk.dataStart;
  MoveCursorPast(length);
}

void ChunkPipeline::Work() {
  StretchEncoder encoder;
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      workToDo_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    try {
      const Bytes& bytes = job->chunk.bytes;
      encoder.Encode(bytes.data(), static_cast<std::uint32_t>(bytes.size()), job->chunk.encoded);
    } catch (...) {
      job->error = std::current_exception();
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      job->done = true;
    }
    workDone_.notify_all();
  }
}

}  // namespace velmora
