#include "fake_mclrt.h"

#include <cstring>
#include <string>

namespace fake {

State &state() {
  static State s;
  return s;
}

void reset() { state() = State(); }

}  // namespace fake

namespace {

int instance_token;
mclComponentData *last_record;

std::string text(const char *s) { return s ? s : "(null)"; }

}  // namespace

extern "C" {

bool mclInitializeApplication(const char **options, size_t count) {
  fake::state().calls.push_back("mclInitializeApplication " + text(options ? options[0] : nullptr) +
                                " " + std::to_string(count));
  return fake::state().config.initialize_application;
}

int mclRunMain(mclMainFcn run_main, int argc, const char **argv) {
  fake::state().calls.push_back("mclRunMain " + std::to_string(argc));
  return run_main(argc, argv);
}

bool separatePathName(const char *path, char *buffer, size_t size) {
  fake::State &s = fake::state();
  s.calls.push_back("separatePathName " + text(path) + " " + std::to_string(size));
  s.path_buffer_size = size;
  std::strncpy(buffer, s.config.directory, size - 1);
  buffer[size - 1] = '\0';
  return true;
}

bool mclmcrInitialize(void) {
  fake::state().calls.push_back("mclmcrInitialize");
  return fake::state().config.mcr_initialize;
}

bool mclInitializeComponentInstance(HMCRINSTANCE *inst, mclComponentData *data,
                                    bool is_application, int flags, int reserved,
                                    mclOutputHandlerFcn error_handler,
                                    mclOutputHandlerFcn print_handler) {
  fake::State &s = fake::state();
  s.calls.push_back("mclInitializeComponentInstance " + text(data->name) + " " +
                    std::to_string(is_application) + " " + std::to_string(flags) + " " +
                    std::to_string(reserved));
  s.error_handler = error_handler;
  s.print_handler = print_handler;
  last_record = data;
  if (!s.config.initialize_instance) return false;
  *inst = reinterpret_cast<HMCRINSTANCE>(&instance_token);
  s.instance_running = true;
  return true;
}

int mclMain(HMCRINSTANCE inst, int argc, const char **argv, const char *name, int nargout) {
  fake::State &s = fake::state();
  std::string line = "mclMain";
  line += inst == reinterpret_cast<HMCRINSTANCE>(&instance_token) ? " inst" : " other";
  for (int k = 0; k < argc; ++k) line += " " + text(argv[k]);
  line += " " + text(name) + " " + std::to_string(nargout);
  s.calls.push_back(line);
  s.component_path_in_main = last_record ? last_record->component_path : nullptr;
  return s.config.main_status;
}

void mclWaitForFiguresToDie(HMCRINSTANCE inst) {
  fake::state().calls.push_back(inst ? "mclWaitForFiguresToDie inst" : "mclWaitForFiguresToDie null");
}

void mclTerminateInstance(HMCRINSTANCE *inst) {
  fake::state().calls.push_back(*inst ? "mclTerminateInstance inst" : "mclTerminateInstance null");
  *inst = nullptr;
  fake::state().instance_running = false;
}

bool mclTerminateApplication(void) {
  fake::state().calls.push_back("mclTerminateApplication");
  return true;
}

}  // extern "C"
