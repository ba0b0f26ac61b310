// The orvane launcher against a recording runtime: the order of its runtime
// calls and what it passes, its failure paths, the default handlers, and the
// component record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "fake_mclrt.h"
#include "orvane.h"

// orvane_main.cpp is compiled for this test with its main renamed.
int orvane_main_under_test(int argc, char **argv);
int run_main(int argc, const char **argv);

namespace {

using Calls = std::vector<std::string>;

class Launcher : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }
  void TearDown() override {
    orvaneTerminate();  // leave no instance for the next test
    fake::reset();
  }
  const Calls &calls() { return fake::state().calls; }
};

TEST_F(Launcher, SuccessfulRunCallsTheRuntimeInOrder) {
  const char *argv[] = {"/opt/app/bin/orvane", "trigamma", "1"};
  EXPECT_EQ(run_main(3, argv), 0);
  const Calls expected = {
      "separatePathName /opt/app/bin/orvane 8193",
      "mclmcrInitialize",
      "mclInitializeComponentInstance orvane 1 0 0",
      "mclMain inst /opt/app/bin/orvane trigamma 1 orvane 0",
      "mclWaitForFiguresToDie null",
      "mclTerminateInstance inst",
      "mclTerminateApplication",
  };
  EXPECT_EQ(calls(), expected);
  EXPECT_EQ(fake::state().path_buffer_size, 8193u);
  // Field 18 points at the program's folder while the application runs, and
  // not at the dead buffer afterwards.
  ASSERT_NE(fake::state().component_path_in_main, nullptr);
  EXPECT_EQ(__MCC_orvane_component_data.component_path, nullptr);
  EXPECT_FALSE(fake::state().instance_running);
}

TEST_F(Launcher, FailurePaths) {
  struct Case {
    const char *what;
    fake::Config config;
    int status;
    Calls expected;
  };
  auto with = [](auto change) {
    fake::Config c;
    change(c);
    return c;
  };
  const Case cases[] = {
      {"engine does not start", with([](fake::Config &c) { c.mcr_initialize = false; }), -1,
       {"separatePathName orvane 8193", "mclmcrInitialize"}},
      {"instance does not start", with([](fake::Config &c) { c.initialize_instance = false; }),
       -1,
       {"separatePathName orvane 8193", "mclmcrInitialize",
        "mclInitializeComponentInstance orvane 1 0 0"}},
      {"application error", with([](fake::Config &c) { c.main_status = 7; }), 7,
       {"separatePathName orvane 8193", "mclmcrInitialize",
        "mclInitializeComponentInstance orvane 1 0 0", "mclMain inst orvane orvane 0",
        "mclTerminateInstance inst", "mclTerminateApplication"}},
  };
  for (const Case &c : cases) {
    fake::reset();
    fake::state().config = c.config;
    const char *argv[] = {"orvane"};
    EXPECT_EQ(run_main(1, argv), c.status) << c.what;
    EXPECT_EQ(calls(), c.expected) << c.what;
    EXPECT_EQ(__MCC_orvane_component_data.component_path, nullptr) << c.what;
    orvaneTerminate();
  }
}

TEST_F(Launcher, MainStartsTheRuntimeWithTheRecordsOptions) {
  char arg0[] = "orvane", arg1[] = "--help";
  char *argv[] = {arg0, arg1, nullptr};
  fake::state().config.main_status = 3;
  EXPECT_EQ(orvane_main_under_test(2, argv), 3);
  ASSERT_GE(calls().size(), 2u);
  EXPECT_EQ(calls()[0], "mclInitializeApplication  0");  // one empty entry, count 0
  EXPECT_EQ(calls()[1], "mclRunMain 2");
  EXPECT_EQ(calls()[5], "mclMain inst orvane --help orvane 0");
}

TEST_F(Launcher, MainFailsWhenTheRuntimeDoesNotStart) {
  char arg0[] = "orvane";
  char *argv[] = {arg0, nullptr};
  fake::state().config.initialize_application = false;
  EXPECT_EQ(orvane_main_under_test(1, argv), 1);  // a failure, not success
  EXPECT_EQ(calls(), Calls{"mclInitializeApplication  0"});
}

