/*
 * The MEX gateway interface of gatebox's own host.
 *
 * The declarations follow the C interface that MATLAB-compatible hosts
 * offer (GNU Octave's mexproto.h in particular), with 64-bit mwSize and
 * separate real and imaginary blocks, so one gateway source compiles for
 * every host.  Grouped by role: the gateway's view of the interpreter,
 * memory, constructors, predicates, dimensions, data, cells, structs,
 * sparse storage.
 */
#ifndef GATEBOX_HOST_MEX_H
#define GATEBOX_HOST_MEX_H

#include <stddef.h>
#include <stdint.h>
#include <stdbool.h>

#if defined(_WIN32)
#if defined(GATEBOX_HOST_BUILDING)
#define GBH_API __declspec(dllexport)
#else
#define GBH_API __declspec(dllimport)
#endif
#else
#define GBH_API __attribute__((visibility("default")))
#endif

#if defined(__GNUC__)
#define GBH_NORETURN __attribute__((noreturn))
#if defined(__MINGW32__)
/* The host formats with the C99 printf of mingw-w64's ANSI stdio (%zu,
 * %lld), not with the system runtime's, which "printf" means there. */
#define GBH_PRINTF(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define GBH_PRINTF(f, a) __attribute__((format(printf, f, a)))
#endif
#else
#define GBH_NORETURN
#define GBH_PRINTF(f, a)
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct mxArray_tag mxArray;

typedef enum {
  mxUNKNOWN_CLASS = 0,
  mxCELL_CLASS,
  mxSTRUCT_CLASS,
  mxLOGICAL_CLASS,
  mxCHAR_CLASS,
  mxVOID_CLASS,
  mxDOUBLE_CLASS,
  mxSINGLE_CLASS,
  mxINT8_CLASS,
  mxUINT8_CLASS,
  mxINT16_CLASS,
  mxUINT16_CLASS,
  mxINT32_CLASS,
  mxUINT32_CLASS,
  mxINT64_CLASS,
  mxUINT64_CLASS,
  mxFUNCTION_CLASS
} mxClassID;

typedef enum { mxREAL = 0, mxCOMPLEX = 1 } mxComplexity;

typedef uint16_t mxChar;
typedef unsigned char mxLogical;
typedef int64_t mwSize;
typedef int64_t mwIndex;
typedef int64_t mwSignedIndex;

/* The gateway's entry point, defined by every gateway library. */
void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[]);

/* Interface to the interpreter. */
GBH_API GBH_NORETURN void mexErrMsgTxt(const char *msg);
GBH_API GBH_NORETURN void mexErrMsgIdAndTxt(const char *id, const char *fmt, ...) GBH_PRINTF(2, 3);
GBH_API void mexWarnMsgTxt(const char *msg);
GBH_API void mexWarnMsgIdAndTxt(const char *id, const char *fmt, ...) GBH_PRINTF(2, 3);
GBH_API int mexPrintf(const char *fmt, ...) GBH_PRINTF(1, 2);
GBH_API const char *mexFunctionName(void);
/* Call a function of the host by name; its outputs belong to the calling
 * gateway's call, and an error it raises ends that call.  Returns 0. */
GBH_API int mexCallMATLAB(int nlhs, mxArray *plhs[], int nrhs, mxArray *prhs[], const char *name);
GBH_API mxArray *mexGetVariable(const char *space, const char *name);
GBH_API const mxArray *mexGetVariablePtr(const char *space, const char *name);
GBH_API int mexPutVariable(const char *space, const char *name, const mxArray *value);
GBH_API void mexMakeArrayPersistent(mxArray *array);
GBH_API void mexMakeMemoryPersistent(void *ptr);

/* Floating-point values and predicates. */
GBH_API bool mxIsFinite(double v);
GBH_API bool mxIsInf(double v);
GBH_API bool mxIsNaN(double v);
GBH_API double mxGetEps(void);
GBH_API double mxGetInf(void);
GBH_API double mxGetNaN(void);

/* Memory: blocks are owned by the current call and reclaimed when it ends. */
GBH_API void *mxCalloc(size_t n, size_t size);
GBH_API void *mxMalloc(size_t n);
GBH_API void *mxRealloc(void *ptr, size_t size);
GBH_API void mxFree(void *ptr);

/* Constructors. */
GBH_API mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag);
GBH_API mxArray *mxCreateDoubleScalar(double value);
GBH_API mxArray *mxCreateNumericArray(mwSize ndims, const mwSize *dims, mxClassID cls, mxComplexity flag);
GBH_API mxArray *mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity flag);
GBH_API mxArray *mxCreateUninitNumericArray(mwSize ndims, const mwSize *dims, mxClassID cls, mxComplexity flag);
GBH_API mxArray *mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity flag);
GBH_API mxArray *mxCreateLogicalArray(mwSize ndims, const mwSize *dims);
GBH_API mxArray *mxCreateLogicalMatrix(mwSize m, mwSize n);
GBH_API mxArray *mxCreateLogicalScalar(mxLogical value);
GBH_API mxArray *mxCreateCharArray(mwSize ndims, const mwSize *dims);
GBH_API mxArray *mxCreateString(const char *str);
GBH_API mxArray *mxCreateCellArray(mwSize ndims, const mwSize *dims);
GBH_API mxArray *mxCreateCellMatrix(mwSize m, mwSize n);
GBH_API mxArray *mxCreateStructArray(mwSize ndims, const mwSize *dims, int nfields, const char **names);
GBH_API mxArray *mxCreateStructMatrix(mwSize m, mwSize n, int nfields, const char **names);
GBH_API mxArray *mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag);
GBH_API mxArray *mxCreateSparseLogicalMatrix(mwSize m, mwSize n, mwSize nzmax);
GBH_API mxArray *mxDuplicateArray(const mxArray *array);
GBH_API void mxDestroyArray(mxArray *array);

