// One fuzzer for one gateway: bytes -> argument list -> a call through the
// own host.  Each fuzzer executable names its gateway library in
// gatebox_fuzz_library (a source generated per gateway).
// Every call must end in the outputs its gateway documents or in one of its
// refusals (properties.cpp), within a time bound, without changing an input,
// and with the host's live blocks and arrays back where they were once the
// call's arrays are gone.  A broken rule aborts with a report, which
// libFuzzer records as a crash; the sanitizers abort on their own.
#include "argument_decoder.hpp"
#include "properties.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace h = gatebox::host;
namespace fz = gatebox::fuzz;

extern "C" {
// The gateway under test: its name, its build variant ("" or the subfolder
// below build/host, such as "win") and the path of its library.
extern const char gatebox_fuzz_name[], gatebox_fuzz_variant[], gatebox_fuzz_library[];
// Set by the replay driver to the file being replayed, for reports.
const char *gatebox_fuzz_current_input = nullptr;
int LLVMFuzzerInitialize(int *argc, char ***argv);
int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
}

namespace {

// No single call may take longer than this (sanitized build included).
constexpr double kCallSeconds = 5.0;
// Inputs are small; outputs may be larger, but never beyond this: a bigger
// request ends in the host's out-of-memory error, as one beyond the machine
// does, and the fuzzer keeps its pace.
constexpr std::size_t kMemoryLimit = std::size_t(8) << 20;

h::Gateway *gateway = nullptr;

std::string describe_call(const fz::ArgumentList &call) {
  std::string s = "  outputs asked for: " + std::to_string(call.nlhs) + "\n";
  if (call.flopcount) s += "  global flopcount: " + fz::describe(call.flopcount.get()) + "\n";
  for (std::size_t i = 0; i < call.inputs.size(); ++i)
    s += "  input " + std::to_string(i + 1) + ": " + fz::describe(call.inputs[i]) + "\n";
  return s;
}

[[noreturn]] void finding(const std::string &what, const std::string &call) {
  std::fprintf(stderr, "\nFINDING in %s%s%s%s: %s\n%s", gatebox_fuzz_name, *gatebox_fuzz_variant ? " (" : "",
               gatebox_fuzz_variant, *gatebox_fuzz_variant ? ")" : "", what.c_str(), call.c_str());
  if (gatebox_fuzz_current_input) std::fprintf(stderr, "  input file: %s\n", gatebox_fuzz_current_input);
  std::fflush(stderr);
  std::abort();
}

}  // namespace

int LLVMFuzzerInitialize(int *, char ***) {
  if (!gateway) {
    h::set_memory_limit(kMemoryLimit);
    gateway = new h::Gateway(gatebox_fuzz_library);  // kept loaded: its coverage counters live in it
    // The host's builtin('gamma', x), to which the gamma gateway hands every
    // input that is not a full double array: a stand-in answering a copy of x.
    h::register_function("builtin", [](int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]) {
      if (nlhs >= 1 && nrhs == 2) plhs[0] = mxDuplicateArray(prhs[1]);
    });
  }
  return 0;
}

int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  LLVMFuzzerInitialize(nullptr, nullptr);
  const std::size_t blocks = h::live_blocks(), arrays = h::live_arrays();
  std::string call_text;
  {
    fz::ArgumentList call;
    if (!fz::decode(data, size, call)) return 0;
    call_text = describe_call(call);
    if (call.flopcount) h::set_global("flopcount", call.flopcount.get());
    fz::FlopState before = fz::flop_state(h::global("flopcount"));
    std::vector<std::vector<std::uint8_t>> inputs;
    for (const mxArray *a : call.inputs) inputs.push_back(fz::snapshot(a));

    auto start = std::chrono::steady_clock::now();
    h::CallResult result = gateway->call(call.nlhs, call.inputs);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    fz::FlopState after = fz::flop_state(h::global("flopcount"));
    if (!result.ok() && result.error->id == "gatebox:host:exception")
      finding("a C++ exception left the gateway: " + result.error->message, call_text);
    std::string broken = fz::judge(gatebox_fuzz_name, gatebox_fuzz_variant, {call, result, before, after});
    if (!broken.empty()) {
      if (!result.ok()) call_text += "  error: [" + result.error->id + "] " + result.error->message + "\n";
      for (std::size_t i = 0; i < result.outputs.size(); ++i)
        call_text += "  output " + std::to_string(i + 1) + ": " + fz::describe(result.out(i)) + "\n";
      finding(broken, call_text);
    }
    if (seconds > kCallSeconds) finding("the call took " + std::to_string(seconds) + " s", call_text);
    for (std::size_t i = 0; i < call.inputs.size(); ++i)
      if (fz::snapshot(call.inputs[i]) != inputs[i]) finding("input " + std::to_string(i + 1) + " was changed", call_text);
    for (std::size_t i = 0; i < result.outputs.size(); ++i)
      if (result.out(i)) fz::snapshot(result.out(i));  // reads every byte of every output
  }
  h::clear_globals();
  if (h::live_blocks() != blocks || h::live_arrays() != arrays)
    finding("host memory grew: " + std::to_string(h::live_blocks() - blocks) + " blocks, " +
                std::to_string(h::live_arrays() - arrays) + " arrays still live after the call's arrays were destroyed",
            call_text);
  return 0;
}