TEST_F(Launcher, SecondInitializeMakesNoRuntimeCall) {
  ASSERT_TRUE(orvaneInitialize());
  size_t after_first = calls().size();
  EXPECT_EQ(after_first, 2u);
  EXPECT_TRUE(orvaneInitialize());
  EXPECT_TRUE(orvaneInitializeWithHandlers(nullptr, nullptr));
  EXPECT_EQ(calls().size(), after_first);
}

TEST_F(Launcher, TerminateWithoutInstanceMakesNoRuntimeCall) {
  orvaneTerminate();
  EXPECT_TRUE(calls().empty());
  ASSERT_TRUE(orvaneInitialize());
  orvaneTerminate();
  orvaneTerminate();
  EXPECT_EQ(calls().back(), "mclTerminateInstance inst");
  EXPECT_EQ(std::count(calls().begin(), calls().end(), "mclTerminateInstance inst"), 1);
}

TEST_F(Launcher, FailedInitializeLeavesNoInstance) {
  fake::state().config.initialize_instance = false;
  EXPECT_FALSE(orvaneInitialize());
  fake::state().config.initialize_instance = true;
  EXPECT_TRUE(orvaneInitialize());  // tries again: nothing was left running
  EXPECT_EQ(std::count(calls().begin(), calls().end(), "mclmcrInitialize"), 2);
}

TEST_F(Launcher, DefaultHandlers) {
  ASSERT_TRUE(orvaneInitialize());
  mclOutputHandlerFcn err = fake::state().error_handler;
  mclOutputHandlerFcn print = fake::state().print_handler;
  ASSERT_NE(err, nullptr);
  ASSERT_NE(print, nullptr);
  struct Case {
    const char *text;
    const char *written;
    int count;
  };
  const Case error_cases[] = {
      {"disk full", "disk full\n", 10},  // newline added
      {"disk full\n", "disk full\n", 10},
      {"", "", 0},                      // nothing for an empty text
      {"\n", "\n", 1},
      {"two\nlines", "two\nlines\n", 10},
  };
  for (const Case &c : error_cases) {
    ::testing::internal::CaptureStderr();
    int count = err(c.text);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.written) << '"' << c.text << '"';
    EXPECT_EQ(count, c.count) << '"' << c.text << '"';
  }
  const Case print_cases[] = {
      {"1.5", "1.5", 3},  // never a newline of its own
      {"1.5\n", "1.5\n", 4},
      {"", "", 0},
  };
  for (const Case &c : print_cases) {
    ::testing::internal::CaptureStdout();
    int count = print(c.text);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.written) << '"' << c.text << '"';
    EXPECT_EQ(count, c.count) << '"' << c.text << '"';
  }
}

bool upper_hex(const std::string &s) {
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c)) && (c < 'A' || c > 'F')) return false;
  return true;
}

TEST(ComponentRecord, EighteenPointerSizedFieldsInOrder) {
  const size_t slot = sizeof(void *);
  const size_t offsets[] = {
      offsetof(mclComponentData, public_key),     offsetof(mclComponentData, name),
      offsetof(mclComponentData, root),           offsetof(mclComponentData, session_key),
      offsetof(mclComponentData, path),           offsetof(mclComponentData, path_count),
      offsetof(mclComponentData, class_path),     offsetof(mclComponentData, class_path_count),
      offsetof(mclComponentData, lib_path),       offsetof(mclComponentData, lib_path_count),
      offsetof(mclComponentData, app_options),    offsetof(mclComponentData, app_option_count),
      offsetof(mclComponentData, run_options),    offsetof(mclComponentData, run_option_count),
      offsetof(mclComponentData, identifier),     offsetof(mclComponentData, warning_state),
      offsetof(mclComponentData, warning_state_count),
      offsetof(mclComponentData, component_path)};
  for (size_t k = 0; k < 18; ++k) EXPECT_EQ(offsets[k], k * slot) << "field " << k + 1;
  EXPECT_EQ(sizeof(mclComponentData), 18 * slot);
  EXPECT_EQ(sizeof(int), 4u);
}

