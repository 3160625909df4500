// Random lifecycles of three products that share files and a program group:
// installations (fresh, again, upgrades under the same title, a new title
// over an older one in the same folder), installations failed at a random
// machine or registry call, uninstallations (some failed at a random call
// and started again) and restarts of the system.  The machine is checked
// after every operation against what the installed products hold; at the
// end every product is uninstalled, the system restarts, and the machine
// must be the starting one but for what uninstallation leaves by design.
//
// VELMORA_LIFECYCLE_SEQUENCES=N runs N sequences instead of the default
// ones.  A failing sequence is printed as operations separated by ";", and
// VELMORA_LIFECYCLE_REPLAY="..." runs such a list (shortened by hand, say).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "authoring/package_writer.h"
#include "framework/ascii.h"
#include "services/registry.h"
#include "services/shared_files.h"
#include "shell/run_setup.h"
#include "steps/installed_products.h"
#include "steps/step_file.h"
#include "steps/uninstall_log.h"
#include "unit/shell/shell_test_support.h"
#include "unit/support/machine_snapshot.h"

namespace velmora::test {
namespace {

constexpr std::int64_t kOldTime = 1000000000;
constexpr std::int64_t kFirstTime = 1300000000;  // a file of generation g is g days newer
constexpr const char* kGroup = "Studio";
constexpr int kDefaultSequences = 48;
constexpr int kOperations = 16;

struct PackagedFile {
  const char* name;
  char directory;  // 'M': the product's folder, 'W': Windows, 'S': Windows system
  int generation;
  const char* item;  // program item title; "" for none
  bool shared;
};

struct Product {
  std::string title, tag, folder, key, version;
  bool asksOwner;
  std::vector<PackagedFile> variants[2];  // the second is an upgrade under the same title
};

// Each product installs the shared library and an unshared file of the same
// bytes and times; the two Notes share their folder and item titles.
const std::vector<Product>& Products() {
  static const std::vector<Product> products = [] {
    auto with = [](std::vector<PackagedFile> files) {
      files.push_back({"VMSHARED.DLL", 'S', 5, "", true});
      files.push_back({"COMMON.TXT", 'W', 5, "", false});
      return files;
    };
    const PackagedFile help1{"NOTES.HLP", 'M', 1, "Notes Help", false};
    const PackagedFile help3{"NOTES.HLP", 'M', 3, "Notes Help", false};
    const PackagedFile readme3{"README.TXT", 'M', 3, "", false};
    const PackagedFile runtime1{"NOTESRT.DLL", 'S', 1, "", true},
        runtime3{"NOTESRT.DLL", 'S', 3, "", true};
    auto file = [](const char* name, int generation, const char* item = "") {
      return PackagedFile{name, 'M', generation, item, false};
    };
    return std::vector<Product>{
        {"Notes 2.0",
         "N20",
         "C:\\NOTES",
         "Notes",
         "2.0",
         false,
         {with({file("NOTES.EXE", 1, "Notes"), help1, file("README.TXT", 1), runtime1}),
          with({file("NOTES.EXE", 2, "Notes"), help1, file("TIPS.TXT", 2), runtime1})}},
        {"Notes 2.1",
         "N21",
         "C:\\NOTES",
         "Notes",
         "2.1",
         false,
         {with({file("NOTES.EXE", 3, "Notes"), help3, readme3, file("NOTES21.DLL", 3), runtime3}),
          with({file("NOTES.EXE", 4, "Notes"), help3, readme3, file("NOTES21.DLL", 4), runtime3})}},
        {"Sketch 1.0",
         "S10",
         "C:\\SKETCH",
         "Sketch",
         "1.0",
         true,
         {with({file("SKETCH.EXE", 1, "Sketch"), file("BRUSHES.DAT", 1)}),
          with({file("SKETCH.EXE", 2, "Sketch"), file("BRUSHES.DAT", 2),
                file("PALETTE.DAT", 2, "Palette")})}}};
  }();
  return products;
}

// The shared files, each with the count the machine holds before any product.
const std::pair<std::string, std::uint32_t> kShared[] = {{"C:\\WINDOWS\\SYSTEM\\VMSHARED.DLL", 1},
                                                         {"C:\\WINDOWS\\SYSTEM\\NOTESRT.DLL", 0}};

std::string Target(const Product& product, const PackagedFile& packaged) {
  if (packaged.directory == 'M') return product.folder + "\\" + packaged.name;
  return (packaged.directory == 'W' ? "C:\\WINDOWS\\" : "C:\\WINDOWS\\SYSTEM\\") +
         std::string(packaged.name);
}

std::int64_t TimeOf(const PackagedFile& packaged) {
  return kFirstTime + packaged.generation * 86400;
}

std::string BytesOf(const PackagedFile& packaged) {
  std::uint32_t hash = 2166136261u;
  for (const char* c = packaged.name; *c != '\0'; ++c)
    hash = (hash ^ static_cast<std::uint8_t>(*c)) * 16777619u;
  const auto bytes =
      Noise(150 + hash % 200, hash + static_cast<std::uint32_t>(packaged.generation));
  return {bytes.begin(), bytes.end()};
}

PackageDefinition Package(const Product& product, int variant) {
  PackagePart part;
  part.title = product.title;
  part.checkDates = true;  // a file the installation finds stays unless its own is newer
  auto setting = [&](const char* className, const char* name, const char* value,
                     const char* section, const std::string& entry, const std::string& text) {
    PackageStep step = Step(className);
    step.step->SetName(name);
    step.step->SetQuestion(std::string("Where shall ") + name + " go?");
    step.step->SetRegEntry("HKEY_LOCAL_MACHINE\\Software\\" + product.key + "\\" + value);
    if (!entry.empty()) {
      step.step->SetIniFile("RUN.INI");
      step.step->SetIniSection(section);
      step.step->SetIniEntry(entry);
    }
    step.step->SetDefault(text);
    part.steps.push_back(std::move(step));
  };
  setting("CStepDirectory", "Main", "Dir", "Paths", product.key, product.folder);
  setting("CStepRegistry", "", "Version", "", "", product.version);
  part.steps.push_back(IniValue(product.key, product.version));
  if (product.asksOwner) setting("CStepUserValue", "Owner", "Owner", "User", "Name", "Ann");
  part.steps.push_back(Step("CStepPMG"));
  part.steps.back().step->SetName(kGroup);
  for (const PackagedFile& packaged : product.variants[variant]) {
    PackageStep step = Step("CStepFileCopy");
    step.step->SetName(packaged.name);
    step.step->SetDirectory(packaged.directory == 'M'   ? "Main"
                            : packaged.directory == 'W' ? "<Windows>"
                                                        : "<Windows system>");
    step.step->SetShared(packaged.shared);
    step.step->SetIcon(*packaged.item != '\0');
    step.step->SetIconName(packaged.item);
    auto* file = dynamic_cast<CStepFile*>(step.step.get());
    file->SetCreationTime(static_cast<std::int32_t>(TimeOf(packaged)));
    file->SetModificationTime(static_cast<std::int32_t>(TimeOf(packaged)));
    const std::string bytes = BytesOf(packaged);
    step.payload.assign(bytes.begin(), bytes.end());
    part.steps.push_back(std::move(step));
  }
  return {std::move(part), std::nullopt};
}

// The snapshot keys of the values the product's setting steps write, which
// uninstallation leaves.
std::vector<std::string> ValueKeys(const Product& product) {
  const std::string ini = "ini C:\\WINDOWS\\RUN.INI ", reg = "reg HKLM\\Software\\" + product.key;
  std::vector<std::string> keys = {ini + "[Paths] " + product.key, ini + "[Run] " + product.key,
                                   reg + " Dir", reg + " Version"};
  if (product.asksOwner) keys.insert(keys.end(), {ini + "[User] Name", reg + " Owner"});
  return keys;
}

std::string PackageFolder(std::size_t product, int variant) {
  return "C:\\PACKAGES\\" + Products()[product].tag + static_cast<char>('A' + variant);
}

void PutOld(SimMachine& machine, const std::string& path, const std::string& bytes) {
  EXPECT_EQ(testing::PutFile(machine, path, bytes), FileCause::none) << path;
  EXPECT_EQ(machine.SetFileTimes(path, {kOldTime, kOldTime, kOldTime}), FileCause::none) << path;
}

// The starting machine: each package in a folder of its own with a setup
// program, an older shared library the machine already counts, a file no
// product touches, ini entries, a registry value and a StartUp item.
std::unique_ptr<IsolatedMachine> FreshMachine() {
  auto isolated =
      std::make_unique<IsolatedMachine>(std::vector<std::pair<std::string, std::string>>{});
  SimMachine& machine = isolated->Machine();
  EXPECT_EQ(machine.CreateDirectory("C:\\PACKAGES"), FileCause::none);
  WriterOptions options;
  options.jobs = 1;
  for (std::size_t p = 0; p < Products().size(); ++p) {
    for (int v = 0; v < 2; ++v) {
      EXPECT_EQ(machine.CreateDirectory(PackageFolder(p, v)), FileCause::none);
      PutOld(machine, PackageFolder(p, v) + "\\Setup.exe", "MZ setup");
      WritePackage(Package(Products()[p], v), PackageFolder(p, v), options);
    }
  }
  PutOld(machine, kShared[0].first, "older shared library");
  EXPECT_TRUE(WriteRegistryDword(hkey::localMachine, kSharedDllsKey, kShared[0].first, 1));
  PutOld(machine, "C:\\WINDOWS\\OTHER.TXT", "not ours");
  EXPECT_EQ(machine.SetProfileString("RUN.INI", "Run", "Existing", "old"), FileCause::none);
  EXPECT_EQ(machine.SetProfileString("RUN.INI", "Paths", "Other", "C:\\DATA"), FileCause::none);
  EXPECT_TRUE(WriteRegistryString(hkey::localMachine, "Software\\Machine", "Value", "kept"));
  std::string current;
  EXPECT_EQ(machine.ProgramManager().Execute(
                "[CreateGroup(StartUp)][AddItem(C:\\WINDOWS\\CLOCK.EXE,Clock)]", current),
            ddeerror::none);
  return isolated;
}

// One operation, as it is printed: "install N20a", "install S10b fail
// files:MoveFile#3:5" (the fault fails the run it starts), "uninstall N21"
// (with a fault, the uninstaller is started again without one), "restart".
struct Op {
  std::string verb;
  std::size_t product = 0;
  int variant = 0;
  std::optional<Fault> fault{};
};

Op Parse(const std::string& text) {
  std::istringstream in(text);
  Op op;
  std::string what, fail, fault;
  in >> op.verb >> what >> fail >> fault;
  for (std::size_t p = 0; p < Products().size(); ++p)
    if (what.starts_with(Products()[p].tag)) op.product = p;
  op.variant = what.ends_with('b') ? 1 : 0;
  const std::size_t colon = fault.find(':'), hash = fault.find('#');
  if (fail == "fail")
    op.fault = Fault{fault.starts_with("files") ? Layer::files : Layer::registry,
                     fault.substr(colon + 1, hash - colon - 1), std::stoi(fault.substr(hash + 1)),
                     std::stol(fault.substr(fault.rfind(':') + 1))};
  return op;
}

bool SameName(const std::string& a, const std::string& b) {
  return AsciiUppered(a) == AsciiUppered(b);
}
int Uniform(std::mt19937& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}
std::string SharedCountKey(const std::string& path) {
  return std::string("reg HKLM\\") + kSharedDllsKey + " " + path;
}

class Lifecycle {
 public:
  Lifecycle() : isolated_(FreshMachine()), machine_(isolated_->Machine()), start_(Take(machine_)) {}

