// The interpreter side of the own host: the error call that ends a gateway
// call, printing, warnings and the global workspace.
#include "state.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace gatebox::host::detail {

mxArray *duplicate_array(const mxArray *src);

static std::string vformat(const char *fmt, va_list ap) {
  va_list copy;
  va_copy(copy, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (n < 0) return fmt;
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  std::vsnprintf(&s[0], s.size(), fmt, ap);
  s.resize(static_cast<std::size_t>(n));
  return s;
}

static bool is_global_space(const char *space) { return space && std::strcmp(space, "global") == 0; }

}  // namespace gatebox::host::detail

using namespace gatebox::host::detail;

extern "C" {

void mexErrMsgTxt(const char *msg) { raise("", msg ? msg : ""); }

void mexErrMsgIdAndTxt(const char *id, const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string msg = vformat(fmt ? fmt : "", ap);
  va_end(ap);
  raise(id, msg);
}

void mexWarnMsgTxt(const char *msg) { state().printed += std::string("warning: ") + (msg ? msg : "") + "\n"; }

void mexWarnMsgIdAndTxt(const char *id, const char *fmt, ...) {
  (void)id;
  va_list ap;
  va_start(ap, fmt);
  std::string msg = vformat(fmt ? fmt : "", ap);
  va_end(ap);
  mexWarnMsgTxt(msg.c_str());
}

int mexPrintf(const char *fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string msg = vformat(fmt ? fmt : "", ap);
  va_end(ap);
  state().printed += msg;
  return static_cast<int>(msg.size());
}

const char *mexFunctionName(void) {
  const auto &c = state().contexts;
  return c.back().function_name.c_str();
}

// mexGetVariable gives the caller a copy it owns; the workspace keeps its own.
mxArray *mexGetVariable(const char *space, const char *name) {
  if (!is_global_space(space) || !name) return nullptr;
  auto it = state().globals.find(name);
  return it == state().globals.end() ? nullptr : duplicate_array(it->second);
}

const mxArray *mexGetVariablePtr(const char *space, const char *name) {
  if (!is_global_space(space) || !name) return nullptr;
  auto it = state().globals.find(name);
  return it == state().globals.end() ? nullptr : it->second;
}

int mexPutVariable(const char *space, const char *name, const mxArray *value) {
  if (!is_global_space(space) || !name || !*name) return 1;
  State &s = state();
  mxArray *copy = duplicate_array(checked(value));
  copy->ctx = 0;
  copy->persistent = true;
  auto it = s.globals.find(name);
  if (it != s.globals.end()) {
    it->second->persistent = false;
    destroy(it->second);
    it->second = copy;
  } else {
    s.globals.emplace(name, copy);
  }
  return 0;
}

void mexMakeArrayPersistent(mxArray *array) { checked(array)->persistent = true; }

}  // extern "C"
