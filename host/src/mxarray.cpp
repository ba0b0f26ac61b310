// Arrays of the own host: one concrete mxArray for every class, with any
// number of dimensions (at least two), separate real and imaginary blocks,
// compressed-column sparse storage, cells and structs.
#include "state.hpp"

#include <cstdint>
#include <cmath>
#include <cstring>
#include <limits>

namespace gatebox::host::detail {

static std::size_t element_size(mxClassID cls) {
  switch (cls) {
    case mxDOUBLE_CLASS: case mxINT64_CLASS: case mxUINT64_CLASS: return 8;
    case mxSINGLE_CLASS: case mxINT32_CLASS: case mxUINT32_CLASS: return 4;
    case mxINT16_CLASS: case mxUINT16_CLASS: case mxCHAR_CLASS: return 2;
    case mxINT8_CLASS: case mxUINT8_CLASS: case mxLOGICAL_CLASS: return 1;
    case mxCELL_CLASS: case mxSTRUCT_CLASS: return sizeof(mxArray *);
    default: return 0;
  }
}

static bool is_numeric_class(mxClassID c) { return c >= mxDOUBLE_CLASS && c <= mxUINT64_CLASS; }

// A dimension as a size_t, saturating at SIZE_MAX (mwSize is 64-bit on
// every build; size_t is 32-bit on 32-bit builds, where a plain cast would
// wrap a dimension of 2^32 or more, even to 0).
static std::size_t as_size(mwSize d) {
  return static_cast<std::uint64_t>(d) > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(d);
}

// Product of the dimensions, saturating at SIZE_MAX.
static std::size_t count(const std::vector<mwSize> &dims) {
  std::size_t n = 1;
  for (mwSize d : dims) {
    std::size_t u = as_size(d);
    if (u == 0) return 0;
    n = (n > SIZE_MAX / u) ? SIZE_MAX : n * u;
  }
  return n;
}

static std::vector<mwSize> normalise(mwSize ndims, const mwSize *dims) {
  std::vector<mwSize> v;
  if (ndims < 0) raise("gatebox:host:badDimension", "Number of dimensions must not be negative.");
  for (mwSize i = 0; i < ndims; ++i) {
    if (dims[i] < 0) raise("gatebox:host:badDimension", "Dimensions must not be negative.");
    v.push_back(dims[i]);
  }
  while (v.size() < 2) v.push_back(v.empty() ? 0 : 1);
  while (v.size() > 2 && v.back() == 1) v.pop_back();
  return v;
}

static std::size_t bytes_for(std::size_t n, std::size_t es) {
  if (es != 0 && n > SIZE_MAX / es) raise("gatebox:host:outOfMemory", "Out of memory: array size overflows.");
  return n * es;
}

mxArray *checked(const mxArray *a) {
  if (!a) fault("null array handle passed to the host");
  if (!state().arrays.count(a) || a->magic != mxArray_tag::kMagic) fault("invalid array handle passed to the host");
  return const_cast<mxArray *>(a);
}

static mxArray *register_array(mxArray *a) {
  State &s = state();
  a->ctx = s.ctx();
  s.arrays.insert(a);
  if (a->ctx != 0) s.contexts.back().arrays.push_back(a);  // the embedding program owns by handle
  return a;
}

// An array with its shape and class but no data blocks yet.
static mxArray *new_header(mxClassID cls, mwSize ndims, const mwSize *dims, bool is_complex) {
  std::vector<mwSize> d = normalise(ndims, dims);
  auto *a = new mxArray;
  a->cls = cls;
  a->dims = std::move(d);
  a->is_complex = is_complex && is_numeric_class(cls);
  return register_array(a);
}

mxArray *new_array(mxClassID cls, mwSize ndims, const mwSize *dims, bool is_complex, bool zero) {
  mxArray *a = new_header(cls, ndims, dims, is_complex);
  std::size_t n = count(a->dims);
  std::size_t es = element_size(cls);
  try {
    std::size_t bytes = bytes_for(n, es);
    if (cls == mxCELL_CLASS) {
      if (n > state().memory_limit / sizeof(mxArray *)) raise("gatebox:host:outOfMemory", "Out of memory: cell too large.");
      a->elems.assign(n, nullptr);
    } else if (n > 0 && es > 0 && cls != mxSTRUCT_CLASS) {
      a->re = alloc_block(bytes, zero, a);
      if (a->is_complex) a->im = alloc_block(bytes, zero, a);
    }
  } catch (...) {
    destroy(a);
    throw;
  }
  return a;
}

void destroy(mxArray *a) {
  State &s = state();
  for (mxArray *e : a->elems)
    if (e) destroy(e);
  for (void *p : {a->re, a->im, static_cast<void *>(a->ir), static_cast<void *>(a->jc)})
    if (p && s.blocks.count(p)) free_block(p);
  s.arrays.erase(a);
  a->magic = 0;
  delete a;
}

static mxArray *duplicate(const mxArray *src) {
  mxArray *a = new_header(src->cls, static_cast<mwSize>(src->dims.size()), src->dims.data(), src->is_complex);
  a->is_sparse = src->is_sparse;
  a->class_name = src->class_name;
  a->fields = src->fields;
  auto copy = [&](void *from, mxArray *owner) -> void * {
    if (!from) return nullptr;
    std::size_t sz = state().blocks.at(from).size;
    void *to = alloc_block(sz, false, owner);
    std::memcpy(to, from, sz);
    return to;
  };
  a->re = copy(src->re, a);
  a->im = copy(src->im, a);
  a->ir = static_cast<mwIndex *>(copy(src->ir, a));
  a->jc = static_cast<mwIndex *>(copy(src->jc, a));
  a->nzmax = src->nzmax;
  a->elems.assign(src->elems.size(), nullptr);
  for (std::size_t i = 0; i < src->elems.size(); ++i) {
    if (src->elems[i]) {
      a->elems[i] = duplicate(src->elems[i]);
      a->elems[i]->parent = a;
    }
  }
  return a;
}

mxArray *duplicate_array(const mxArray *src) { return duplicate(checked(src)); }

// Adopt `p` as one of an array's blocks; the block it replaces stays with the call.
static void adopt(mxArray *a, void *&slot, void *p) {
  State &s = state();
  if (p == slot) return;
  if (slot) {
    auto it = s.blocks.find(slot);
    if (it != s.blocks.end()) {
      it->second.owner = nullptr;
      it->second.ctx = s.ctx();
      if (s.ctx() != 0) s.contexts.back().blocks.push_back(slot);
    }
  }
  if (p) {
    auto it = s.blocks.find(p);
    if (it == s.blocks.end()) fault("array data set to a block the host did not allocate");
    if (it->second.owner) fault("array data set to a block that belongs to another array");
    it->second.owner = a;
  }
  slot = p;
}

static void adopt_child(mxArray *parent, mxArray *&slot, mxArray *value) {
  if (value) {
    checked(value);
    if (value->parent) fault("array already belongs to a cell or struct");
    // A cell or struct placed inside itself would make a cycle that no
    // destruction ends.
    for (const mxArray *p = parent; p; p = p->parent)
      if (p == value) fault("a cell or struct placed inside itself");
    value->parent = parent;
  }
  if (slot) destroy(slot);
  slot = value;
}

}  // namespace gatebox::host::detail

