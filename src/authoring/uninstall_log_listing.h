// An uninstall log read back (uninstall_log_reader.h), as text for people
// and as one JSON document for programs (docs/uninstall-log.md).  Texts in
// the log are code page 1252 and come out as UTF-8.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "authoring/step_properties.h"
#include "authoring/uninstall_log_reader.h"

namespace velmora {

// One stored field of a log entry.
struct LogField {
  // The record tag ("NAME"); for a stored field no tag carries, a key
  // ("target_directory") and `tagged` false.
  std::string name;
  bool tagged = true;
  std::string label;  // the caption shown to people
  PropertyType type = PropertyType::text;
  std::string text;
  bool flag = false;
};

// The fields of the step's archive form: every tagged property its class
// keeps, in tag order, then the stored fields no tag carries (a file step's
// created-by-install flag and target directory, a directory step's chosen
// directory).
std::vector<LogField> LogEntryFields(const CStep& step);

void WriteLogListingText(std::ostream& out, const UninstallLogListing& listing);
void WriteLogListingJson(std::ostream& out, const UninstallLogListing& listing);

}  // namespace velmora
