#include "manifest_loader.h"

#include <toml++/toml.h>

#include <fstream>
#include <limits>
#include <sstream>

#include "authoring/ansi_text.h"
#include "authoring/package_checks.h"
#include "authoring/step_properties.h"
#include "source_file.h"
#include "steps/step.h"
#include "steps/step_factory.h"
#include "steps/step_file.h"

namespace velmora::cli {
namespace {

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }
int LineOf(const toml::key& key) { return static_cast<int>(key.source().begin.line); }

class Loader {
 public:
  explicit Loader(std::filesystem::path manifest)
      : manifest_(std::move(manifest)), name_(manifest_.string()) {}

  LoadedManifest Load() {
    const toml::table root = Parse();
    LoadedManifest loaded;
    CheckKeys(root,
              {"title", "check_dates", "check_versions", "step", "second_part", "version",
               "publisher", "url"},
              "package");
    loaded.package.first = Part(root, "", nullptr, loaded.firstLines);
    loaded.product.version = Detail(root, "version");
    loaded.product.publisher = Detail(root, "publisher");
    loaded.product.url = Detail(root, "url");
    if (const toml::node* second = root.get("second_part")) {
      const toml::table* table = second->as_table();
      if (table == nullptr) throw Error(LineOf(*second), "'second_part' must be a table");
      CheckKeys(*table, {"title", "check_dates", "check_versions", "step"}, "second_part");
      loaded.package.second =
          Part(*table, "second_part.", &loaded.package.first, loaded.secondLines);
    }
    return loaded;
  }

 private:
  ManifestError Error(int line, const std::string& message, bool io = false) const {
    return ManifestError(name_, line, message, io);
  }

  toml::table Parse() {
    std::ifstream in(manifest_, std::ios::binary);
    if (!in) throw Error(0, "cannot be read", true);
    std::ostringstream text;
    text << in.rdbuf();
    try {
      return toml::parse(text.str(), name_);
    } catch (const toml::parse_error& error) {
      throw Error(static_cast<int>(error.source().begin.line), std::string(error.description()));
    }
  }

  void CheckKeys(const toml::table& table, std::initializer_list<std::string_view> known,
                 const std::string& where) const {
    for (auto&& [key, node] : table) {
      bool found = false;
      for (std::string_view k : known) found = found || key.str() == k;
      if (!found)
        throw Error(LineOf(key), "unknown key '" + std::string(key.str()) + "' in " + where);
    }
  }

  std::string Ansi(const toml::node& node, const std::string& what) const {
    const toml::value<std::string>* text = node.as_string();
    if (text == nullptr) throw Error(LineOf(node), what + " must be a string");
    std::string bad;
    std::optional<std::string> ansi = Utf8ToAnsi(text->get(), &bad);
    if (!ansi)
      throw Error(LineOf(node), what + " holds " + bad + ", which Windows code page 1252 lacks");
    if (ansi->find('\0') != std::string::npos)
      throw Error(LineOf(node), what + " must not hold a zero character");
    return *ansi;
  }

  // A product detail of the package description; "" when not given.
  std::string Detail(const toml::table& table, const char* key) const {
    const toml::node* node = table.get(key);
    if (node == nullptr) return {};
    const std::string what = std::string("'") + key + "'";
    std::string text = Ansi(*node, what);
    if (text.empty()) throw Error(LineOf(*node), what + " must not be empty");
    if (const std::string problem = ProductDetailProblem(text); !problem.empty())
      throw Error(LineOf(*node), what + " " + problem);
    return text;
  }

  bool Flag(const toml::node& node, const std::string& what) const {
    const toml::value<bool>* flag = node.as_boolean();
    if (flag == nullptr) throw Error(LineOf(node), what + " must be true or false");
    return flag->get();
  }

  PackagePart Part(const toml::table& table, const std::string& prefix, const PackagePart* first,
                   std::vector<int>& lines) {
    PackagePart part;
    const toml::node* title = table.get("title");
    if (title == nullptr) throw Error(0, "'" + prefix + "title' is missing");
    part.title = Ansi(*title, "'" + prefix + "title'");
    if (const std::string problem = TitleProblem(part.title); !problem.empty())
      throw Error(LineOf(*title), "'" + prefix + "title': " + problem);
    const toml::node* dates = table.get("check_dates");
    const toml::node* versions = table.get("check_versions");
    part.checkDates = dates ? Flag(*dates, "'check_dates'") : first && first->checkDates;
    part.checkVersions =
        versions ? Flag(*versions, "'check_versions'") : first && first->checkVersions;
    if (const toml::node* steps = table.get("step")) {
      const toml::array* array = steps->as_array();
      if (array == nullptr || !array->is_array_of_tables())
        throw Error(LineOf(*steps),
                    "'" + prefix + "step' must be written as [[" + prefix + "step]] tables");
      for (const toml::node& step : *array) {
        lines.push_back(LineOf(step));
        part.steps.push_back(Step(*step.as_table(), (first ? "second part, step " : "step ") +
                                                        std::to_string(part.steps.size() + 1)));
      }
    }
    return part;
  }

