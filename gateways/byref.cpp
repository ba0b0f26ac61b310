// The by-reference gateway interface over the C interface of mex.h.  Each
// call dereferences its arguments and forwards to the C call of the same
// name; nothing here keeps state.
#include "byref.h"

#include <cstdlib>
#include <cstring>

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
