// The package reader as `velmora list --verify` reads a package: the header
// and steps of both parts, every payload chunk by chunk, then the listing as
// text and as JSON.  One input holds a whole media set (see README.md): the
// first part's media files, separated by "|NEXT|", then optionally
// "|PART2|" and the second part's, separated the same way.
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "authoring/package_listing.h"
#include "authoring/package_reader.h"
#include "datafile/data_file_layout.h"
#include "fuzz_target.h"
#include "steps/step.h"

using namespace velmora;

namespace {

constexpr std::string_view kNextFileMarker = "|NEXT|";
constexpr std::string_view kPartTwoMarker = "|PART2|";

void AddMediaFiles(fuzz::Sandbox& sandbox, std::string_view files, bool secondPart) {
  for (std::uint32_t number = 1;; ++number) {
    const std::size_t end = files.find(kNextFileMarker);
    const std::string_view file = files.substr(0, end);
    sandbox.machine.SetFile("C:\\PKG\\" + MediaFileNameFor(secondPart, number),
                            std::vector<std::uint8_t>(file.begin(), file.end()));
    if (end == std::string_view::npos) return;
    files.remove_prefix(end + kNextFileMarker.size());
  }
}

bool VerifyPayloads(PackageReader& reader, const PartContents& part) {
  std::vector<std::uint8_t> data;
  for (const auto& step : part.steps) {
    if (!reader.ReadPayload(part.part, *step, data)) return false;
    if (data.size() != step->GetDataSize()) std::abort();
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Sandbox sandbox;
  const std::string_view input = fuzz::AsText(data, size);
  const std::size_t second = input.find(kPartTwoMarker);
  AddMediaFiles(sandbox, input.substr(0, second), false);
  if (second != std::string_view::npos)
    AddMediaFiles(sandbox, input.substr(second + kPartTwoMarker.size()), true);

  PackageReader reader("C:\\PKG");
  PackageContents contents;
  std::ostringstream out;
  if (!reader.ReadPackage(contents)) {
    out << AsReadError(reader.Failure()).what();
    return 0;
  }
  std::vector<ListedPart> parts = {{&contents.first, reader.MediaFiles(kFirstPart)}};
  if (contents.second) parts.push_back({&*contents.second, reader.MediaFiles(kSecondPart)});
  for (const ListedPart& part : parts) {
    if (!VerifyPayloads(reader, *part.contents)) {
      out << AsReadError(reader.Failure()).what();
      return 0;
    }
  }
  WriteListingText(out, parts);
  WriteListingJson(out, parts);
  return 0;
}
