// The Octave-backed runtime on small applications (tests/launcher/apps):
// output and errors through the handlers, statuses, the search path, the
// refusals, and separatePathName.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "mclrt.h"

namespace {

std::string printed, errors;
std::vector<std::string> error_calls;

int record_print(const char *s) {
  printed += s;
  return static_cast<int>(std::strlen(s));
}

int record_error(const char *s) {
  error_calls.push_back(s);
  errors += s;
  return static_cast<int>(std::strlen(s));
}

const char *path_entries[] = {"no/such/folder/", "$GATEBOX_UNSET_FOLDER/", "toolbox/local/",
                              "apps/"};

mclComponentData record = {
    "", "rt_component", "", "", path_entries, 4, nullptr, 0, nullptr, 0, nullptr, 0,
    nullptr, 0, "rt_component_00000000000000000000000000000000", nullptr, 0,
    GATEBOX_TEST_LAUNCHER_DIR};

HMCRINSTANCE inst = nullptr;

class Runtime : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    unsetenv("GATEBOX_UNSET_FOLDER");
    ASSERT_TRUE(mclInitializeApplication(nullptr, 0));
    ASSERT_FALSE(mclInitializeApplication(nullptr, 0));  // once per process
    ASSERT_TRUE(mclmcrInitialize());
    ASSERT_TRUE(mclInitializeComponentInstance(&inst, &record, true, 0, 0, record_error,
                                               record_print));
    ASSERT_NE(inst, nullptr);
  }

  static void TearDownTestSuite() {
    mclTerminateInstance(&inst);
    EXPECT_EQ(inst, nullptr);
    EXPECT_TRUE(mclTerminateApplication());
    EXPECT_FALSE(mclTerminateApplication());
    EXPECT_FALSE(mclmcrInitialize());  // no restart after shutdown
  }

  void SetUp() override {
    printed.clear();
    errors.clear();
    error_calls.clear();
  }

  int run(const char *name, std::vector<const char *> args) {
    args.insert(args.begin(), "program");
    return mclMain(inst, static_cast<int>(args.size()), args.data(), name, 0);
  }
};

TEST_F(Runtime, OutputGoesToThePrintHandler) {
  EXPECT_EQ(run("rt_echo", {"a", "two words"}), 0);
  EXPECT_EQ(printed, "char:a\nchar:two words\ndone");
  EXPECT_EQ(errors, "");
}

TEST_F(Runtime, AnErrorIsReportedAndGivesStatusOne) {
  EXPECT_EQ(run("rt_fail", {"went wrong"}), 1);
  EXPECT_EQ(printed, "before the error\n");
  EXPECT_EQ(errors.rfind("error: rt_fail: went wrong\n", 0), 0u) << errors;
  // The runtime keeps working after an application error.
  EXPECT_EQ(run("rt_echo", {}), 0);
}

TEST_F(Runtime, ExitGivesItsStatus) {
  EXPECT_EQ(run("rt_exit", {"3"}), 3);
  EXPECT_EQ(printed, "exiting\n");
  EXPECT_EQ(run("rt_exit", {"0"}), 0);
}

TEST_F(Runtime, WarningsAndErrorOutputGoToTheErrorHandler) {
  EXPECT_EQ(run("rt_warn", {}), 0);
  // Octave follows a warning with where it came from; the partial last line
  // is passed on when the function returns.
  ASSERT_GE(error_calls.size(), 2u);
  EXPECT_EQ(error_calls.front(), "warning: careful\n");
  EXPECT_EQ(error_calls.back(), "no newline");
  EXPECT_EQ(printed, "");
}

TEST_F(Runtime, AnUnknownFunctionIsAnError) {
  EXPECT_EQ(run("rt_no_such_function", {}), 1);
  EXPECT_NE(errors.find("rt_no_such_function"), std::string::npos) << errors;
}

TEST_F(Runtime, UnresolvableSearchPathEntriesAreSkipped) {
  EXPECT_EQ(run("rt_path", {}), 0);
  // Octave keeps the current folder first; the resolved entry comes next,
  // ahead of Octave's own folders.
  const std::string apps = std::string(GATEBOX_TEST_LAUNCHER_DIR) + "/apps";
  EXPECT_EQ(printed.rfind(".\n" + apps + "\n", 0), 0u) << printed;
  EXPECT_EQ(printed.find("no/such/folder"), std::string::npos);
  EXPECT_EQ(printed.find("GATEBOX_UNSET_FOLDER"), std::string::npos);
  EXPECT_EQ(printed.find("toolbox/local"), std::string::npos);
}

TEST_F(Runtime, RefusesASecondInstanceAndBadArguments) {
  HMCRINSTANCE other = nullptr;
  EXPECT_FALSE(mclInitializeComponentInstance(&other, &record, true, 0, 0, record_error,
                                              record_print));
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(mclMain(nullptr, 1, nullptr, "rt_echo", 0), 1);
  const char *argv[] = {"program"};
  EXPECT_EQ(mclMain(inst, 1, argv, nullptr, 0), 1);
  EXPECT_EQ(printed, "");
}

TEST_F(Runtime, WaitForFiguresReturnsWhenNoneIsOpen) {
  mclWaitForFiguresToDie(nullptr);
  mclWaitForFiguresToDie(inst);
  SUCCEED();
}

TEST(SeparatePathName, LeavesTheProgramsFolder) {
  char buf[8193];
  struct Case {
    const char *path;
    const char *folder;
  };
  const Case cases[] = {
      {"/usr/bin/env", "/usr/bin"},
      {"/usr/bin/../bin/env", "/usr/bin"},
      {"/env", "/"},
      {"env", "/usr/bin"},  // found on PATH
  };
  setenv("PATH", "/nonexistent:/usr/bin", 1);
  for (const Case &c : cases) {
    EXPECT_TRUE(separatePathName(c.path, buf, sizeof buf)) << c.path;
    EXPECT_STREQ(buf, c.folder) << c.path;
  }
  // Too small a buffer, no path: false and an empty text, never an overrun.
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_FALSE(separatePathName("/usr/bin/env", small, sizeof small));
  EXPECT_STREQ(small, "");
  EXPECT_TRUE(separatePathName("/usr/bin/env", small, 9));  // "/usr/bin" and its NUL
  EXPECT_FALSE(separatePathName(nullptr, buf, sizeof buf));
  EXPECT_STREQ(buf, "");
}

}  // namespace
