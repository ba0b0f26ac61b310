// gatekit: constructors of host arrays whose data are left uninitialised.
//
// Each returns a new array of the requested shape and class, like the host's
// own constructor of the same name without the trailing E, but without the
// pass that zero-fills the data: the array is created with one element and
// its blocks are then resized to the full size.  Only the leading element is
// defined (zero); a caller must write every other element before the array
// is handed back.  Negative dimensions and sizes that overflow the address
// space end the call with gatebox:<function>:arrayTooLarge before the host
// is asked for anything.
#pragma once

#include "mex.h"

mxArray *mxCreateNumericArrayE(mwSize ndim, const mwSize *dims, mxClassID classid, mxComplexity complexity);
mxArray *mxCreateNumericMatrixE(mwSize m, mwSize n, mxClassID classid, mxComplexity complexity);
mxArray *mxCreateDoubleMatrixE(mwSize m, mwSize n, mxComplexity complexity);

// The same for the two non-numeric classes whose data are plain elements:
// not every host's numeric constructor accepts them.
mxArray *mxCreateLogicalArrayE(mwSize ndim, const mwSize *dims);
mxArray *mxCreateCharArrayE(mwSize ndim, const mwSize *dims);
