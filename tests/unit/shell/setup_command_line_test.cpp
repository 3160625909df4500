#include "shell/setup_command_line.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(SetupCommandLine, InstallOptionsInAnyOrderAndCaseWithOrWithoutQuotes) {
  struct Case {
    const char* line;
    bool quiet;
    const char* answers;
    const char* log;
    const char* record;
  } cases[] = {
      {"", false, "", "", ""},
      {"   ", false, "", "", ""},
      {"/quiet", true, "", "", ""},
      {"/QUIET /Answers a.txt /LOG C:\\x.log", true, "a.txt", "C:\\x.log", ""},
      {"/log \"C:\\My Logs\\setup.log\" /quiet", true, "", "C:\\My Logs\\setup.log", ""},
      {"\t/answers \"C:\\a b.txt\"\t/quiet", true, "C:\\a b.txt", "", ""},
      {"/log one.log /log two.log", false, "", "two.log", ""},  // the last one counts
      {"/Record \"C:\\r s.txt\" /answers a.txt", false, "a.txt", "", "C:\\r s.txt"},
  };
  for (const Case& c : cases) {
    const SetupOptions options = ParseSetupCommandLine(c.line, true);
    EXPECT_EQ(options.error, "") << c.line;
    EXPECT_EQ(options.quiet, c.quiet) << c.line;
    EXPECT_EQ(options.answersPath, c.answers) << c.line;
    EXPECT_EQ(options.logPath, c.log) << c.line;
    EXPECT_EQ(options.recordPath, c.record) << c.line;
  }
}

TEST(SetupCommandLine, UninstallOptionsOnlyAtTheStartAndTheRestIsTheLogPath) {
  struct Case {
    const char* line;
    bool quiet;
    const char* log;
    const char* arguments;
  } cases[] = {
      {"C:\\WINDOWS\\XDemo.VMU", false, "", "C:\\WINDOWS\\XDemo.VMU"},
      {"C:\\WINDOWS\\XLantern Notes 2.1.VMU", false, "", "C:\\WINDOWS\\XLantern Notes 2.1.VMU"},
      {"/quiet C:\\WINDOWS\\XDemo.VMU", true, "", "C:\\WINDOWS\\XDemo.VMU"},
      {"/Quiet /log \"C:\\u.log\" \"C:\\WINDOWS\\X D.VMU\"", true, "C:\\u.log",
       "\"C:\\WINDOWS\\X D.VMU\""},
      {"C:\\X.VMU /quiet", false, "", "C:\\X.VMU /quiet"},  // after the path: part of it
      {"\"C:\\X.VMU\" /log a", false, "", "\"C:\\X.VMU\" /log a"},
  };
  for (const Case& c : cases) {
    const SetupOptions options = ParseSetupCommandLine(c.line, false);
    EXPECT_EQ(options.error, "") << c.line;
    EXPECT_EQ(options.quiet, c.quiet) << c.line;
    EXPECT_EQ(options.logPath, c.log) << c.line;
    EXPECT_EQ(options.arguments, c.arguments) << c.line;
  }
}

TEST(SetupCommandLine, BadCommandLinesNameTheProblem) {
  struct Case {
    const char* line;
    bool installMode;
    const char* error;
  } cases[] = {
      {"/log", true, "/log needs a file name"},
      {"/quiet /answers", true, "/answers needs a file name"},
      {"/answers \"\"", true, "/answers needs a file name"},
      {"/quiet /record", true, "/record needs a file name"},
      {"/silent", true,
       "unknown option /silent (options: /quiet, /answers FILE, /strict, /record FILE, /log FILE)"},
      {"readme.txt", true,
       "unexpected argument readme.txt (options: /quiet, /answers FILE, /strict, /record FILE, "
       "/log FILE)"},
      {"/record r.txt C:\\X.VMU", false,
       "unknown option /record (options: /quiet, /log FILE, then the log path)"},
      {"/log", false, "/log needs a file name"},
      {"/answers a.txt C:\\X.VMU", false,
       "unknown option /answers (options: /quiet, /log FILE, then the log path)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseSetupCommandLine(c.line, c.installMode).error, c.error) << c.line;
  // The first problem is reported, and into the log a later /log names.
  const SetupOptions bogus = ParseSetupCommandLine("/quiet /bogus /strict /log F.TXT", true);
  EXPECT_EQ(bogus.error.substr(0, 20), "unknown option /bogu");
  EXPECT_EQ(bogus.logPath, "F.TXT");
  EXPECT_TRUE(bogus.strict);
}

}  // namespace
}  // namespace velmora