using namespace gatebox::host::detail;

extern "C" {

bool mxIsFinite(double v) { return std::isfinite(v); }
bool mxIsInf(double v) { return std::isinf(v); }
bool mxIsNaN(double v) { return std::isnan(v); }
double mxGetEps(void) { return std::numeric_limits<double>::epsilon(); }
double mxGetInf(void) { return std::numeric_limits<double>::infinity(); }
double mxGetNaN(void) { return std::numeric_limits<double>::quiet_NaN(); }

mxArray *mxCreateNumericArray(mwSize ndims, const mwSize *dims, mxClassID cls, mxComplexity flag) {
  if (!is_numeric_class(cls)) raise("gatebox:host:badClass", "mxCreateNumericArray: class is not numeric.");
  return new_array(cls, ndims, dims, flag == mxCOMPLEX, true);
}
mxArray *mxCreateUninitNumericArray(mwSize ndims, const mwSize *dims, mxClassID cls, mxComplexity flag) {
  if (!is_numeric_class(cls)) raise("gatebox:host:badClass", "mxCreateUninitNumericArray: class is not numeric.");
  return new_array(cls, ndims, dims, flag == mxCOMPLEX, false);
}
mxArray *mxCreateNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity flag) {
  mwSize d[2] = {m, n};
  return mxCreateNumericArray(2, d, cls, flag);
}
mxArray *mxCreateUninitNumericMatrix(mwSize m, mwSize n, mxClassID cls, mxComplexity flag) {
  mwSize d[2] = {m, n};
  return mxCreateUninitNumericArray(2, d, cls, flag);
}
mxArray *mxCreateDoubleMatrix(mwSize m, mwSize n, mxComplexity flag) {
  return mxCreateNumericMatrix(m, n, mxDOUBLE_CLASS, flag);
}
mxArray *mxCreateDoubleScalar(double value) {
  mxArray *a = mxCreateDoubleMatrix(1, 1, mxREAL);
  *static_cast<double *>(a->re) = value;
  return a;
}
mxArray *mxCreateLogicalArray(mwSize ndims, const mwSize *dims) {
  return new_array(mxLOGICAL_CLASS, ndims, dims, false, true);
}
mxArray *mxCreateLogicalMatrix(mwSize m, mwSize n) {
  mwSize d[2] = {m, n};
  return mxCreateLogicalArray(2, d);
}
mxArray *mxCreateLogicalScalar(mxLogical value) {
  mxArray *a = mxCreateLogicalMatrix(1, 1);
  *static_cast<mxLogical *>(a->re) = value ? 1 : 0;
  return a;
}
mxArray *mxCreateCharArray(mwSize ndims, const mwSize *dims) {
  return new_array(mxCHAR_CLASS, ndims, dims, false, true);
}
mxArray *mxCreateString(const char *str) {
  if (!str) str = "";
  mwSize d[2] = {1, static_cast<mwSize>(std::strlen(str))};
  mxArray *a = mxCreateCharArray(2, d);
  for (mwSize i = 0; i < d[1]; ++i) static_cast<mxChar *>(a->re)[i] = static_cast<unsigned char>(str[i]);
  return a;
}
mxArray *mxCreateCellArray(mwSize ndims, const mwSize *dims) {
  return new_array(mxCELL_CLASS, ndims, dims, false, true);
}
mxArray *mxCreateCellMatrix(mwSize m, mwSize n) {
  mwSize d[2] = {m, n};
  return mxCreateCellArray(2, d);
}
mxArray *mxCreateStructArray(mwSize ndims, const mwSize *dims, int nfields, const char **names) {
  if (nfields > 0 && !names) raise("gatebox:host:badField", "mxCreateStructArray: field names missing.");
  for (int f = 0; f < nfields; ++f) {
    if (!names[f]) raise("gatebox:host:badField", "mxCreateStructArray: field name missing.");
    for (int g = 0; g < f; ++g)
      if (std::strcmp(names[f], names[g]) == 0)
        raise("gatebox:host:badField", std::string("mxCreateStructArray: duplicate field name '") + names[f] + "'.");
  }
  mxArray *a = new_array(mxSTRUCT_CLASS, ndims, dims, false, true);
  for (int f = 0; f < nfields; ++f) a->fields.emplace_back(names[f]);
  std::size_t n = count(a->dims);
  if (nfields > 0 && n > state().memory_limit / sizeof(mxArray *) / static_cast<std::size_t>(nfields)) {
    destroy(a);
    raise("gatebox:host:outOfMemory", "Out of memory: struct array too large.");
  }
  a->elems.assign(n * static_cast<std::size_t>(nfields), nullptr);
  return a;
}
mxArray *mxCreateStructMatrix(mwSize m, mwSize n, int nfields, const char **names) {
  mwSize d[2] = {m, n};
  return mxCreateStructArray(2, d, nfields, names);
}
static mxArray *create_sparse(mwSize m, mwSize n, mwSize nzmax, mxClassID cls, bool is_complex) {
  if (m < 0 || n < 0 || nzmax < 0) raise("gatebox:host:badDimension", "Sparse dimensions must not be negative.");
  if (nzmax == 0) nzmax = 1;
  mwSize d[2] = {m, n};
  mxArray *a = new_header(cls, 2, d, is_complex);
  a->is_sparse = true;
  std::size_t es = element_size(cls);
  // Sizes beyond size_t (32-bit builds) saturate, so they fail to allocate
  // instead of wrapping to a small block.
  const std::size_t nz = as_size(nzmax), cols = as_size(n);
  try {
    if (cols == SIZE_MAX) raise("gatebox:host:outOfMemory", "Out of memory: sparse column count overflows.");
    a->re = alloc_block(bytes_for(nz, es), true, a);
    a->im = a->is_complex ? alloc_block(bytes_for(nz, es), true, a) : nullptr;
    a->ir = static_cast<mwIndex *>(alloc_block(bytes_for(nz, sizeof(mwIndex)), true, a));
    a->jc = static_cast<mwIndex *>(alloc_block(bytes_for(cols + 1, sizeof(mwIndex)), true, a));
  } catch (...) {
    destroy(a);
    throw;
  }
  a->nzmax = nzmax;
  return a;
}
mxArray *mxCreateSparse(mwSize m, mwSize n, mwSize nzmax, mxComplexity flag) {
  return create_sparse(m, n, nzmax, mxDOUBLE_CLASS, flag == mxCOMPLEX);
}
mxArray *mxCreateSparseLogicalMatrix(mwSize m, mwSize n, mwSize nzmax) {
  return create_sparse(m, n, nzmax, mxLOGICAL_CLASS, false);
}
mxArray *mxDuplicateArray(const mxArray *array) { return duplicate_array(array); }

