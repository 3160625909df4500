#include "authoring/package_listing.h"

#include <cstdio>
#include <ostream>

#include "authoring/ansi_text.h"
#include "authoring/json_text.h"
#include "authoring/step_properties.h"
#include "steps/step.h"
#include "steps/step_file.h"
#include "steps/step_kind_name.h"

namespace velmora {
namespace {

const char* YesNo(bool value) { return value ? "yes" : "no"; }
const char* TrueFalse(bool value) { return value ? "true" : "false"; }

std::string Quoted(const std::string& ansi) { return JsonString(AnsiToUtf8(ansi)); }

void WriteStepText(std::ostream& out, const CStep& step, std::size_t index) {
  out << "\n  Step " << index + 1 << ": " << step.GetRuntimeClass()->m_lpszClassName;
  const std::string kind = StepKindName(step);
  if (!kind.empty()) out << " (" << AnsiToUtf8(kind) << ")";
  out << "\n    Description: " << AnsiToUtf8(step.GetDescription()) << "\n";
  for (const StepProperty& property : StepProperties()) {
    if (!Keeps(step, property)) continue;
    char label[40];
    std::snprintf(label, sizeof label, "%-26s", Label(step, property));
    out << "    " << property.tag << "  " << label;
    if (property.type == PropertyType::text) out << TextQuoted(GetText(step, property)) << "\n";
    else out << YesNo(GetFlag(step, property)) << "\n";
  }
  if (step.GetDisk() == 0 && step.GetDataSize() == 0) {
    out << "    Payload: none\n";
  } else {
    out << "    Payload: " << step.GetDataSize() << " bytes in media file " << step.GetDisk()
        << " at offset " << step.GetDataOffset() << "\n";
  }
  if (const auto* file = dynamic_cast<const CStepFile*>(&step)) {
    out << "    Created:  " << FormatUtcTime(file->GetCreationTime()) << "\n"
        << "    Modified: " << FormatUtcTime(file->GetModificationTime()) << "\n";
  }
}

void WritePartText(std::ostream& out, const ListedPart& listed) {
  const PartContents& part = *listed.contents;
  const DataFileHeader& header = part.header;
  out << (part.part == kSecondPart ? "Second part" : "First part") << "\n";
  out << "  Media files:    ";
  for (std::size_t i = 0; i < listed.files.size(); ++i)
    out << (i ? ", " : "") << listed.files[i].name << " (" << listed.files[i].size << " bytes)";
  out << "\n  Title:          " << TextQuoted(header.title) << "\n"
      << "  Format version: " << header.version << "\n"
      << "  Check dates:    " << YesNo(header.checkDates) << "\n"
      << "  Check versions: " << YesNo(header.checkVersions) << "\n"
      << "  Second part:    " << YesNo(header.twoParts) << "\n"
      << "  Steps:          " << header.stepCount << "\n";
  for (std::size_t i = 0; i < part.steps.size(); ++i) WriteStepText(out, *part.steps[i], i);
}

void WriteStepJson(std::ostream& out, const CStep& step, std::size_t index,
                   const std::string& pad) {
  const std::string kind = StepKindName(step);
  out << pad << "{\n"
      << pad << "  \"index\": " << index + 1 << ",\n"
      << pad << "  \"class\": " << JsonString(step.GetRuntimeClass()->m_lpszClassName) << ",\n"
      << pad << "  \"kind\": " << (kind.empty() ? "null" : Quoted(kind)) << ",\n"
      << pad << "  \"description\": " << Quoted(step.GetDescription()) << ",\n"
      << pad << "  \"properties\": {";
  bool first = true;
  for (const StepProperty& property : StepProperties()) {
    if (!Keeps(step, property)) continue;
    out << (first ? "\n" : ",\n") << pad << "    " << JsonString(property.tag) << ": ";
    if (property.type == PropertyType::text) out << Quoted(GetText(step, property));
    else out << TrueFalse(GetFlag(step, property));
    first = false;
  }
  out << (first ? "},\n" : "\n" + pad + "  },\n");
  out << pad << "  \"disk\": " << step.GetDisk() << ",\n"
      << pad << "  \"offset\": " << step.GetDataOffset() << ",\n"
      << pad << "  \"size\": " << step.GetDataSize();
  if (const auto* file = dynamic_cast<const CStepFile*>(&step)) {
    out << ",\n"
        << pad << "  \"created\": " << file->GetCreationTime() << ",\n"
        << pad << "  \"modified\": " << file->GetModificationTime();
  }
  out << "\n" << pad << "}";
}

void WritePartJson(std::ostream& out, const ListedPart& listed, const std::string& pad) {
  const PartContents& part = *listed.contents;
  const DataFileHeader& header = part.header;
  out << pad << "\"part\": " << part.part << ",\n"
      << pad << "\"title\": " << Quoted(header.title) << ",\n"
      << pad << "\"version\": " << header.version << ",\n"
      << pad << "\"check_dates\": " << TrueFalse(header.checkDates) << ",\n"
      << pad << "\"check_versions\": " << TrueFalse(header.checkVersions) << ",\n"
      << pad << "\"two_parts\": " << TrueFalse(header.twoParts) << ",\n"
      << pad << "\"step_count\": " << header.stepCount << ",\n"
      << pad << "\"files\": [";
  for (std::size_t i = 0; i < listed.files.size(); ++i)
    out << (i ? ", " : "") << "{\"name\": " << JsonString(listed.files[i].name)
        << ", \"size\": " << listed.files[i].size << "}";
  out << "],\n" << pad << "\"steps\": [";
  for (std::size_t i = 0; i < part.steps.size(); ++i) {
    out << (i ? ",\n" : "\n");
    WriteStepJson(out, *part.steps[i], i, pad + "  ");
  }
  out << (part.steps.empty() ? "]" : "\n" + pad + "]");
}

}  // namespace

void WriteListingText(std::ostream& out, const std::vector<ListedPart>& parts) {
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out << "\n";
    WritePartText(out, parts[i]);
  }
}

void WriteListingJson(std::ostream& out, const std::vector<ListedPart>& parts) {
  out << "{\n";
  if (!parts.empty()) {
    WritePartJson(out, parts[0], "  ");
    out << ",\n  \"second_part\": ";
    if (parts.size() > 1) {
      out << "{\n";
      WritePartJson(out, parts[1], "    ");
      out << "\n  }";
    } else {
      out << "null";
    }
  }
  out << "\n}\n";
}

std::string FormatUtcTime(std::int32_t seconds) {
  // Days to a civil date (proleptic Gregorian), valid for every 32-bit time.
  const std::int64_t total = seconds;
  std::int64_t days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
  const std::int64_t secondOfDay = total - days * 86400;
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  const std::int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[128];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld UTC",
                static_cast<long long>(year), static_cast<long long>(month),
                static_cast<long long>(day), static_cast<long long>(secondOfDay / 3600),
                static_cast<long long>(secondOfDay / 60 % 60),
                static_cast<long long>(secondOfDay % 60));
  return text;
}

}  // namespace velmora
