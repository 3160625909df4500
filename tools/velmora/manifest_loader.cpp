#include "manifest_loader.h"

#include <toml++/toml.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>

#include "authoring/ansi_text.h"
#include "authoring/display_text.h"
#include "authoring/package_checks.h"
#include "authoring/step_properties.h"
#include "folder_source.h"
#include "source_file.h"
#include "steps/step.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"
#include "steps/step_file_display.h"

namespace velmora::cli {
namespace {

namespace fs = std::filesystem;

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }
int LineOf(const toml::key& key) { return static_cast<int>(key.source().begin.line); }

// Bytes the payload owns: a display text as converted.
class TextPayload : public PayloadSource {
 public:
  explicit TextPayload(std::string bytes)
      : bytes_(std::move(bytes)),
        memory_(reinterpret_cast<const std::uint8_t*>(bytes_.data()), bytes_.size()) {}
  std::uint64_t Size() const override { return memory_.Size(); }
  std::string Name() const override { return {}; }
  void Read(std::uint64_t offset, std::uint32_t length, std::uint8_t* buffer) const override {
    memory_.Read(offset, length, buffer);
  }

 private:
  std::string bytes_;
  MemoryPayload memory_;
};

// The keys of a folder entry besides the file step properties it passes on.
constexpr std::string_view kFolderKeys[] = {"class", "source", "exclude", "created", "modified"};
constexpr std::string_view kFolderProperties[] = {
    "directory", "prefix", "read_only", "hidden", "shared", "register", "use_recommended"};

class Loader {
 public:
  explicit Loader(fs::path manifest) : manifest_(std::move(manifest)), name_(manifest_.string()) {}

  LoadedManifest Load() {
    const toml::table root = Parse();
    CheckKeys(root,
              {"title", "check_dates", "check_versions", "step", "second_part", "version",
               "publisher", "url"},
              "the package");
    loaded_.product.version = Detail(root, "version");
    loaded_.product.publisher = Detail(root, "publisher");
    loaded_.product.url = Detail(root, "url");
    loaded_.package.first = Part(root, "", nullptr, loaded_.firstOrigins);
    if (const toml::node* second = root.get("second_part")) {
      if (const toml::table* table = second->as_table()) {
        CheckKeys(*table, {"title", "check_dates", "check_versions", "step"}, "second_part");
        loaded_.package.second =
            Part(*table, "second_part.", &loaded_.package.first, loaded_.secondOrigins);
      } else {
        Report(LineOf(*second), "'second_part' must be a table");
      }
    }
    Flush("");
    return std::move(loaded_);
  }

 private:
  // A problem of what is being read; Flush gives it its place.
  void Report(int line, std::string message, ProblemKind kind = ProblemKind::mistake) {
    pending_.push_back({line, {}, std::move(message), kind});
  }

  // The problems reported since the last flush, as those of `where`; true
  // when any of them is not a warning.
  bool Flush(const std::string& where) {
    // In the manifest's order: a table does not keep its keys in it.
    std::stable_sort(
        pending_.begin(), pending_.end(),
        [](const ManifestProblem& a, const ManifestProblem& b) { return a.line < b.line; });
    bool faulty = false;
    for (ManifestProblem& problem : pending_) {
      problem.where = where;
      faulty = faulty || problem.kind != ProblemKind::warning;
      loaded_.problems.push_back(std::move(problem));
    }
    pending_.clear();
    return faulty;
  }

  toml::table Parse() {
    std::ifstream in(manifest_, std::ios::binary);
    if (!in) throw ManifestError(name_, 0, "cannot be read", true);
    std::ostringstream text;
    text << in.rdbuf();
    try {
      return toml::parse(text.str(), name_);
    } catch (const toml::parse_error& error) {
      throw ManifestError(name_, static_cast<int>(error.source().begin.line),
                          std::string(error.description()));
    }
  }