  const std::string& Done() const { return done_; }

  // A random operation fit for the machine as it is.
  std::string Choose(std::mt19937& random) {
    std::vector<std::size_t> installed;
    for (std::size_t p = 0; p < Products().size(); ++p)
      if (Installed(p)) installed.push_back(p);
    const int roll = Uniform(random, 0, 99);
    if (roll >= 82) return "restart";
    if (installed.empty() || roll < 50) {
      return "install " + Products()[Uniform(random, 0, 2)].tag +
             static_cast<char>('a' + Uniform(random, 0, 1)) +
             (roll < 20 ? PickFault(random, installCalls_) : "");
    }
    const std::size_t p = installed[Uniform(random, 0, static_cast<int>(installed.size()) - 1)];
    return "uninstall " + Products()[p].tag + (roll < 64 ? PickFault(random, uninstallCalls_) : "");
  }

  // Carries out the operation; answers the first broken invariant ("" none).
  std::string Apply(std::string text) {
    text.erase(0, text.find_first_not_of(' '));
    done_ += (done_.empty() ? "" : "; ") + text;
    const Op op = Parse(text);
    const Snapshot before = Take(machine_);
    std::string problem;
    if (op.verb == "install") {
      problem = Install(op, before);
    } else if (op.verb == "uninstall") {
      problem = Uninstall(op, before);
    } else {
      const std::string pending = PendingOperations(machine_);
      machine_.Restart();
      const std::string changed = Differences(before, Take(machine_), [&](auto& key, auto*, auto*) {
        return IsPendingOperations(key) || ListedIn(pending, key);
      });
      if (!changed.empty()) problem = "the restart did more than its pending operations:" + changed;
    }
    return problem.empty() ? CheckInstalled() : problem;
  }