void mxDestroyArray(mxArray *array) {
  if (!array) return;
  mxArray *a = checked(array);
  if (a->parent) fault("mxDestroyArray of an array held by a cell or struct");
  for (auto &g : state().globals)
    if (g.second == a) fault("mxDestroyArray of a workspace variable");
  destroy(a);
}

mxClassID mxGetClassID(const mxArray *a) { return checked(a)->cls; }
const char *mxGetClassName(const mxArray *a) {
  static const char *const names[] = {"unknown", "cell",  "struct", "logical", "char",   "void",
                                      "double",  "single", "int8",  "uint8",   "int16",  "uint16",
                                      "int32",   "uint32", "int64", "uint64",  "function_handle"};
  mxClassID c = checked(a)->cls;
  return c <= mxFUNCTION_CLASS ? names[c] : "unknown";
}
bool mxIsClass(const mxArray *a, const char *name) { return name && std::strcmp(mxGetClassName(a), name) == 0; }
bool mxIsCell(const mxArray *a) { return checked(a)->cls == mxCELL_CLASS; }
bool mxIsChar(const mxArray *a) { return checked(a)->cls == mxCHAR_CLASS; }
bool mxIsComplex(const mxArray *a) { return checked(a)->is_complex; }
bool mxIsDouble(const mxArray *a) { return checked(a)->cls == mxDOUBLE_CLASS; }
bool mxIsFunctionHandle(const mxArray *a) { return checked(a)->cls == mxFUNCTION_CLASS; }
bool mxIsInt8(const mxArray *a) { return checked(a)->cls == mxINT8_CLASS; }
bool mxIsInt16(const mxArray *a) { return checked(a)->cls == mxINT16_CLASS; }
bool mxIsInt32(const mxArray *a) { return checked(a)->cls == mxINT32_CLASS; }
bool mxIsInt64(const mxArray *a) { return checked(a)->cls == mxINT64_CLASS; }
bool mxIsUint8(const mxArray *a) { return checked(a)->cls == mxUINT8_CLASS; }
bool mxIsUint16(const mxArray *a) { return checked(a)->cls == mxUINT16_CLASS; }
bool mxIsUint32(const mxArray *a) { return checked(a)->cls == mxUINT32_CLASS; }
bool mxIsUint64(const mxArray *a) { return checked(a)->cls == mxUINT64_CLASS; }
bool mxIsLogical(const mxArray *a) { return checked(a)->cls == mxLOGICAL_CLASS; }
bool mxIsNumeric(const mxArray *a) { return is_numeric_class(checked(a)->cls); }
bool mxIsSingle(const mxArray *a) { return checked(a)->cls == mxSINGLE_CLASS; }
bool mxIsSparse(const mxArray *a) { return checked(a)->is_sparse; }
bool mxIsStruct(const mxArray *a) { return checked(a)->cls == mxSTRUCT_CLASS; }
bool mxIsEmpty(const mxArray *a) { return count(checked(a)->dims) == 0; }
bool mxIsScalar(const mxArray *a) { return count(checked(a)->dims) == 1; }

