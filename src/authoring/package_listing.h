// A package read back, as text for people and as one JSON document for
// programs (docs/list-json.md).  Texts from the package are code page 1252
// and come out as UTF-8.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "authoring/package_reader.h"

namespace velmora {

struct ListedPart {
  const PartContents* contents = nullptr;
  std::vector<MediaFileInfo> files;
};

// The first part, then the second when there is one.
void WriteListingText(std::ostream& out, const std::vector<ListedPart>& parts);
void WriteListingJson(std::ostream& out, const std::vector<ListedPart>& parts);

// "1996-08-01 10:00:00 UTC" for seconds since 1970-01-01 UTC.
std::string FormatUtcTime(std::int32_t seconds);

}  // namespace velmora