  // Uninstalls what is left, restarts and compares the machine with the
  // start: directories, the setting steps' values and the shared files stay.
  std::string End() {
    for (std::size_t p = 0; p < Products().size(); ++p)
      if (std::string problem = Installed(p) ? Apply("uninstall " + Products()[p].tag) : "";
          !problem.empty())
        return problem;
    if (std::string problem = Apply("restart"); !problem.empty()) return problem;
    const std::string left = Differences(start_, Take(machine_), [&](auto& key, auto* was, auto*) {
      for (const Product& product : Products())
        if (std::ranges::count(ValueKeys(product), key) > 0) return true;
      for (const auto& [shared, count] : kShared)
        if (key == "file " + shared || key == SharedCountKey(shared)) return true;
      return key.starts_with("dir ") && was == nullptr;
    });
    return left.empty() ? "" : "after every product was uninstalled and a restart:" + left;
  }

 private:
  bool Installed(std::size_t p) const { return variant_[p].has_value(); }

  // A call of an operation the last clean run of the kind made (a guess
  // before there was one), failing with a cause a machine gives.
  static std::string PickFault(std::mt19937& random, const std::pair<Counts, Counts>& calls) {
    std::vector<std::pair<std::string, int>> made;  // "files:MoveFile", calls
    for (const auto& [operation, count] : calls.first)
      made.emplace_back("files:" + operation, count);
    for (const auto& [operation, count] : calls.second)
      made.emplace_back("registry:" + operation, count);
    if (made.empty()) return " fail files:MoveFile#" + std::to_string(Uniform(random, 1, 6)) + ":5";
    const auto& [operation, count] = made[Uniform(random, 0, static_cast<int>(made.size()) - 1)];
    const FileCause file[] = {FileCause::generic, FileCause::diskFull, FileCause::accessDenied,
                              FileCause::sharingViolation};
    const long registry[] = {winerror::registryIoFailed, winerror::accessDenied};
    const long cause = operation.starts_with("files")
                           ? static_cast<long>(file[Uniform(random, 0, 3)])
                           : registry[Uniform(random, 0, 1)];
    return " fail " + operation + "#" + std::to_string(Uniform(random, 1, count)) + ":" +
           std::to_string(cause);
  }