size_t mxGetM(const mxArray *a) { return as_size(checked(a)->dims[0]); }
size_t mxGetN(const mxArray *a) {
  const auto &d = checked(a)->dims;
  std::size_t n = 1;
  for (std::size_t i = 1; i < d.size(); ++i) {
    std::size_t u = as_size(d[i]);
    if (u == 0) return 0;
    n = (n > SIZE_MAX / u) ? SIZE_MAX : n * u;
  }
  return n;
}
const mwSize *mxGetDimensions(const mxArray *a) { return checked(a)->dims.data(); }
mwSize mxGetNumberOfDimensions(const mxArray *a) { return static_cast<mwSize>(checked(a)->dims.size()); }
size_t mxGetNumberOfElements(const mxArray *a) { return count(checked(a)->dims); }
size_t mxGetElementSize(const mxArray *a) { return element_size(checked(a)->cls); }

// The setters record the shape only; the data blocks are left as they are.
void mxSetM(mxArray *array, mwSize m) {
  mxArray *a = checked(array);
  if (m < 0) raise("gatebox:host:badDimension", "mxSetM: dimension must not be negative.");
  a->dims[0] = m;
}
void mxSetN(mxArray *array, mwSize n) {
  mxArray *a = checked(array);
  if (n < 0) raise("gatebox:host:badDimension", "mxSetN: dimension must not be negative.");
  a->dims.resize(2);
  a->dims[1] = n;
}
int mxSetDimensions(mxArray *array, const mwSize *dims, mwSize ndims) {
  mxArray *a = checked(array);
  std::vector<mwSize> d = normalise(ndims, dims);
  if (a->is_sparse && d.size() > 2) raise("gatebox:host:badDimension", "mxSetDimensions: a sparse array has two dimensions.");
  a->dims = std::move(d);
  return 0;
}

