// A recording stand-in for the compiler runtime: every call is logged with
// its arguments, and the results the launcher branches on are settable.
#ifndef GATEBOX_FAKE_MCLRT_H
#define GATEBOX_FAKE_MCLRT_H

#include <string>
#include <vector>

#include "mclrt.h"

namespace fake {

struct Config {
  bool initialize_application = true;
  bool mcr_initialize = true;
  bool initialize_instance = true;
  int main_status = 0;
  const char *directory = "/opt/app/bin";  // what separatePathName leaves
};

struct State {
  Config config;
  std::vector<std::string> calls;            // one line per runtime call
  size_t path_buffer_size = 0;               // as passed to separatePathName
  const char *component_path_in_main = nullptr;  // record field 18 during mclMain
  mclOutputHandlerFcn error_handler = nullptr;
  mclOutputHandlerFcn print_handler = nullptr;
  bool instance_running = false;
};

State &state();
void reset();

}  // namespace fake

#endif