  // Runs the setup program or an uninstaller with the fault armed for its
  // own calls; a clean run's calls are kept to pick later faults from.
  RunOutcome Run(RunMode mode, const std::string& arguments, const std::string& path,
                 const std::optional<Fault>& fault, std::pair<Counts, Counts>& calls) {
    ScriptedUi ui;
    ScopedUi scope(ui);
    const Counts files = machine_.OperationCalls(), registry = machine_.Registry().Calls();
    if (fault) Arm(machine_, *fault);
    RunRequest request;
    request.mode = mode;
    request.programPath = path;
    if (mode == RunMode::uninstall) request.logPath = UninstallLogPathFromArguments(arguments);
    const RunOutcome outcome = RunSetup(request);
    ClearFaults(machine_);
    if (!fault)
      calls = {Since(machine_.OperationCalls(), files),
               Since(machine_.Registry().Calls(), registry)};
    for (const TranscriptEntry& entry : ui.Transcript())
      if (entry.kind == TranscriptKind::message) messages_ += " [" + entry.text + "]";
    return outcome;
  }

  std::string Install(const Op& op, const Snapshot& before) {
    const Product& product = Products()[op.product];
    messages_.clear();
    EXPECT_EQ(machine_.SetCurrentDirectory(PackageFolder(op.product, op.variant)), FileCause::none);
    const RunOutcome outcome =
        Run(RunMode::install, "", PackageFolder(op.product, op.variant) + "\\Setup.exe", op.fault,
            installCalls_);
    const Snapshot after = Take(machine_);
    const std::string pending = PendingOperations(machine_);
    if (outcome != RunOutcome::installed) {
      if (!op.fault) return "the installation failed without a fault:" + messages_;
      const std::string changed = Differences(before, after, [&](auto& key, auto* was, auto*) {
        return IsPendingOperations(key) || (was == nullptr && ListedIn(pending, key));
      });
      return changed.empty() ? ""
                             : "the failed installation changed the machine:" + changed + messages_;
    }
    std::string problem;
    for (const PackagedFile& packaged : product.variants[op.variant]) {
      const std::string target = Target(product, packaged);
      const auto was = before.find("file " + target), now = after.find("file " + target);
      if (now == after.end()) problem += "\n  " + target + " is missing";
      else if (was == before.end() || LastWriteIn(was->second) < TimeOf(packaged))
        problem +=
            BytesIn(now->second) == BytesOf(packaged) ? "" : "\n  " + target + " was not replaced";
      else if (now->second != was->second)
        problem += "\n  " + target + " was replaced by an older or equal file";
      owned_[op.product].insert(target);
    }
    variant_[op.product] = op.variant;
    problem += Others(op.product, before, after, pending);
    const std::string group = std::string("group ") + kGroup;
    if (!before.contains(group) && after.contains(group)) groupCreator_ = op.product;
    return problem.empty() ? "" : "after the installation:" + problem + messages_;
  }

