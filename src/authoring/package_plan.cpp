#include "authoring/package_plan.h"

#include <algorithm>
#include <limits>

#include "authoring/package_error.h"
#include "authoring/stretch_encoder.h"
#include "steps/step.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

std::string Describe(const CStep& step, std::size_t index, int part) {
  std::string text = (part == kSecondPart ? "second part, step " : "step ") +
                     std::to_string(index + 1) + " (" + step.GetRuntimeClass()->m_lpszClassName;
  if (step.HasName() && !step.GetName().empty()) text += " '" + step.GetName() + "'";
  return text + ")";
}

void CheckPart(const PackagePart& part, int partNumber) {
  if (part.steps.size() > std::numeric_limits<std::uint32_t>::max())
    throw PackageError("too many steps");
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    const PackageStep& step = part.steps[i];
    if (!step.step) throw PackageError("step " + std::to_string(i + 1) + " is missing");
    const bool isFile = dynamic_cast<const CStepFile*>(step.step.get()) != nullptr;
    if (!isFile && (step.source || !step.payload.empty()))
      throw PackageError(Describe(*step.step, i, partNumber) + " cannot carry file contents");
    if (step.source && !step.payload.empty())
      throw PackageError(Describe(*step.step, i, partNumber) +
                         " has its file contents both in memory and in a source");
    if (StepContents(step).Source().Size() >
        static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
      throw PackageError(Describe(*step.step, i, partNumber) + ": the file is larger than 2 GiB");
  }
}

}  // namespace

PartPlan PlanRecords(const PackagePart& part, int partNumber, bool twoParts,
                     const WriterOptions& options, StretchEncoder& encoder) {
  CheckPart(part, partNumber);
  if (options.banner.find('\0') != std::string::npos)
    throw PackageError("the banner must not hold a zero byte");
  if (options.chunkSize == 0) throw PackageError("the chunk size must be at least 1 byte");
  const std::uint32_t limit =
      options.diskSize == 0 ? kLargestMediaFile : std::min(options.diskSize, kLargestMediaFile);
  const std::uint64_t prefix = options.banner.size() + 1;
  if (prefix >= limit)
    throw PackageError("a media file of " + std::to_string(limit) +
                       " bytes cannot hold more than its banner");

  PartPlan plan;
  plan.part = partNumber;
  plan.layout = MediaLayout(static_cast<std::uint32_t>(prefix), limit);
  MediaLayout& layout = plan.layout;
  DataFileHeader header;
  header.title = part.title;
  header.checkDates = part.checkDates;
  header.checkVersions = part.checkVersions;
  header.twoParts = twoParts;
  header.stepCount = static_cast<std::uint32_t>(part.steps.size());
  plan.header = encoder.Encode(HeaderBytes(header));
  const auto headerSize = static_cast<std::uint32_t>(plan.header.size());
  if (headerSize > layout.Room())
    throw PackageError("the header (" + std::to_string(headerSize) +
                       " bytes) does not fit in a media file of " + std::to_string(limit) +
                       " bytes");
  layout.Place(headerSize);

  // The records, each whole in one media file.
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    const PackageStep& step = part.steps[i];
    PlannedRecord record;
    try {
      record.image = MakeRecordImage(
          *step.step, static_cast<std::uint32_t>(StepContents(step).Source().Size()));
    } catch (const PackageError& error) {
      throw PackageError(Describe(*step.step, i, partNumber) + ": " + error.what());
    }
    record.framing = encoder.Encode(record.image.framing);
    record.body = encoder.Encode(record.image.body);
    const std::uint64_t size =
        std::uint64_t{record.framing.size()} + record.image.PlainSize() + record.body.size();
    if (size > layout.Room() && !layout.AtFileStart()) layout.NextFile();
    if (size > layout.Room())
      throw PackageError("the record of " + Describe(*step.step, i, partNumber) + " (" +
                         std::to_string(size) + " bytes) does not fit in a media file of " +
                         std::to_string(limit) + " bytes");
    record.disk = layout.Disk();
    record.offset = layout.Place(static_cast<std::uint32_t>(size));
    plan.records.push_back(std::move(record));
  }
  return plan;
}

}  // namespace velmora