  void CheckKeys(const toml::table& table, std::initializer_list<std::string_view> known,
                 const std::string& where) {
    for (auto&& [key, node] : table)
      if (std::find(known.begin(), known.end(), key.str()) == known.end())
        Report(LineOf(key), "unknown key '" + std::string(key.str()) + "' in " + where);
  }

  std::optional<std::string> Ansi(const toml::node& node, const std::string& what) {
    const toml::value<std::string>* text = node.as_string();
    if (text == nullptr) {
      Report(LineOf(node), what + " must be a string");
      return std::nullopt;
    }
    std::string bad;
    std::optional<std::string> ansi = Utf8ToAnsi(text->get(), &bad);
    if (!ansi) {
      Report(LineOf(node), what + " holds " + bad + ", which Windows code page 1252 lacks");
    } else if (ansi->find('\0') != std::string::npos) {
      Report(LineOf(node), what + " must not hold a zero character");
      ansi.reset();
    }
    return ansi;
  }

  // A product detail of the package description; "" when not given.
  std::string Detail(const toml::table& table, const char* key) {
    const toml::node* node = table.get(key);
    if (node == nullptr) return {};
    const std::string what = std::string("'") + key + "'";
    const std::optional<std::string> text = Ansi(*node, what);
    if (!text) return {};
    if (text->empty()) Report(LineOf(*node), what + " must not be empty");
    else if (const std::string problem = ProductDetailProblem(*text); !problem.empty())
      Report(LineOf(*node), what + " " + problem);
    return *text;
  }

  std::optional<bool> Flag(const toml::node& node, const std::string& what) {
    if (const toml::value<bool>* flag = node.as_boolean()) return flag->get();
    Report(LineOf(node), what + " must be true or false");
    return std::nullopt;
  }

  PackagePart Part(const toml::table& table, const std::string& prefix, const PackagePart* first,
                   std::vector<StepOrigin>& origins) {
    PackagePart part;
    part.checkDates = first && first->checkDates;
    part.checkVersions = first && first->checkVersions;
    if (const toml::node* title = table.get("title")) {
      if (std::optional<std::string> text = Ansi(*title, "'" + prefix + "title'")) {
        part.title = *text;
        if (const std::string problem = TitleProblem(part.title); !problem.empty())
          Report(LineOf(*title), "'" + prefix + "title': " + problem);
      }
    } else {
      Report(0, "'" + prefix + "title' is missing");
    }
    if (const toml::node* dates = table.get("check_dates"))
      part.checkDates = Flag(*dates, "'check_dates'").value_or(part.checkDates);
    if (const toml::node* versions = table.get("check_versions"))
      part.checkVersions = Flag(*versions, "'check_versions'").value_or(part.checkVersions);
    Flush("");
    const toml::node* steps = table.get("step");
    if (steps == nullptr) return part;
    const toml::array* array = steps->as_array();
    if (array == nullptr || !array->is_array_of_tables()) {
      Report(LineOf(*steps),
             "'" + prefix + "step' must be written as [[" + prefix + "step]] tables");
      return part;
    }
    for (const toml::node& step : *array)
      Entry(*step.as_table(), first ? "second part, step " : "step ", part, origins);
    return part;
  }

  // One [[step]] table: one step, or a step per file of a folder entry.
  void Entry(const toml::table& table, const std::string& numbering, PackagePart& part,
             std::vector<StepOrigin>& origins) {
    const int line = LineOf(table);
    std::optional<std::string> given;
    if (const toml::node* classNode = table.get("class")) given = Ansi(*classNode, "'class'");
    else Report(line, "'class' is missing");
    if (given == "folder") return Folder(table, numbering, part, origins);
    PackageStep step;
    if (given) {
      const std::string className = StepClassFromManifestName(*given);
      if (className.empty()) Report(LineOf(*table.get("class")), "unknown class '" + *given + "'");
      else step = Step(table, className);
    }
    const bool faulty = Flush(numbering + std::to_string(part.steps.size() + 1) +
                              (step.step ? " (" + Describe(*step.step) + ")" : ""));
    part.steps.push_back(std::move(step));
    origins.push_back({line, faulty});
  }