  // A file another installed product holds stays, and so does a shared one;
  // the group goes only by its creator or once that is uninstalled.
  std::string Uninstall(const Op& op, const Snapshot& before) {
    const Product& product = Products()[op.product];
    messages_.clear();
    const CommandLine command = SplitCommandLine(ReadRegistryString(
        hkey::localMachine, UninstallKeyFor(product.title), "UninstallString", 1024));
    auto start = [&](const std::optional<Fault>& fault) {
      FileHandle image = kNoFile;  // the uninstaller runs from its program file
      machine_.OpenRunningImage(command.program, image);
      const RunOutcome outcome =
          Run(RunMode::uninstall, command.arguments, command.program, fault, uninstallCalls_);
      if (image != kNoFile) machine_.CloseFile(image);
      return outcome;
    };
    if (start(op.fault) != RunOutcome::uninstalled) {
      if (!op.fault) return "the uninstallation failed without a fault:" + messages_;
      if (start(std::nullopt) != RunOutcome::uninstalled)
        return "a second start did not finish the uninstallation:" + messages_;
    }
    const Snapshot after = Take(machine_);
    std::string problem;
    for (const std::string& target : owned_[op.product]) {
      bool kept = false;
      for (const auto& [shared, count] : kShared) kept = kept || SameName(shared, target);
      for (std::size_t q = 0; q < Products().size(); ++q)
        kept = kept || (q != op.product && Installed(q) && owned_[q].contains(target));
      const auto was = before.find("file " + target), now = after.find("file " + target);
      if (kept && (now == after.end() || was == before.end() || now->second != was->second))
        problem += "\n  " + target + ", which stays, changed";
      if (!kept && now != after.end()) problem += "\n  " + target + " is still there";
    }
    variant_[op.product].reset();
    owned_[op.product].clear();
    problem += Others(op.product, before, after, PendingOperations(machine_));
    const std::string group = std::string("group ") + kGroup;
    if (before.contains(group) && !after.contains(group)) {
      if (groupCreator_ && *groupCreator_ != op.product && Installed(*groupCreator_))
        problem += "\n  the group went, but " + Products()[*groupCreator_].title + " created it";
      groupCreator_.reset();
    }
    return problem.empty() ? "" : "after the uninstallation:" + problem + messages_;
  }

