#include "authoring/uninstall_log_listing.h"

#include <cstdio>
#include <ostream>

#include "authoring/ansi_text.h"
#include "authoring/json_text.h"
#include "steps/step.h"
#include "steps/step_directory.h"
#include "steps/step_file.h"

namespace velmora {
namespace {

LogField TextField(std::string name, bool tagged, std::string label, std::string text) {
  return {std::move(name), tagged, std::move(label), PropertyType::text, std::move(text), false};
}

LogField FlagField(std::string name, bool tagged, std::string label, bool flag) {
  return {std::move(name), tagged, std::move(label), PropertyType::flag, {}, flag};
}

const char* ClassName(const CStep& step) { return step.GetRuntimeClass()->m_lpszClassName; }

void WriteEntryText(std::ostream& out, const CStep& step, std::size_t index) {
  out << "\n  Entry " << index + 1 << ": " << ClassName(step) << ", version " << step.GetVersion()
      << "\n";
  for (const LogField& field : LogEntryFields(step)) {
    char label[40];
    std::snprintf(label, sizeof label, "%-26s", field.label.c_str());
    out << "    " << (field.tagged ? field.name : "    ") << "  " << label;
    if (field.type == PropertyType::text) out << TextQuoted(field.text) << "\n";
    else out << (field.flag ? "yes" : "no") << "\n";
  }
}

void WriteEntryJson(std::ostream& out, const CStep& step) {
  out << "    {\n"
      << "      \"class\": " << JsonString(ClassName(step)) << ",\n"
      << "      \"version\": " << step.GetVersion() << ",\n"
      << "      \"fields\": {";
  bool first = true;
  for (const LogField& field : LogEntryFields(step)) {
    out << (first ? "\n" : ",\n") << "        " << JsonString(field.name) << ": ";
    if (field.type == PropertyType::text) out << JsonString(AnsiToUtf8(field.text));
    else out << (field.flag ? "true" : "false");
    first = false;
  }
  out << (first ? "}\n" : "\n      }\n") << "    }";
}

}  // namespace

std::vector<LogField> LogEntryFields(const CStep& step) {
  std::vector<LogField> fields;
  for (const StepProperty& property : StepProperties()) {
    if (!Keeps(step, property)) continue;
    const char* label = Label(step, property);
    if (property.type == PropertyType::text)
      fields.push_back(TextField(property.tag, true, label, GetText(step, property)));
    else fields.push_back(FlagField(property.tag, true, label, GetFlag(step, property)));
  }
  if (const auto* file = dynamic_cast<const CStepFile*>(&step)) {
    fields.push_back(
        FlagField("created_by_install", false, "Created by install", file->GetCreatedByInstall()));
    fields.push_back(
        TextField("target_directory", false, "Target directory", file->GetTargetDirectory()));
  }
  if (const auto* directory = dynamic_cast<const CStepDirectory*>(&step)) {
    fields.push_back(
        TextField("chosen_directory", false, "Chosen directory", directory->GetChosenPath()));
  }
  return fields;
}

void WriteLogListingText(std::ostream& out, const UninstallLogListing& listing) {
  out << "Title:   " << TextQuoted(listing.title) << "\n"
      << "Entries: " << listing.count << "\n";
  for (std::size_t i = 0; i < listing.entries.size(); ++i)
    WriteEntryText(out, *listing.entries[i], i);
  if (!listing.hasAdditions) return;
  const LogAdditions& additions = listing.additions;
  out << "\n  Additions\n"
      << "    Program group             " << TextQuoted(additions.group) << "\n"
      << "    Group created by          " << TextQuoted(additions.groupCreator) << "\n";
  for (const LogFileRecord& file : additions.files)
    out << "    File                      " << TextQuoted(file.target) << ", " << file.size
        << " bytes, written " << file.lastWrite << "\n";
  for (const LogProgramItem& item : additions.items)
    out << "    Item to remove            " << TextQuoted(item.title) << " in "
        << TextQuoted(item.group) << "\n";
  for (const std::string& folder : additions.folders)
    out << "    Files installed in        " << TextQuoted(folder) << "\n";
  for (const std::string& folder : additions.createdFolders)
    out << "    Folder created            " << TextQuoted(folder) << "\n";
}

namespace {

void WriteAdditionsJson(std::ostream& out, const LogAdditions& additions) {
  out << "  \"additions\": {\n"
      << "    \"group\": " << JsonString(AnsiToUtf8(additions.group)) << ",\n"
      << "    \"group_creator\": " << JsonString(AnsiToUtf8(additions.groupCreator)) << ",\n"
      << "    \"files\": [";
  for (std::size_t i = 0; i < additions.files.size(); ++i) {
    const LogFileRecord& file = additions.files[i];
    out << (i ? ",\n" : "\n") << "      {\"target\": " << JsonString(AnsiToUtf8(file.target))
        << ", \"size\": " << file.size << ", \"last_write\": " << file.lastWrite << "}";
  }
  out << (additions.files.empty() ? "],\n" : "\n    ],\n") << "    \"items\": [";
  for (std::size_t i = 0; i < additions.items.size(); ++i) {
    const LogProgramItem& item = additions.items[i];
    out << (i ? ",\n" : "\n") << "      {\"group\": " << JsonString(AnsiToUtf8(item.group))
        << ", \"title\": " << JsonString(AnsiToUtf8(item.title)) << "}";
  }
  out << (additions.items.empty() ? "],\n" : "\n    ],\n") << "    \"folders\": [";
  for (std::size_t i = 0; i < additions.folders.size(); ++i)
    out << (i ? ", " : "") << JsonString(AnsiToUtf8(additions.folders[i]));
  out << "],\n    \"created_folders\": [";
  for (std::size_t i = 0; i < additions.createdFolders.size(); ++i)
    out << (i ? ", " : "") << JsonString(AnsiToUtf8(additions.createdFolders[i]));
  out << "]\n  }\n";
}

}  // namespace

void WriteLogListingJson(std::ostream& out, const UninstallLogListing& listing) {
  out << "{\n"
      << "  \"title\": " << JsonString(AnsiToUtf8(listing.title)) << ",\n"
      << "  \"count\": " << listing.count << ",\n"
      << "  \"entries\": [";
  for (std::size_t i = 0; i < listing.entries.size(); ++i) {
    out << (i ? ",\n" : "\n");
    WriteEntryJson(out, *listing.entries[i]);
  }
  out << (listing.entries.empty() ? "]" : "\n  ]") << (listing.hasAdditions ? ",\n" : "\n");
  if (listing.hasAdditions) WriteAdditionsJson(out, listing.additions);
  out << "}\n";
}

}  // namespace velmora
