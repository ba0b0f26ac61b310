// The real orvane with the Octave-backed runtime, end to end: exit status,
// standard output and standard error of good and failing calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

std::string slurp(const std::string &file) {
  std::ifstream in(file);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs a shell command line with its output and error captured apart.
Outcome run(const std::string &command) {
  char dir[] = "/tmp/orvane_run_XXXXXX";
  if (!mkdtemp(dir)) return {-1, "", "mkdtemp failed"};
  std::string out = std::string(dir) + "/out", err = std::string(dir) + "/err";
  int raw = std::system((command + " >" + out + " 2>" + err).c_str());
  Outcome r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
  std::remove(out.c_str());
  std::remove(err.c_str());
  rmdir(dir);
  return r;
}

const std::string orvane = ORVANE_PATH;

TEST(OrvaneRun, GoodCalls) {
  struct Case {
    std::string args;
    std::string out;  // a regular expression over the whole output
  };
  const Case cases[] = {
      {"trigamma 1", "1\\.64493406684[0-9]*\n"},  // pi^2/6
      {"trigamma '1 2; 3 4'",
       "1\\.644934066[0-9]* 0\\.644934066[0-9]*\n0\\.394934066[0-9]* 0\\.283822955[0-9]*\n"},
      {"trigamma '2,3'", "0\\.644934066[0-9]* 0\\.394934066[0-9]*\n"},
      {"--help", "usage: orvane FUNCTION ARG\\.\\.\\.[^]*"},
      {"", "usage: orvane FUNCTION ARG\\.\\.\\.[^]*"},
      {"--list", "trigamma +\n[^]*"},
  };
  for (const Case &c : cases) {
    Outcome r = run(orvane + " " + c.args);
    EXPECT_EQ(r.status, 0) << c.args << "\n" << r.err;
    EXPECT_TRUE(std::regex_match(r.out, std::regex(c.out))) << c.args << ":\n" << r.out;
    EXPECT_EQ(r.err, "") << c.args;
  }
}

TEST(OrvaneRun, ApplicationErrorsGiveNonZeroStatusAndTextOnStderr) {
  struct Case {
    std::string args;
    std::string message;
  };
  const Case cases[] = {
      {"trigamma", "error: trigamma: Usage: x = trigamma(n)\n"},
      {"trigamma 1 2", "error: trigamma: Usage: x = trigamma(n)\n"},
      {"nosuch 1", "error: orvane: 'nosuch' is not a gatebox function; 'orvane --list' names them\n"},
      {"trigamma '1 x'",
       "error: orvane: argument 1 ('1 x') is not a number, row or matrix of numbers\n"},
      {"trigamma '1 2; 3'", "error: orvane: argument 1 ('1 2; 3') has rows of different lengths\n"},
  };
  for (const Case &c : cases) {
    Outcome r = run(orvane + " " + c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << c.args << ":\n" << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }
}

// The program finds its application from any folder, also when it is
// started by a bare name found on PATH.
TEST(OrvaneRun, StartedThroughPathFromAnotherFolder) {
  std::string folder = orvane.substr(0, orvane.rfind('/'));
  Outcome r = run("cd / && PATH='" + folder + ":/usr/bin:/bin' orvane trigamma 1");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::regex_match(r.out, std::regex("1\\.64493406684[0-9]*\n"))) << r.out;
}

}  // namespace