  // What changed that the product's run may not change: anything but its
  // files, uninstaller, entry, folder, values, shared counts, its items (not
  // those of a title another installed product holds), the group, the other
  // installed products' logs (which learn of files left to them) and new
  // files the pending operations delete.
  std::string Others(std::size_t p, const Snapshot& before, const Snapshot& after,
                     const std::string& pending) const {
    const Product& product = Products()[p];
    const std::vector<std::string> values = ValueKeys(product);
    std::set<std::string> keys(values.begin(), values.end());
    keys.insert({"file C:\\WINDOWS\\X" + product.title + ".exe", "dir " + product.folder,
                 "file C:\\WINDOWS\\X" + product.title + ".VMU", std::string("group ") + kGroup});
    std::set<std::string> heldItems;
    for (std::size_t q = 0; q < Products().size(); ++q) {
      if (q == p || !Installed(q)) continue;
      keys.insert("file C:\\WINDOWS\\X" + Products()[q].title + ".VMU");
      for (const std::vector<PackagedFile>& files : Products()[q].variants)
        for (const PackagedFile& packaged : files)
          if (owned_[q].contains(Target(Products()[q], packaged))) heldItems.insert(packaged.item);
    }
    for (const std::vector<PackagedFile>& files : product.variants) {
      for (const PackagedFile& packaged : files) {
        keys.insert("file " + Target(product, packaged));
        if (packaged.shared) keys.insert(SharedCountKey(Target(product, packaged)));
        if (!heldItems.contains(packaged.item))
          keys.insert(std::string("item ") + kGroup + "\\" + packaged.item);
      }
    }
    const std::string entry = "reg HKLM\\" + UninstallKeyFor(product.title) + " ";
    const std::string changed = Differences(before, after, [&](auto& key, auto* was, auto*) {
      return IsPendingOperations(key) || keys.contains(key) || key.starts_with(entry) ||
             (was == nullptr && ListedIn(pending, key));
    });
    return changed.empty() ? "" : "\n  changed what is not the product's:" + changed;
  }