  static std::string Describe(const CStep& step) {
    std::string text = step.GetRuntimeClass()->m_lpszClassName;
    if (step.HasName() && !step.GetName().empty()) text += " '" + AnsiToUtf8(step.GetName()) + "'";
    return text;
  }

  // Sets a step property from its manifest key; false when the key is no
  // property the step keeps.
  bool Property(CStep& step, const toml::key& key, const toml::node& node) {
    const std::string name(key.str());
    const StepProperty* property = FindPropertyByKey(name);
    if (property == nullptr || !Keeps(step, *property)) return false;
    const std::string what = "'" + name + "'";
    if (property->type == PropertyType::text) {
      if (const std::optional<std::string> text = Ansi(node, what)) SetText(step, *property, *text);
    } else if (const std::optional<bool> flag = Flag(node, what)) {
      SetFlag(step, *property, *flag);
    }
    return true;
  }

  PackageStep Step(const toml::table& table, const std::string& className) {
    PackageStep step{std::unique_ptr<CStep>(FindStepClass(className)), {}};
    if (!step.step) {
      Report(LineOf(*table.get("class")), "the class " + className + " is not available");
      return step;
    }
    auto* file = dynamic_cast<CStepFile*>(step.step.get());
    for (auto&& [key, node] : table) {
      const std::string name(key.str());
      if (name == "class") continue;
      if (name == "source" || name == "created" || name == "modified") {
        if (file == nullptr) Report(LineOf(key), "the class keeps no file, so no '" + name + "'");
        continue;
      }
      if (name == "prefix" && table.contains("directory"))
        Report(LineOf(key), "give 'directory' or 'prefix', not both");
      else if (Property(*step.step, key, node)) continue;
      else if (const StepProperty* property = FindPropertyByKey(name))
        Report(LineOf(key), "the class does not keep '" + name + "' (" + property->tag + ")");
      else Report(LineOf(key), "unknown property '" + name + "'");
    }
    if (file != nullptr) Source(table, *file, step, table.contains("name"));
    return step;
  }

  // The `source` of a file step (or a folder entry): its path, or nullopt
  // when it is missing or not a name.
  std::optional<fs::path> SourcePath(const toml::table& table, const char* what) {
    const toml::node* node = table.get("source");
    if (node == nullptr) {
      Report(LineOf(table), "'source' is missing");
      return std::nullopt;
    }
    const toml::value<std::string>* source = node->as_string();
    if (source == nullptr || source->get().empty()) {
      Report(LineOf(*node), std::string("'source' must be ") + what);
      return std::nullopt;
    }
    return manifest_.parent_path() / fs::path(source->get());
  }

  void Source(const toml::table& table, CStepFile& file, PackageStep& step, bool named) {
    const std::optional<fs::path> path = SourcePath(table, "a file name");
    if (!path) return;
    const int line = LineOf(*table.get("source"));
    if (!named) {
      std::string bad;
      if (std::optional<std::string> name = Utf8ToAnsi(path->filename().string(), &bad))
        file.SetName(*name);
      else Report(line, "give a 'name'; the file's own name holds " + bad);
    }
    std::string why;
    std::optional<SourceFile> contents = OpenSourceFile(*path, why);
    if (!contents) {
      Report(line, path->string() + ": " + why, ProblemKind::unreadable);
      return;
    }
    step.source = contents->contents;
    SetTimes(table.get("created"), table.get("modified"), file, *contents, line);
    if (file.IsKindOf(RUNTIME_CLASS(CStepFileDisplay)))
      DisplayText(*path, table.get("source")->as_string()->get(), step, line);
  }