// Asking for the numeric data of a function handle ends GNU Octave 7.3's
// session; the own host treats it as the fault it is.
static mxArray *with_data(const mxArray *array, const char *fn) {
  mxArray *a = checked(array);
  if (a->cls == mxFUNCTION_CLASS) fault(fn);
  return a;
}
double *mxGetPr(const mxArray *a) {
  mxArray *x = with_data(a, "mxGetPr of a function handle");
  return x->cls == mxCELL_CLASS || x->cls == mxSTRUCT_CLASS ? nullptr : static_cast<double *>(x->re);
}
double *mxGetPi(const mxArray *a) { return static_cast<double *>(with_data(a, "mxGetPi of a function handle")->im); }
void *mxGetData(const mxArray *a) {
  mxArray *x = with_data(a, "mxGetData of a function handle");
  return x->cls == mxCELL_CLASS || x->cls == mxSTRUCT_CLASS ? nullptr : x->re;
}
void *mxGetImagData(const mxArray *a) { return with_data(a, "mxGetImagData of a function handle")->im; }
mxLogical *mxGetLogicals(const mxArray *a) {
  mxArray *x = checked(a);
  return x->cls == mxLOGICAL_CLASS ? static_cast<mxLogical *>(x->re) : nullptr;
}
mxChar *mxGetChars(const mxArray *a) {
  mxArray *x = checked(a);
  return x->cls == mxCHAR_CLASS ? static_cast<mxChar *>(x->re) : nullptr;
}
double mxGetScalar(const mxArray *array) {
  mxArray *a = with_data(array, "mxGetScalar of a function handle");
  if (!a->re || count(a->dims) == 0) return 0.0;
  switch (a->cls) {
    case mxDOUBLE_CLASS: return *static_cast<double *>(a->re);
    case mxSINGLE_CLASS: return *static_cast<float *>(a->re);
    case mxINT8_CLASS: return *static_cast<int8_t *>(a->re);
    case mxUINT8_CLASS: case mxLOGICAL_CLASS: return *static_cast<uint8_t *>(a->re);
    case mxINT16_CLASS: return *static_cast<int16_t *>(a->re);
    case mxUINT16_CLASS: case mxCHAR_CLASS: return *static_cast<uint16_t *>(a->re);
    case mxINT32_CLASS: return *static_cast<int32_t *>(a->re);
    case mxUINT32_CLASS: return *static_cast<uint32_t *>(a->re);
    case mxINT64_CLASS: return static_cast<double>(*static_cast<int64_t *>(a->re));
    case mxUINT64_CLASS: return static_cast<double>(*static_cast<uint64_t *>(a->re));
    default: return 0.0;
  }
}
void mxSetPr(mxArray *a, double *pr) { mxSetData(a, pr); }
void mxSetPi(mxArray *a, double *pi) { mxSetImagData(a, pi); }
void mxSetData(mxArray *array, void *data) {
  mxArray *a = with_data(array, "mxSetData of a function handle");
  adopt(a, a->re, data);
}
void mxSetImagData(mxArray *array, void *data) {
  mxArray *a = with_data(array, "mxSetImagData of a function handle");
  adopt(a, a->im, data);
  a->is_complex = a->im != nullptr;
}