TEST(ComponentRecord, Values) {
  const mclComponentData &d = __MCC_orvane_component_data;
  EXPECT_STREQ(d.name, "orvane");
  EXPECT_STREQ(d.root, "");
  EXPECT_EQ(d.component_path, nullptr);

  // Identifier: the name, an underscore, 32 upper-case hex digits.
  std::string id = d.identifier;
  ASSERT_EQ(id.size(), 7u + 32u);
  EXPECT_EQ(id.substr(0, 7), "orvane_");
  EXPECT_TRUE(upper_hex(id.substr(7))) << id;

  // Keys: 320 and 256 upper-case hex digits; the public key is the DER form
  // of an rsaEncryption SubjectPublicKeyInfo with a 1024-bit modulus.
  std::string pub = d.public_key, session = d.session_key;
  EXPECT_EQ(pub.size(), 320u);
  EXPECT_TRUE(upper_hex(pub));
  EXPECT_EQ(session.size(), 256u);
  EXPECT_TRUE(upper_hex(session));
  const std::string spki_head =
      "30819D"                            // SEQUENCE, 157 bytes: 160 in all
      "300D06092A864886F70D0101010500"    // rsaEncryption, NULL parameters
      "03818B00"                          // BIT STRING, no unused bits
      "30818702818100";                   // RSAPublicKey, INTEGER of 129 bytes
  EXPECT_EQ(pub.substr(0, spki_head.size()), spki_head);
  EXPECT_GE(std::stoi(pub.substr(spki_head.size(), 2), nullptr, 16), 0x80);  // 1024 bits
  EXPECT_EQ(pub.substr(spki_head.size() + 256), "020103");  // public exponent 3

  // Lists with count 0 still hold one empty entry.
  struct List {
    const char *what;
    const char **entries;
    int count;
  };
  const List empty_lists[] = {{"library path", d.lib_path, d.lib_path_count},
                              {"application options", d.app_options, d.app_option_count},
                              {"runtime options", d.run_options, d.run_option_count},
                              {"warning states", d.warning_state, d.warning_state_count}};
  for (const List &l : empty_lists) {
    EXPECT_EQ(l.count, 0) << l.what;
    ASSERT_NE(l.entries, nullptr) << l.what;
    EXPECT_STREQ(l.entries[0], "") << l.what;
  }
  ASSERT_EQ(d.class_path_count, 1);
  EXPECT_STREQ(d.class_path[0], "java/jar/toolbox/database.jar");
}

TEST(ComponentRecord, SearchPath) {
  const mclComponentData &d = __MCC_orvane_component_data;
  ASSERT_EQ(d.path_count, 41);
  const char *toolbox[] = {"general",   "ops",         "lang",       "elmat",     "elfun",
                           "specfun",   "matfun",      "datafun",    "polyfun",   "funfun",
                           "sparfun",   "scribe",      "graph2d",    "graph3d",   "specgraph",
                           "graphics",  "uitools",     "strfun",     "imagesci",  "iofun",
                           "audiovideo", "timefun",    "datatypes",  "verctrl",   "codetools",
                           "helptools", "demos",       "timeseries", "hds"};
  EXPECT_STREQ(d.path[0], "orvane/");
  EXPECT_STREQ(d.path[1], "toolbox/compiler/deploy/");
  for (int k = 0; k < 29; ++k)
    EXPECT_EQ(std::string(d.path[3 + k]), std::string("$TOOLBOXMATLABDIR/") + toolbox[k] + "/");
  EXPECT_STREQ(d.path[32], "toolbox/local/");
  EXPECT_STREQ(d.path[33], "toolbox/compiler/");
  EXPECT_STREQ(d.path[34], "toolbox/database/database/");
  EXPECT_STREQ(d.path[35], "toolbox/optim/");
  EXPECT_EQ(std::string(d.path[2]), ORVANE_SOURCE_DIR "launcher/app/");
  EXPECT_EQ(std::string(d.path[40]), ORVANE_TOOLBOX_DIR);
  for (int k = 0; k < 41; ++k) {
    std::string e = d.path[k];
    ASSERT_FALSE(e.empty()) << k;
    EXPECT_NE(e.front(), '/') << e;
    EXPECT_EQ(e.back(), '/') << e;
  }
}

}  // namespace
