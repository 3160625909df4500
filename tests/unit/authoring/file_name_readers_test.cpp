// Every reader of file step names judges them by the framework's rules: the
// package checks, the record reader, the uninstall log reader, the output
// path of an extraction and the harvest of a folder.
#include "authoring/package_checks.h"
#include "authoring/safe_output_path.h"
#include "authoring/uninstall_log_reader.h"
#include "authoring/windows_file_name.h"
#include "framework/file_name_rules.h"
#include "steps/uninstall_log.h"
#include "unit/authoring/package_test_support.h"
#include "unit/file_name_cases.h"

namespace velmora::test {
namespace {

class FileNameReaders : public PackageTest {};

TEST_F(FileNameReaders, EveryReaderRefusesWhatTheRulesRefuse) {
  const std::string log = MediaPath("NAMES.VMU");
  for (const FileNameCase& c : kFileNameCases) {
    SCOPED_TRACE("\"" + std::string(c.name) + "\"");
    const std::string problem = c.problem;
    const bool sound = problem.empty();
    PackageDefinition package;
    package.first.title = "Names";
    package.first.steps.push_back(FileStep({.name = c.name, .payload = {1, 2, 3}}));

    const std::vector<StepProblem> problems = CheckPackage(package);
    ASSERT_EQ(problems.size(), sound ? 0u : 1u);
    // An empty name is refused by the step's own Validate first.
    if (!sound && *c.name != '\0') {
      EXPECT_EQ(problems[0].message, "The file name " + problem);
    }

    Write(package);
    PackageReader reader(kPackageFolder);
    PackageContents contents;
    ASSERT_EQ(reader.ReadPackage(contents), sound) << reader.Failure().message;
    if (sound) {
      EXPECT_EQ(contents.first.steps.at(0)->GetName(), c.name);
    } else {
      EXPECT_TRUE(reader.Failure().message.ends_with(", whose file name " + problem))
          << reader.Failure().message;
    }

    StoreUninstallLog(log, "Names", {package.first.steps[0].step.get()}, nullptr);
    UninstallLogListing listing;
    UninstallLogError error;
    ASSERT_EQ(ReadUninstallLogFile(log, listing, error), sound) << DescribeLogError(error);
    if (!sound) {
      EXPECT_EQ(error.kind, LogErrorKind::refusedValue);
      EXPECT_TRUE(DescribeLogError(error).starts_with("entry 1 of 1 (CStepFileCopy)"));
      EXPECT_TRUE(DescribeLogError(error).ends_with(": the file name " + problem));
    }

    const SafeOutputPath path = MakeSafeOutputPath({"<Windows>", c.name});
    for (const std::string& component : path.components) EXPECT_EQ(FileNameProblem(component), "");
    if (sound) {
      EXPECT_TRUE(path.warnings.empty());
    }

    // The harvest names one file at a time: a path is not one name.
    const bool oneName = std::string_view(c.name).find('\\') == std::string_view::npos;
    EXPECT_EQ(WindowsFileNameProblem(c.name).empty(), sound && oneName);
  }
}

}  // namespace
}  // namespace velmora::test
