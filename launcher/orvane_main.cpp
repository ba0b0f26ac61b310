// orvane: starts the orvane application through the compiler runtime.
//
// The launcher holds no application logic.  It starts the runtime with the
// component record's options, has the runtime call run_main, which points
// the record at the program's folder, starts the component instance, runs
// the application's main function (named by the component) with the
// command line, waits for its figure windows on success, and ends the
// instance and the runtime.  The process exit status is the application's;
// the launcher prints nothing of its own (the runtime reports through the
// handlers).
#include "orvane.h"

#include <cstdio>
#include <cstring>

namespace {

HMCRINSTANCE _mcr_inst = nullptr;

// Writes the text to standard output as it is; returns the bytes written.
int mclDefaultPrintHandler(const char *s) {
  return static_cast<int>(std::fwrite(s, 1, std::strlen(s), stdout));
}

// Writes the text to standard error, ending it with a newline when it is not
// empty and lacks one; returns the bytes written.
int mclDefaultErrorHandler(const char *s) {
  size_t len = std::strlen(s);
  size_t written = std::fwrite(s, 1, len, stderr);
  if (len > 0 && s[len - 1] != '\n') written += std::fwrite("\n", 1, 1, stderr);
  return static_cast<int>(written);
}

}  // namespace

bool orvaneInitializeWithHandlers(mclOutputHandlerFcn error_handler,
                                  mclOutputHandlerFcn print_handler) {
  if (_mcr_inst) return true;
  if (!mclmcrInitialize()) return false;
  return mclInitializeComponentInstance(&_mcr_inst, &__MCC_orvane_component_data, 1, 0, 0,
                                        error_handler, print_handler);
}

bool orvaneInitialize(void) {
  return orvaneInitializeWithHandlers(mclDefaultErrorHandler, mclDefaultPrintHandler);
}

void orvaneTerminate(void) {
  if (_mcr_inst) mclTerminateInstance(&_mcr_inst);
}

// Runs the application where the runtime calls it; its status, or -1 when the
// component instance could not be started.
int run_main(int argc, const char **argv) {
  char path_to_component[8193];
  separatePathName(argv[0], path_to_component, sizeof path_to_component);
  __MCC_orvane_component_data.component_path = path_to_component;
  if (!orvaneInitialize()) {
    __MCC_orvane_component_data.component_path = nullptr;
    return -1;
  }
  int status = mclMain(_mcr_inst, argc, argv, __MCC_orvane_component_data.name, 0);
  if (status == 0) mclWaitForFiguresToDie(nullptr);
  orvaneTerminate();
  mclTerminateApplication();
  // The buffer dies with this call: the record must not keep pointing at it.
  __MCC_orvane_component_data.component_path = nullptr;
  return status;
}

int main(int argc, char **argv) {
  if (!mclInitializeApplication(__MCC_orvane_component_data.run_options,
                                static_cast<size_t>(__MCC_orvane_component_data.run_option_count)))
    return 1;
  return mclRunMain(run_main, argc, const_cast<const char **>(argv));
}
