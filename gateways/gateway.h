// Common ground of the gateway sources: the host interface, the export
// attribute of the entry point, and the checks the project adds in front of
// any data access.  GNU Octave 7.3 ends the whole session when a gateway asks
// for the data pointer of a function handle or object, and reading a
// non-double array as doubles reads past its storage, so every gateway checks
// the class of an input before it takes its data pointer.
#pragma once

#include "mex.h"

#include <cstdio>
#include <cstdlib>

#if defined(_WIN64)
#define GATEBOX_ENTRY extern "C" __declspec(dllexport)
#elif defined(_WIN32)
// 32-bit Windows: the build exports the entry point under its decorated C
// name _mexFunction through a module definition file, and only that name.
#define GATEBOX_ENTRY extern "C"
#else
#define GATEBOX_ENTRY extern "C" __attribute__((visibility("default")))
#endif

namespace gatebox {

// Ends the call with identifier gatebox:<function>:<reason>.
[[noreturn]] inline void fail(const char *function, const char *reason, const char *message) {
  char id[96];
  std::snprintf(id, sizeof id, "gatebox:%s:%s", function, reason);
  mexErrMsgIdAndTxt(id, "%s", message);
  std::abort();  // not reached: the error call does not return
}

// Ends the call unless `a` is a double array (real or complex, full or sparse).
inline void require_double(const mxArray *a, const char *function, const char *message) {
  if (!mxIsDouble(a)) fail(function, "notDouble", message);
}

}  // namespace gatebox