  // The times the manifest gives (null: the file's own).
  void SetTimes(const toml::node* created, const toml::node* modified, CStepFile& file,
                const SourceFile& contents, int line) {
    if (const std::optional<std::int32_t> time = Time(created, contents.created, "'created'", line))
      file.SetCreationTime(*time);
    if (const std::optional<std::int32_t> time =
            Time(modified, contents.modified, "'modified'", line))
      file.SetModificationTime(*time);
  }

  // An agreement or readme text as the runtime's edit control shows it:
  // code page 1252 with CR LF line ends (authoring/display_text.h).
  void DisplayText(const fs::path& path, const std::string& shown, PackageStep& step, int line) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
      Report(line, path.string() + ": cannot be read", ProblemKind::unreadable);
      return;
    }
    const velmora::DisplayText text = ConvertDisplayText(bytes.str());
    for (const std::string& problem : text.problems) Report(line, shown + ":" + problem);
    if (!text.problems.empty() || !text.Changed()) return;
    Report(line, shown + ": " + DisplayTextChanges(text), ProblemKind::warning);
    step.source = std::make_shared<TextPayload>(text.bytes);
  }

  // A folder entry: one file step per file below the folder, each with the
  // entry's properties and line.
  void Folder(const toml::table& table, const std::string& numbering, PackagePart& part,
              std::vector<StepOrigin>& origins) {
    const int line = LineOf(table);
    std::unique_ptr<CStep> model(FindStepClass("CStepFileCopy"));
    for (auto&& [key, node] : table) {
      const std::string_view name = key.str();
      if (std::find(std::begin(kFolderKeys), std::end(kFolderKeys), name) != std::end(kFolderKeys))
        continue;
      if (std::find(std::begin(kFolderProperties), std::end(kFolderProperties), name) ==
          std::end(kFolderProperties))
        Report(LineOf(key), "a folder entry does not take '" + std::string(name) + "'");
      else if (name == "prefix" && table.contains("directory"))
        Report(LineOf(key), "give 'directory' or 'prefix', not both");
      else Property(*model, key, node);
    }
    if (!table.contains("directory") && !table.contains("prefix"))
      Report(line,
             "'directory' is missing: the directory step (or <Windows>, <Windows system>) "
             "that receives the folder's files");
    // Times the entry gives are checked once, not for every file.
    const toml::node* created = table.get("created");
    const toml::node* modified = table.get("modified");
    if (created != nullptr && !Time(created, 0, "'created'", line)) created = nullptr;
    if (modified != nullptr && !Time(modified, 0, "'modified'", line)) modified = nullptr;
    const std::vector<std::string> exclude = Patterns(table.get("exclude"));
    const std::optional<fs::path> path = SourcePath(table, "a folder name");
    std::string shown = path ? table.get("source")->as_string()->get() : std::string();
    while (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    std::vector<FolderFile> files;
    if (path) files = FolderFiles(*path, shown, exclude, LineOf(*table.get("source")));
    const bool faulty =
        Flush(numbering + std::to_string(part.steps.size() + 1) + " (folder '" + shown + "')");
    for (const FolderFile& found : files) {
      PackageStep step{std::unique_ptr<CStep>(FindStepClass("CStepFileCopy")), {}};
      auto& file = dynamic_cast<CStepFile&>(*step.step);
      file.SetDirectory(model->GetDirectory());
      file.SetName(found.windowsName);
      file.SetReadOnly(table.contains("read_only") ? model->GetReadOnly() : found.readOnly);
      file.SetHidden(table.contains("hidden") ? model->GetHidden() : found.hidden);
      file.SetShared(model->GetShared());
      file.SetRegister(model->GetRegister());
      file.SetUseRecommended(model->GetUseRecommended());
      std::string why;
      if (std::optional<SourceFile> contents = OpenSourceFile(found.path, why)) {
        step.source = contents->contents;
        SetTimes(created, modified, file, *contents, line);
      } else {
        Report(line, found.path.string() + ": " + why, ProblemKind::unreadable);
      }
      const bool fileFaulty =
          Flush(numbering + std::to_string(part.steps.size() + 1) + " (" + Describe(file) + ")");
      part.steps.push_back(std::move(step));
      origins.push_back({line, faulty || fileFaulty});
    }
  }

  std::vector<std::string> Patterns(const toml::node* node) {
    std::vector<std::string> patterns;
    if (node == nullptr) return patterns;
    const toml::array* array = node->as_array();
    if (array != nullptr)
      for (const toml::node& item : *array)
        if (item.is_string()) patterns.push_back(item.as_string()->get());
    if (array == nullptr || patterns.size() != array->size())
      Report(LineOf(*node), "'exclude' must be a list of patterns, e.g. [\"*.pdb\", \"tmp/**\"]");
    return patterns;
  }

  // The files below a folder entry's folder, its problems reported.
  std::vector<FolderFile> FolderFiles(const fs::path& path, const std::string& shown,
                                      const std::vector<std::string>& exclude, int line) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
      Report(line, path.string() + ": " + (error ? error.message() : "no such folder"),
             ProblemKind::unreadable);
      return {};
    }
    if (!fs::is_directory(status)) {
      Report(line, path.string() + ": not a folder; a single file is a \"file\" step");
      return {};
    }
    FolderListing listing = ListFolder(path, shown, exclude);
    for (const std::string& problem : listing.problems) Report(line, problem);
    for (const std::string& problem : listing.unreadable)
      Report(line, problem, ProblemKind::unreadable);
    for (const std::string& pattern : listing.unmatched)
      Report(line, "'exclude' pattern '" + pattern + "' matches nothing in " + shown,
             ProblemKind::warning);
    if (listing.files.empty() && listing.problems.empty() && listing.unreadable.empty())
      Report(line, shown + ": holds no file" + (exclude.empty() ? "" : " that 'exclude' leaves"));
    return std::move(listing.files);
  }

  // A time from the manifest (a date-time, UTC unless it has an offset, or
  // seconds since 1970), else the file's own; nullopt when the manifest's is
  // not one a package stores.
  std::optional<std::int32_t> Time(const toml::node* node, std::int64_t fileTime,
                                   const std::string& what, int line) {
    std::int64_t seconds = fileTime;
    if (node != nullptr) {
      line = LineOf(*node);
      if (const toml::value<std::int64_t>* number = node->as_integer()) {
        seconds = number->get();
      } else if (const toml::value<toml::date_time>* stamp = node->as_date_time()) {
        const toml::date_time& dt = stamp->get();
        seconds = DaysSince1970(dt.date) * 86400 + std::int64_t{dt.time.hour} * 3600 +
                  std::int64_t{dt.time.minute} * 60 + dt.time.second;
        if (dt.offset) seconds -= std::int64_t{dt.offset->minutes} * 60;
      } else {
        Report(line, what + " must be a date-time such as 1996-08-01T10:00:00Z");
        return std::nullopt;
      }
    }
    if (seconds < std::numeric_limits<std::int32_t>::min() ||
        seconds > std::numeric_limits<std::int32_t>::max()) {
      Report(line, what + " lies outside 1901-12-13 .. 2038-01-19, which a package cannot store");
      return std::nullopt;
    }
    return static_cast<std::int32_t>(seconds);
  }

  static std::int64_t DaysSince1970(const toml::date& date) {
    const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t m = date.month;
    const std::int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + date.day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
  }

  fs::path manifest_;
  std::string name_;
  LoadedManifest loaded_;
  std::vector<ManifestProblem> pending_;
};

}  // namespace

ManifestError::ManifestError(const std::string& file, int line, const std::string& message, bool io)
    : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                         message),
      line_(line),
      io_(io) {}

LoadedManifest LoadManifest(const std::filesystem::path& manifest) {
  return Loader(manifest).Load();
}

}  // namespace velmora::cli
