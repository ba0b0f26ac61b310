// The compiler runtime for gatebox applications, with GNU Octave as engine.
//
// One Octave interpreter per process (liboctinterp's embedding interface:
// octave::interpreter, initialize_history, initialize_load_path, execute,
// feval) runs the application's code.  The life of the runtime follows the
// calls of a launcher: mclInitializeApplication (options), mclmcrInitialize
// (the interpreter starts), mclInitializeComponentInstance (the component's
// search path is added and its output routed to its handlers), mclMain (the
// component's main function runs), mclTerminateInstance and
// mclTerminateApplication (the interpreter shuts down; it cannot be started
// again in the same process).  One component instance runs at a time.
//
// Search path entries are folders relative to a root, tried in turn against
// the component root, the program's folder and the file system root; an
// entry "$NAME/..." takes its root from the environment variable NAME.  An
// entry that names no existing folder is skipped.  The class path, library
// path, application options and warning states of the record are not used:
// the engine has no Java class path or native library path of its own.
#include "mclrt.h"

#include <octave/oct.h>
#include <octave/interpreter.h>
#include <octave/pager.h>
#include <octave/parse.h>
#include <octave/quit.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Hands what the engine writes to a stream on to a component's handler.  The
// print side passes text on at every newline and flush; the error side only
// whole lines, so its handler's own newline rule never splits a line.
class HandlerBuf : public std::streambuf {
 public:
  HandlerBuf(mclOutputHandlerFcn handler, bool whole_lines)
      : handler_(handler), whole_lines_(whole_lines) {}

  // Passes on everything held back, a partial last line included.
  void drain() {
    if (!pending_.empty()) emit(pending_.size());
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_.push_back(traits_type::to_char_type(c));
    if (c == '\n') emit(pending_.size());
    return c;
  }

  std::streamsize xsputn(const char *s, std::streamsize n) override {
    pending_.append(s, static_cast<size_t>(n));
    size_t last = pending_.rfind('\n');
    if (last != std::string::npos) emit(last + 1);
    return n;
  }

  int sync() override {
    if (!whole_lines_) drain();
    return 0;
  }

 private:
  void emit(size_t count) {
    std::string text = pending_.substr(0, count);
    pending_.erase(0, count);
    handler_(text.c_str());
  }

  mclOutputHandlerFcn handler_;
  bool whole_lines_;
  std::string pending_;
};

enum class Stage { Stopped, Ready, Engine, Ended };

struct Runtime {
  Stage stage = Stage::Stopped;
  bool no_display = false;
  std::unique_ptr<octave::interpreter> interp;
  mclInstance *current = nullptr;
};

Runtime &runtime() {
  static Runtime rt;
  return rt;
}

bool is_directory(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The folder a search path entry names, or "" when it names none.
std::string resolve_entry(const std::string &entry, const mclComponentData &data) {
  if (entry.empty()) return "";
  if (entry[0] == '$') {
    size_t slash = entry.find('/');
    std::string var = entry.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const char *value = std::getenv(var.c_str());
    if (!value || !*value) return "";
    std::string dir = std::string(value) + (slash == std::string::npos ? "" : entry.substr(slash));
    return is_directory(dir) ? dir : "";
  }
  const char *roots[] = {data.root, data.component_path, "/"};
  for (const char *root : roots) {
    if (!root || !*root) continue;
    std::string dir = root;
    if (dir.back() != '/') dir += '/';
    dir += entry;
    if (is_directory(dir)) return dir;
  }
  return "";
}

}  // namespace

struct mclInstance {
  mclInstance(mclOutputHandlerFcn error_handler, mclOutputHandlerFcn print_handler)
      : err(error_handler, true), out(print_handler, false) {}

  HandlerBuf err, out;
  std::streambuf *saved_err = nullptr, *saved_out = nullptr;
  std::vector<std::string> dirs;  // folders this instance added to the path
};

namespace {

// Sends Octave's pending standard output through the instance's handlers.
void flush_output(mclInstance *inst) {
  octave_stdout.flush();
  std::cout.flush();
  std::cerr.flush();
  inst->out.drain();
}

void report(mclInstance *inst, const std::string &text) {
  flush_output(inst);
  inst->err.drain();
  std::cerr << text;
  if (!text.empty() && text.back() != '\n') std::cerr << '\n';
  std::cerr.flush();
}

}  // namespace

