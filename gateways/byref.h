// The by-reference gateway interface: every argument is passed by address,
// as a Fortran caller passes it, and a text is passed unterminated with its
// length by value (the hidden length argument of a Fortran CHARACTER dummy).
//
// Neither GNU Octave nor the project's own host offers these calls, so this
// thin layer supplies them over the C interface of mex.h.  It is compiled
// into the gateway library that uses it and stays local to that library
// (hidden visibility, and the version script exports only the entry points).
#pragma once

#include "mex.h"

#include <cstddef>

#if defined(__GNUC__) && !defined(_WIN32)
#define GATEBOX_BYREF_LOCAL __attribute__((visibility("hidden")))
#else
#define GATEBOX_BYREF_LOCAL
#endif

extern "C" {

// Rows, and columns (the product of every dimension after the first).
GATEBOX_BYREF_LOCAL mwSize mxgetm_(const mxArray *const *pm);
GATEBOX_BYREF_LOCAL mwSize mxgetn_(const mxArray *const *pm);
// Address of the real data.  Only for a double array: ask mxisdouble_ first.
GATEBOX_BYREF_LOCAL double *mxgetpr_(const mxArray *const *pm);
// 1 when the array is complex (resp. of class double, resp. sparse), else 0.
GATEBOX_BYREF_LOCAL int mxiscomplex_(const mxArray *const *pm);
GATEBOX_BYREF_LOCAL int mxisdouble_(const mxArray *const *pm);
GATEBOX_BYREF_LOCAL int mxissparse_(const mxArray *const *pm);
// Copy count doubles from the address held in *ptr to value, and back.
GATEBOX_BYREF_LOCAL void mxcopyptrtoreal8_(const double *const *ptr, double *value, const mwSize *count);
GATEBOX_BYREF_LOCAL void mxcopyreal8toptr_(const double *value, double *const *ptr, const mwSize *count);
// Number of dimensions (at least 2) and the address of the dimension sizes.
GATEBOX_BYREF_LOCAL mwSize mxgetnumberofdimensions_(const mxArray *const *pm);
GATEBOX_BYREF_LOCAL const mwSize *mxgetdimensions_(const mxArray *const *pm);
// New zero-filled full double array of ndim dimensions of sizes dims; flag 0
// real, 1 complex.
GATEBOX_BYREF_LOCAL mxArray *mxcreatefullnd_(const mwSize *ndim, const mwSize *dims, const int *flag);
// Ends the call with the identifier `id` (a terminated text) and the first
// `length` characters of `text` as message.
[[noreturn]] GATEBOX_BYREF_LOCAL void mexerrmsgidandtxt_(const char *id, const char *text, std::size_t length);
// Calls the host's function `name` (length characters) as mexCallMATLAB
// does.  Returns 0 on success; -1 when the host offers no call interface
// (the library still loads in such a host: the interface is looked up when
// first needed).  An error in the called function ends this call too.
GATEBOX_BYREF_LOCAL int mexcallmatlab_(const int *nlhs, mxArray **plhs, const int *nrhs,
                                       mxArray **prhs, const char *name, std::size_t length);
// New char row array holding the first `length` characters of `text`, and
// its release.
GATEBOX_BYREF_LOCAL mxArray *mxcreatestring_(const char *text, std::size_t length);
GATEBOX_BYREF_LOCAL void mxdestroyarray_(mxArray **pm);
}
