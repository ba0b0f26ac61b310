// Runs a fuzzer's property checks over files without the fuzzing engine:
// `fuzz_<gateway> <file-or-directory>...` replays every file (directories
// recursively, in name order) and fails on the first broken rule, sanitizer
// report or call that hangs.  This is how the corpus runs as a regular test
// in builds made by any compiler.
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <unistd.h>
#endif

extern "C" {
extern const char *gatebox_fuzz_current_input;
int LLVMFuzzerInitialize(int *argc, char ***argv);
int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
}

namespace fs = std::filesystem;

namespace {

constexpr unsigned kHangSeconds = 30;

#if !defined(_WIN32)
void on_hang(int) {
  static const char msg[] = "\nFINDING: a call did not return within the time bound\n";
  (void)!write(2, msg, sizeof msg - 1);
  if (gatebox_fuzz_current_input) {
    (void)!write(2, "  input file: ", 14);
    (void)!write(2, gatebox_fuzz_current_input, std::char_traits<char>::length(gatebox_fuzz_current_input));
    (void)!write(2, "\n", 1);
  }
  _exit(1);
}
#endif

}  // namespace

int main(int argc, char **argv) {
  LLVMFuzzerInitialize(&argc, &argv);
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    fs::path p(argv[i]);
    if (fs::is_directory(p)) {
      for (const auto &e : fs::recursive_directory_iterator(p))
        if (e.is_regular_file()) files.push_back(e.path());
    } else if (fs::is_regular_file(p)) {
      files.push_back(p);
    } else if (!(p.filename().string().size() > 0 && p.filename().string()[0] == '-')) {
      std::fprintf(stderr, "no such file or directory: %s\n", argv[i]);
      return 2;
    }
  }
  std::sort(files.begin(), files.end());
#if !defined(_WIN32)
  std::signal(SIGALRM, on_hang);
#endif
  for (const fs::path &f : files) {
    std::ifstream in(f, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name = f.string();
    gatebox_fuzz_current_input = name.c_str();
#if !defined(_WIN32)
    alarm(kHangSeconds);
#endif
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
#if !defined(_WIN32)
    alarm(0);
#endif
  }
  gatebox_fuzz_current_input = nullptr;
  std::printf("replayed %zu inputs\n", files.size());
  return 0;
}