extern "C" {

MCLRT_API bool mclInitializeApplication(const char **options, size_t count) {
  Runtime &rt = runtime();
  if (rt.stage != Stage::Stopped) return false;
  if (count > 0 && !options) return false;
  for (size_t k = 0; k < count; ++k) {
    std::string option = options[k] ? options[k] : "";
    if (option == "-nodisplay") {
      rt.no_display = true;
    } else if (option != "-nojvm") {  // no Java in this engine: nothing to turn off
      std::fprintf(stderr, "mclInitializeApplication: unknown runtime option '%s'\n",
                   option.c_str());
      return false;
    }
  }
  rt.stage = Stage::Ready;
  return true;
}

MCLRT_API int mclRunMain(mclMainFcn run_main, int argc, const char **argv) {
  return run_main ? run_main(argc, argv) : 1;
}

MCLRT_API bool separatePathName(const char *path, char *buffer, size_t size) {
  if (!buffer || size == 0) return false;
  buffer[0] = '\0';
  if (!path || !*path) return false;

  std::string dir;
  const char *slash = std::strrchr(path, '/');
  if (slash) {
    dir.assign(path, slash == path ? 1 : static_cast<size_t>(slash - path));
  } else {
    // A bare name was found on PATH (an empty PATH entry is the current folder).
    dir = ".";
    const char *env = std::getenv("PATH");
    std::string list = env ? env : "";
    for (size_t start = 0; start <= list.size();) {
      size_t end = list.find(':', start);
      if (end == std::string::npos) end = list.size();
      std::string entry = list.substr(start, end - start);
      if (entry.empty()) entry = ".";
      std::string candidate = entry + "/" + path;
      struct stat st;
      if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
          access(candidate.c_str(), X_OK) == 0) {
        dir = entry;
        break;
      }
      start = end + 1;
    }
  }
  char resolved[PATH_MAX];
  if (realpath(dir.c_str(), resolved)) dir = resolved;
  if (dir.size() >= size) return false;
  std::memcpy(buffer, dir.c_str(), dir.size() + 1);
  return true;
}

MCLRT_API bool mclmcrInitialize(void) {
  Runtime &rt = runtime();
  if (rt.stage == Stage::Engine) return true;
  if (rt.stage != Stage::Ready) return false;
  try {
    auto interp = std::make_unique<octave::interpreter>();
    interp->initialize_history(false);
    interp->initialize_load_path(true);  // Octave's own function folders
    if (interp->execute() != 0) return false;
    interp->feval("more", octave_value_list(octave_value("off")));
    rt.interp = std::move(interp);
  } catch (const octave::exit_exception &) {
    return false;
  } catch (const std::exception &e) {
    std::fprintf(stderr, "mclmcrInitialize: the Octave engine did not start: %s\n", e.what());
    return false;
  }
  rt.stage = Stage::Engine;
  return true;
}

MCLRT_API bool mclInitializeComponentInstance(HMCRINSTANCE *inst, mclComponentData *data,
                                              bool is_application, int flags, int reserved,
                                              mclOutputHandlerFcn error_handler,
                                              mclOutputHandlerFcn print_handler) {
  Runtime &rt = runtime();
  if (!inst || !data || !data->name || !*data->name || !error_handler || !print_handler)
    return false;
  if (rt.stage != Stage::Engine || rt.current || !is_application || flags != 0 || reserved != 0)
    return false;
  if (data->path_count < 0 || (data->path_count > 0 && !data->path)) return false;

  auto instance = std::make_unique<mclInstance>(error_handler, print_handler);
  for (int k = 0; k < data->path_count; ++k) {
    std::string dir = resolve_entry(data->path[k] ? data->path[k] : "", *data);
    if (!dir.empty()) instance->dirs.push_back(dir);
  }
  instance->saved_out = std::cout.rdbuf(&instance->out);
  instance->saved_err = std::cerr.rdbuf(&instance->err);
  try {
    if (!instance->dirs.empty()) {
      // The toolbox shadows some built-in functions on purpose (gamma).
      octave_value_list off(octave_value("off"));
      off.append(octave_value("Octave:shadowed-function"));
      octave_value old = rt.interp->feval("warning", off, 1)(0);
      octave_value_list dirs;
      for (const std::string &dir : instance->dirs) dirs.append(octave_value(dir));
      rt.interp->feval("addpath", dirs);  // the first entry ends up first
      rt.interp->feval("warning", octave_value_list(old));
    }
  } catch (const octave::execution_exception &ee) {
    std::ostringstream os;
    ee.display(os);
    report(instance.get(), os.str());
    rt.interp->recover_from_exception();
    std::cout.rdbuf(instance->saved_out);
    std::cerr.rdbuf(instance->saved_err);
    return false;
  }
  rt.current = instance.release();
  *inst = rt.current;
  return true;
}