mxArray *mxGetCell(const mxArray *array, mwIndex i) {
  mxArray *a = checked(array);
  if (a->cls != mxCELL_CLASS || i < 0 || as_size(i) >= a->elems.size()) return nullptr;
  return a->elems[as_size(i)];
}
void mxSetCell(mxArray *array, mwIndex i, mxArray *value) {
  mxArray *a = checked(array);
  if (a->cls != mxCELL_CLASS || i < 0 || as_size(i) >= a->elems.size())
    raise("gatebox:host:badIndex", "mxSetCell: index out of range.");
  adopt_child(a, a->elems[as_size(i)], value);
}
int mxGetNumberOfFields(const mxArray *a) { return static_cast<int>(checked(a)->fields.size()); }
const char *mxGetFieldNameByNumber(const mxArray *array, int f) {
  mxArray *a = checked(array);
  return f >= 0 && static_cast<std::size_t>(f) < a->fields.size() ? a->fields[static_cast<std::size_t>(f)].c_str() : nullptr;
}
int mxGetFieldNumber(const mxArray *array, const char *name) {
  mxArray *a = checked(array);
  for (std::size_t f = 0; f < a->fields.size(); ++f)
    if (name && a->fields[f] == name) return static_cast<int>(f);
  return -1;
}
// Element i of a struct, bounded by the elements stored: the shape setters
// change the dimensions only, so they may claim more elements than exist.
static std::size_t struct_elements(const mxArray *a) {
  return a->fields.empty() ? count(a->dims) : a->elems.size() / a->fields.size();
}
static mxArray **field_slot(mxArray *a, mwIndex i, int f) {
  std::size_t nf = a->fields.size();
  if (a->cls != mxSTRUCT_CLASS || f < 0 || static_cast<std::size_t>(f) >= nf || i < 0 ||
      as_size(i) >= struct_elements(a))
    return nullptr;
  return &a->elems[as_size(i) * nf + static_cast<std::size_t>(f)];
}
mxArray *mxGetFieldByNumber(const mxArray *array, mwIndex i, int f) {
  mxArray **slot = field_slot(checked(array), i, f);
  return slot ? *slot : nullptr;
}
mxArray *mxGetField(const mxArray *array, mwIndex i, const char *name) {
  return mxGetFieldByNumber(array, i, mxGetFieldNumber(array, name));
}
void mxSetFieldByNumber(mxArray *array, mwIndex i, int f, mxArray *value) {
  mxArray *a = checked(array);
  mxArray **slot = field_slot(a, i, f);
  if (!slot) raise("gatebox:host:badIndex", "mxSetFieldByNumber: index or field out of range.");
  adopt_child(a, *slot, value);
}
void mxSetField(mxArray *array, mwIndex i, const char *name, mxArray *value) {
  mxSetFieldByNumber(array, i, mxGetFieldNumber(array, name), value);
}
int mxAddField(mxArray *array, const char *name) {
  mxArray *a = checked(array);
  if (a->cls != mxSTRUCT_CLASS || !name) return -1;
  int existing = mxGetFieldNumber(a, name);
  if (existing >= 0) return existing;  // a second field of one name could never be read
  std::size_t n = struct_elements(a), nf = a->fields.size();
  if (n > state().memory_limit / sizeof(mxArray *) / (nf + 1)) return -1;  // as when out of memory
  std::vector<mxArray *> e(n * (nf + 1), nullptr);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t f = 0; f < nf; ++f) e[i * (nf + 1) + f] = a->elems[i * nf + f];
  a->elems.swap(e);
  a->fields.emplace_back(name);
  return static_cast<int>(nf);
}