  PackageStep Step(const toml::table& table, const std::string& where) {
    const toml::node* classNode = table.get("class");
    if (classNode == nullptr) throw Error(LineOf(table), where + ": 'class' is missing");
    const std::string given = Ansi(*classNode, "'class'");
    const std::string className = StepClassFromManifestName(given);
    if (className.empty())
      throw Error(LineOf(*classNode), where + ": unknown class '" + given + "'");
    PackageStep step{std::unique_ptr<CStep>(FindStepClass(className)), {}};
    if (!step.step)
      throw Error(LineOf(*classNode), where + ": the class " + className + " is not available");
    auto* file = dynamic_cast<CStepFile*>(step.step.get());
    const std::string what = where + " (" + className + ")";

    bool named = false;
    for (auto&& [key, node] : table) {
      const std::string name(key.str());
      if (name == "class") continue;
      if (name == "source" || name == "created" || name == "modified") {
        if (file == nullptr) throw Error(LineOf(key), what + " has no file, so no '" + name + "'");
        continue;
      }
      const StepProperty* property = FindPropertyByKey(name);
      if (property == nullptr) throw Error(LineOf(key), what + ": unknown property '" + name + "'");
      if (!Keeps(*step.step, *property))
        throw Error(LineOf(key), what + " does not keep '" + name + "' (" + property->tag + ")");
      if (property->type == PropertyType::text) {
        if (name == "prefix" && table.contains("directory"))
          throw Error(LineOf(key), what + ": give 'directory' or 'prefix', not both");
        SetText(*step.step, *property, Ansi(node, what + ": '" + name + "'"));
      } else {
        SetFlag(*step.step, *property, Flag(node, what + ": '" + name + "'"));
      }
      named = named || name == "name";
    }
    if (file != nullptr) LoadSource(table, *file, step, named, what);
    return step;
  }

  void LoadSource(const toml::table& table, CStepFile& file, PackageStep& step, bool named,
                  const std::string& what) {
    const toml::node* sourceNode = table.get("source");
    if (sourceNode == nullptr) throw Error(LineOf(table), what + ": 'source' is missing");
    const std::string* source = sourceNode->as_string() ? &sourceNode->as_string()->get() : nullptr;
    if (source == nullptr || source->empty())
      throw Error(LineOf(*sourceNode), what + ": 'source' must be a file name");
    const std::filesystem::path path = manifest_.parent_path() / std::filesystem::path(*source);
    std::string why;
    std::optional<SourceFile> contents = OpenSourceFile(path, why);
    if (!contents) throw Error(LineOf(*sourceNode), what + ": " + path.string() + ": " + why, true);
    step.source = contents->contents;
    if (!named) {
      std::string bad;
      std::optional<std::string> name = Utf8ToAnsi(path.filename().string(), &bad);
      if (!name)
        throw Error(LineOf(*sourceNode),
                    what + ": give a 'name'; the file's own name holds " + bad);
      file.SetName(*name);
    }
    file.SetCreationTime(
        Time(table.get("created"), contents->created, what + ": 'created'", LineOf(*sourceNode)));
    file.SetModificationTime(Time(table.get("modified"), contents->modified, what + ": 'modified'",
                                  LineOf(*sourceNode)));
  }

  // A time from the manifest (a date-time, UTC unless it has an offset, or
  // seconds since 1970), else the file's own.
  std::int32_t Time(const toml::node* node, std::int64_t fileTime, const std::string& what,
                    int line) const {
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
        throw Error(line, what + " must be a date-time such as 1996-08-01T10:00:00Z");
      }
    }
    if (seconds < std::numeric_limits<std::int32_t>::min() ||
        seconds > std::numeric_limits<std::int32_t>::max())
      throw Error(line,
                  what + " lies outside 1901-12-13 .. 2038-01-19, which a package cannot store");
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

  std::filesystem::path manifest_;
  std::string name_;
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