MCLRT_API int mclMain(HMCRINSTANCE inst, int argc, const char **argv, const char *name,
                      int nargout) {
  Runtime &rt = runtime();
  if (!inst || inst != rt.current || !name || argc < 0 || (argc > 0 && !argv) || nargout < 0)
    return 1;
  octave_value_list args;
  for (int k = 1; k < argc; ++k) args.append(octave_value(std::string(argv[k] ? argv[k] : "")));

  int status = 0;
  try {
    rt.interp->feval(name, args, nargout);
  } catch (const octave::exit_exception &ex) {
    status = ex.exit_status();
  } catch (const octave::execution_exception &ee) {
    std::ostringstream os;
    ee.display(os);
    report(inst, os.str());
    rt.interp->recover_from_exception();
    status = 1;
  } catch (const octave::interrupt_exception &) {
    report(inst, "error: interrupted");
    rt.interp->recover_from_exception();
    status = 1;
  } catch (const std::bad_alloc &) {
    report(inst, "error: out of memory or dimension too large for Octave's index type");
    rt.interp->recover_from_exception();
    status = 1;
  } catch (const std::exception &e) {
    report(inst, std::string("error: ") + e.what());
    rt.interp->recover_from_exception();
    status = 1;
  }
  flush_output(inst);
  inst->err.drain();  // a partial last error line, too
  return status;
}

MCLRT_API void mclWaitForFiguresToDie(HMCRINSTANCE inst) {
  (void)inst;  // every figure of the process counts
  Runtime &rt = runtime();
  if (rt.stage != Stage::Engine || rt.no_display) return;
  try {
    // Without a window system no figure can be shown, so none can be closed.
    if (!rt.interp->feval("have_window_system", octave_value_list(), 1)(0).bool_value()) return;
    octave_value_list query(octave_value(0.0));
    query.append(octave_value("type"));
    query.append(octave_value("figure"));
    query.append(octave_value("visible"));
    query.append(octave_value("on"));
    while (!rt.interp->feval("findall", query, 1)(0).isempty()) {
      rt.interp->feval("drawnow");
      rt.interp->feval("pause", octave_value_list(octave_value(0.1)));
    }
  } catch (const octave::execution_exception &) {
    rt.interp->recover_from_exception();
  } catch (const octave::exit_exception &) {
  } catch (const octave::interrupt_exception &) {
    rt.interp->recover_from_exception();
  }
}

MCLRT_API void mclTerminateInstance(HMCRINSTANCE *inst) {
  Runtime &rt = runtime();
  if (!inst || !*inst || *inst != rt.current) return;
  mclInstance *instance = *inst;
  try {
    if (!instance->dirs.empty()) {
      octave_value_list dirs;
      for (const std::string &dir : instance->dirs) dirs.append(octave_value(dir));
      // The application may have removed a folder itself; rmpath's warning
      // about that has no identifier, so all warnings are off meanwhile.
      octave_value old = rt.interp->feval("warning", octave_value_list(), 1)(0);
      octave_value_list off(octave_value("off"));
      off.append(octave_value("all"));
      rt.interp->feval("warning", off);
      rt.interp->feval("rmpath", dirs);
      rt.interp->feval("warning", octave_value_list(old));
    }
  } catch (const octave::execution_exception &) {
    rt.interp->recover_from_exception();
  }
  flush_output(instance);
  instance->err.drain();
  std::cout.rdbuf(instance->saved_out);
  std::cerr.rdbuf(instance->saved_err);
  delete instance;
  rt.current = nullptr;
  *inst = nullptr;
}

MCLRT_API bool mclTerminateApplication(void) {
  Runtime &rt = runtime();
  if (rt.stage == Stage::Stopped || rt.stage == Stage::Ended) return false;
  if (rt.current) {
    HMCRINSTANCE inst = rt.current;
    mclTerminateInstance(&inst);
  }
  try {
    rt.interp.reset();  // runs Octave's shutdown: atexit functions, cleanup
  } catch (...) {
    // A failing shutdown leaves nothing the process could still use.
  }
  std::cout.flush();
  rt.stage = Stage::Ended;
  return true;
}

}  // extern "C"