mwIndex *mxGetIr(const mxArray *a) { return checked(a)->ir; }
mwIndex *mxGetJc(const mxArray *a) { return checked(a)->jc; }
mwSize mxGetNzmax(const mxArray *a) { return checked(a)->nzmax; }

// Characters of a char array, bounded by its data block: the shape setters
// change the dimensions only, so they may claim more characters than exist.
static std::size_t stored_chars(const mxArray *a) {
  std::size_t n = count(a->dims);
  if (!a->re) return 0;
  auto it = state().blocks.find(a->re);
  std::size_t held = it == state().blocks.end() ? 0 : it->second.size / sizeof(mxChar);
  return n < held ? n : held;
}
int mxGetString(const mxArray *array, char *buf, mwSize buflen) {
  mxArray *a = checked(array);
  if (a->cls != mxCHAR_CLASS || !buf || buflen <= 0) return 1;
  std::size_t n = stored_chars(a), cap = static_cast<std::size_t>(buflen) - 1;
  std::size_t k = n < cap ? n : cap;
  for (std::size_t i = 0; i < k; ++i) buf[i] = static_cast<char>(static_cast<mxChar *>(a->re)[i]);
  buf[k] = '\0';
  return k < n ? 1 : 0;
}
char *mxArrayToString(const mxArray *array) {
  mxArray *a = checked(array);
  if (a->cls != mxCHAR_CLASS) return nullptr;
  std::size_t n = stored_chars(a);
  char *s = static_cast<char *>(mxMalloc(n + 1));
  mxGetString(a, s, static_cast<mwSize>(n + 1));
  return s;
}

}  // extern "C"