/* Class and type predicates. */
GBH_API mxClassID mxGetClassID(const mxArray *array);
GBH_API const char *mxGetClassName(const mxArray *array);
GBH_API bool mxIsClass(const mxArray *array, const char *name);
GBH_API bool mxIsCell(const mxArray *array);
GBH_API bool mxIsChar(const mxArray *array);
GBH_API bool mxIsComplex(const mxArray *array);
GBH_API bool mxIsDouble(const mxArray *array);
GBH_API bool mxIsFunctionHandle(const mxArray *array);
GBH_API bool mxIsInt8(const mxArray *array);
GBH_API bool mxIsInt16(const mxArray *array);
GBH_API bool mxIsInt32(const mxArray *array);
GBH_API bool mxIsInt64(const mxArray *array);
GBH_API bool mxIsUint8(const mxArray *array);
GBH_API bool mxIsUint16(const mxArray *array);
GBH_API bool mxIsUint32(const mxArray *array);
GBH_API bool mxIsUint64(const mxArray *array);
GBH_API bool mxIsLogical(const mxArray *array);
GBH_API bool mxIsNumeric(const mxArray *array);
GBH_API bool mxIsSingle(const mxArray *array);
GBH_API bool mxIsSparse(const mxArray *array);
GBH_API bool mxIsStruct(const mxArray *array);
GBH_API bool mxIsEmpty(const mxArray *array);
GBH_API bool mxIsScalar(const mxArray *array);

/* Dimensions.  mxGetN is the product of every dimension after the first. */
GBH_API size_t mxGetM(const mxArray *array);
GBH_API size_t mxGetN(const mxArray *array);
GBH_API const mwSize *mxGetDimensions(const mxArray *array);
GBH_API mwSize mxGetNumberOfDimensions(const mxArray *array);
GBH_API size_t mxGetNumberOfElements(const mxArray *array);
GBH_API size_t mxGetElementSize(const mxArray *array);
GBH_API void mxSetM(mxArray *array, mwSize m);
GBH_API void mxSetN(mxArray *array, mwSize n);
GBH_API int mxSetDimensions(mxArray *array, const mwSize *dims, mwSize ndims);

/* Data blocks.  Setters adopt a block from mxMalloc/mxCalloc/mxRealloc. */
GBH_API double *mxGetPr(const mxArray *array);
GBH_API double *mxGetPi(const mxArray *array);
GBH_API void *mxGetData(const mxArray *array);
GBH_API void *mxGetImagData(const mxArray *array);
GBH_API mxLogical *mxGetLogicals(const mxArray *array);
GBH_API mxChar *mxGetChars(const mxArray *array);
GBH_API double mxGetScalar(const mxArray *array);
GBH_API void mxSetPr(mxArray *array, double *pr);
GBH_API void mxSetPi(mxArray *array, double *pi);
GBH_API void mxSetData(mxArray *array, void *data);
GBH_API void mxSetImagData(mxArray *array, void *data);

/* Cells and structs. */
GBH_API mxArray *mxGetCell(const mxArray *array, mwIndex index);
GBH_API void mxSetCell(mxArray *array, mwIndex index, mxArray *value);
GBH_API int mxGetNumberOfFields(const mxArray *array);
GBH_API const char *mxGetFieldNameByNumber(const mxArray *array, int field);
GBH_API int mxGetFieldNumber(const mxArray *array, const char *name);
GBH_API mxArray *mxGetField(const mxArray *array, mwIndex index, const char *name);
GBH_API mxArray *mxGetFieldByNumber(const mxArray *array, mwIndex index, int field);
GBH_API void mxSetField(mxArray *array, mwIndex index, const char *name, mxArray *value);
GBH_API void mxSetFieldByNumber(mxArray *array, mwIndex index, int field, mxArray *value);
GBH_API int mxAddField(mxArray *array, const char *name);

/* Sparse storage (compressed columns). */
GBH_API mwIndex *mxGetIr(const mxArray *array);
GBH_API mwIndex *mxGetJc(const mxArray *array);
GBH_API mwSize mxGetNzmax(const mxArray *array);

/* Strings. */
GBH_API int mxGetString(const mxArray *array, char *buf, mwSize buflen);
GBH_API char *mxArrayToString(const mxArray *array);

#ifdef __cplusplus
}
#endif

#endif