  // Every installed product, and only those, has an uninstall entry, a
  // readable log holding its files, its uninstaller and its files; each
  // shared count is the machine's own plus one per installed product whose
  // log holds the file.
  std::string CheckInstalled() {
    std::string problem;
    std::uint32_t logs[std::size(kShared)] = {};
    for (std::size_t p = 0; p < Products().size(); ++p) {
      const Product& product = Products()[p];
      if (InstalledProducts::IsInstalled(product.title) != Installed(p))
        problem += "\n  " + product.title + (Installed(p) ? " has no" : " has an") + " entry";
      if (!Installed(p) || !InstalledProducts::IsInstalled(product.title)) continue;
      const CommandLine command = SplitCommandLine(ReadRegistryString(
          hkey::localMachine, UninstallKeyFor(product.title), "UninstallString", 1024));
      UninstallLogListing log;
      UninstallLogError error;
      if (!ReadUninstallLogFile(UninstallLogPathFromArguments(command.arguments), log, error)) {
        problem += "\n  the log of " + product.title + " cannot be read";
        continue;
      }
      auto holds = [&](const std::string& target, bool shared) {
        return std::ranges::any_of(log.entries, [&](const auto& entry) {
          return SameName(LogEntryTarget(*entry), target) && (!shared || entry->GetShared());
        });
      };
      std::uint32_t attributes = 0;
      if (machine_.GetFileAttributes(command.program, attributes) != FileCause::none)
        problem += "\n  the uninstaller of " + product.title + " is missing";
      for (const PackagedFile& packaged : product.variants[*variant_[p]]) {
        const std::string target = Target(product, packaged);
        if (machine_.GetFileAttributes(target, attributes) != FileCause::none)
          problem += "\n  " + target + " of " + product.title + " is missing";
        if (!holds(target, false))
          problem += "\n  the log of " + product.title + " lacks " + target;
      }
      for (std::size_t s = 0; s < std::size(kShared); ++s) logs[s] += holds(kShared[s].first, true);
    }
    for (std::size_t s = 0; s < std::size(kShared); ++s) {
      const auto& [path, base] = kShared[s];
      const std::uint32_t count = ReadSharedCount(path, 0);
      if (count != base + logs[s])
        problem += "\n  " + path + " counts " + std::to_string(count) + ", the machine's " +
                   std::to_string(base) + " and the logs of installed products " +
                   std::to_string(logs[s]);
    }
    return problem.empty() ? ""
                           : "the installed products are not what the machine holds:" + problem;
  }

  std::unique_ptr<IsolatedMachine> isolated_;
  SimMachine& machine_;
  const Snapshot start_;
  std::string done_;  // the operations so far, as printed
  std::optional<int> variant_[3];
  std::set<std::string> owned_[3];  // targets of every variant installed since the last uninstall
  std::optional<std::size_t> groupCreator_;
  std::pair<Counts, Counts> installCalls_, uninstallCalls_;  // machine and registry calls
  std::string messages_;
};

// Runs a list of operations as printed, then the end; "" when all is right.
std::string Replay(const std::string& list) {
  Lifecycle life;
  std::string problem;
  std::istringstream ops(list);
  for (std::string op; problem.empty() && std::getline(ops, op, ';');) problem = life.Apply(op);
  if (problem.empty()) problem = life.End();
  return problem.empty() ? "" : "replayed: " + life.Done() + "\nfirst broken: " + problem;
}

// Sequences the random runs once found broken, shortened by hand.
TEST(Lifecycle, SequencesOnceFoundBrokenStayRight) {
  const char* const sequences[] = {
      // A file another product holds that cannot be looked at while its
      // record is handed over: the uninstallation fails and a second start
      // hands it over.
      "install N20a fail files:GetFileAttributes#13:13; install N21b; "
      "uninstall N21 fail files:GetFileSize#1:1",
  };
  for (const char* sequence : sequences) EXPECT_EQ(Replay(sequence), "");
}

TEST(Lifecycle, ProductsSharingFilesKeepTheMachineConsistentThroughRandomOperations) {
  if (!testing::kHostRenamesOpenFiles) GTEST_SKIP() << testing::kNoRenameOfOpenFiles;
  if (const char* replay = std::getenv("VELMORA_LIFECYCLE_REPLAY")) {
    EXPECT_EQ(Replay(replay), "");
    return;
  }
  const char* count = std::getenv("VELMORA_LIFECYCLE_SEQUENCES");
  const int sequences = count != nullptr && *count != '\0' ? std::atoi(count) : kDefaultSequences;
  int failed = 0;
  for (int seed = 1; seed <= sequences; ++seed) {
    Lifecycle life;
    std::mt19937 random(static_cast<std::uint32_t>(seed));
    std::string problem;
    for (int i = 0; i < kOperations && problem.empty(); ++i)
      problem = life.Apply(life.Choose(random));
    if (problem.empty()) problem = life.End();
    if (!problem.empty() && ++failed <= 5)
      ADD_FAILURE() << "seed " << seed << ": VELMORA_LIFECYCLE_REPLAY=\"" << life.Done()
                    << "\"\nfirst broken: " << problem;
  }
  std::cout << sequences << " sequences of " << kOperations << " operations, " << failed
            << " failed\n";
}

}  // namespace
}  // namespace velmora::test
