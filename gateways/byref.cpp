// The by-reference gateway interface over the C interface of mex.h.  Each
// call dereferences its arguments and forwards to the C call of the same
// name; nothing here keeps state.
#include "byref.h"

#include <cstdlib>
#include <cstring>

#include <dlfcn.h>

mwSize mxgetm_(const mxArray *const *pm) { return static_cast<mwSize>(mxGetM(*pm)); }

mwSize mxgetn_(const mxArray *const *pm) { return static_cast<mwSize>(mxGetN(*pm)); }

double *mxgetpr_(const mxArray *const *pm) { return mxGetPr(*pm); }

int mxiscomplex_(const mxArray *const *pm) { return mxIsComplex(*pm) ? 1 : 0; }

int mxisdouble_(const mxArray *const *pm) { return mxIsDouble(*pm) ? 1 : 0; }

int mxissparse_(const mxArray *const *pm) { return mxIsSparse(*pm) ? 1 : 0; }

mwSize mxgetnumberofdimensions_(const mxArray *const *pm) { return mxGetNumberOfDimensions(*pm); }

const mwSize *mxgetdimensions_(const mxArray *const *pm) { return mxGetDimensions(*pm); }

mxArray *mxcreatefullnd_(const mwSize *ndim, const mwSize *dims, const int *flag) {
  return mxCreateNumericArray(*ndim, dims, mxDOUBLE_CLASS, *flag != 0 ? mxCOMPLEX : mxREAL);
}

void mxcopyptrtoreal8_(const double *const *ptr, double *value, const mwSize *count) {
  if (*count > 0) std::memcpy(value, *ptr, static_cast<std::size_t>(*count) * sizeof(double));
}

void mxcopyreal8toptr_(const double *value, double *const *ptr, const mwSize *count) {
  if (*count > 0) std::memcpy(*ptr, value, static_cast<std::size_t>(*count) * sizeof(double));
}

// The C call wants a terminated text: copy at most sizeof buf - 1 characters
// into a buffer on the stack (no allocation that an ending call could leak).
void mexerrmsgidandtxt_(const char *id, const char *text, std::size_t length) {
  char buf[512];
  std::size_t n = length < sizeof buf - 1 ? length : sizeof buf - 1;
  if (n > 0) std::memcpy(buf, text, n);
  buf[n] = '\0';
  mexErrMsgIdAndTxt(id, "%s", buf);
  std::abort();  // not reached: the error call does not return
}

// The host's mexCallMATLAB, found in the process's global symbols rather
// than linked: a host without it (the project's own, before it has one)
// loads the library all the same, with RTLD_NOW, and gets -1 here.
int mexcallmatlab_(const int *nlhs, mxArray **plhs, const int *nrhs, mxArray **prhs,
                   const char *name, std::size_t length) {
  using call_fn = int (*)(int, mxArray **, int, mxArray **, const char *);
  static const call_fn call = reinterpret_cast<call_fn>(dlsym(RTLD_DEFAULT, "mexCallMATLAB"));
  if (call == nullptr) return -1;
  char buf[64];
  std::size_t n = length < sizeof buf - 1 ? length : sizeof buf - 1;
  if (n > 0) std::memcpy(buf, name, n);
  buf[n] = '\0';
  return call(*nlhs, plhs, *nrhs, prhs, buf) == 0 ? 0 : 1;
}

mxArray *mxcreatestring_(const char *text, std::size_t length) {
  char buf[64];
  std::size_t n = length < sizeof buf - 1 ? length : sizeof buf - 1;
  if (n > 0) std::memcpy(buf, text, n);
  buf[n] = '\0';
  return mxCreateString(buf);
}

void mxdestroyarray_(mxArray **pm) {
  mxDestroyArray(*pm);
  *pm = nullptr;
}
