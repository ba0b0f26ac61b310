// The byte format of argument_decoder.hpp: decoding into host arrays, the
// seed encoder, descriptions and snapshots of arrays.
#include "argument_decoder.hpp"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace gatebox::fuzz {

// Values that sit on the edges of the gateways' arithmetic: signed zeros,
// NaN and the infinities, the extremes of double, 32-bit and 53-bit integer
// boundaries, truncation cases (2.9, -0.5, -1.7), the factorial-table and
// overflow borders of the gamma function, and small whole counts.
const std::vector<double> kSpecialValues = {
    0.0, -0.0, 1, -1, 2, 3, 0.5, -0.5, NAN, INFINITY, -INFINITY, 2.9, -1.7, 10.7, 7.9, 0.25,
    0.75, 4, 5, 6, 7, 12, 100, DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 1e-300, 1e-309,
    2147483647.0, 2147483648.0, -2147483648.0, -2147483649.0, 4294967295.0, 4294967296.0,
    9007199254740992.0, 9223372036854775808.0, 1e10, 23, 24, 171.6, 171.7, -200.5, -7, 1e6,
    2.22e-16, 0.999999, 1.5, -2, 8, 65536, 1e300, 0.1, 0.9, 46341, -INFINITY};

const std::vector<std::uint64_t> kHugeSizes = {
    128, 255, 256, 1000, 4096, 65535, 65536, 2147483647ull, 2147483648ull, 4294967295ull,
    4294967296ull, 4294967297ull, 8589934592ull, 1ull << 40, 1ull << 53, 1ull << 62,
    9223372036854775807ull};

namespace {

class Reader {
 public:
  Reader(const std::uint8_t *p, std::size_t n) : p_(p), n_(n) {}
  std::uint8_t byte() { return pos_ < n_ ? p_[pos_++] : 0; }
  double raw() {
    std::uint8_t b[8];
    for (auto &x : b) x = byte();
    double v;
    std::memcpy(&v, b, sizeof v);
    return v;
  }

 private:
  const std::uint8_t *p_;
  std::size_t n_, pos_ = 0;
};

double value(Reader &r) {
  std::uint8_t c = r.byte();
  if (c >= kRawValue) return r.raw();
  return kSpecialValues[c % kSpecialValues.size()];
}

std::vector<double> value_list(Reader &r) {
  std::size_t n = static_cast<std::size_t>(r.byte()) + 1;
  std::vector<double> v(n);
  for (double &x : v) x = value(r);
  return v;
}

std::uint64_t dimension(Reader &r) {
  std::uint8_t b = r.byte();
  return b < 128 ? b : kHugeSizes[(b - 128u) % kHugeSizes.size()];
}

// Shapes a host can hold: nonzero dimensions multiply to less than 2^63;
// dense contents stay small by emptying the last dimension.
std::vector<mwSize> shape(Reader &r, int nd, std::size_t cap) {
  std::vector<std::uint64_t> d(static_cast<std::size_t>(nd));
  for (auto &x : d) x = dimension(r);
  unsigned __int128 nonzero = 1;
  for (auto &x : d) {
    if (x == 0) continue;
    if (nonzero * x >= (static_cast<unsigned __int128>(1) << 63)) x = 1;
    nonzero *= x;
  }
  bool empty = false;
  for (auto x : d) empty = empty || x == 0;
  if (!empty && nonzero > cap) d.back() = 0;
  return std::vector<mwSize>(d.begin(), d.end());
}

std::size_t elements(const std::vector<mwSize> &d) {
  std::size_t n = 1;
  for (mwSize x : d) n *= static_cast<std::size_t>(x);  // callers keep this small or 0
  for (mwSize x : d)
    if (x == 0) return 0;
  return n;
}

template <typename T>
T convert(double x) {
  if constexpr (std::is_integral_v<T>) {
    // Saturating conversion with rounding, as the host language converts.
    if (std::isnan(x)) return 0;
    x = std::round(x);
    if (x <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (x >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(x);
  } else {
    return static_cast<T>(x);
  }
}

template <typename T>
void fill(void *block, std::size_t n, const std::vector<double> &v) {
  T *p = static_cast<T *>(block);
  for (std::size_t i = 0; i < n; ++i) p[i] = convert<T>(v[i % v.size()]);
}

void fill_class(mxClassID c, void *block, std::size_t n, const std::vector<double> &v) {
  if (!block || n == 0) return;
  switch (c) {
    case mxDOUBLE_CLASS: fill<double>(block, n, v); break;
    case mxSINGLE_CLASS: fill<float>(block, n, v); break;
    case mxINT8_CLASS: fill<std::int8_t>(block, n, v); break;
    case mxUINT8_CLASS: fill<std::uint8_t>(block, n, v); break;
    case mxINT16_CLASS: fill<std::int16_t>(block, n, v); break;
    case mxUINT16_CLASS: case mxCHAR_CLASS: fill<std::uint16_t>(block, n, v); break;
    case mxINT32_CLASS: fill<std::int32_t>(block, n, v); break;
    case mxUINT32_CLASS: fill<std::uint32_t>(block, n, v); break;
    case mxINT64_CLASS: fill<std::int64_t>(block, n, v); break;
    case mxUINT64_CLASS: fill<std::uint64_t>(block, n, v); break;
    case mxLOGICAL_CLASS: {
      auto *p = static_cast<mxLogical *>(block);
      for (std::size_t i = 0; i < n; ++i) p[i] = v[i % v.size()] != 0;
      break;
    }
    default: break;
  }
}

const mxClassID kNumericClass[] = {mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS,  mxUINT8_CLASS,
                                   mxINT16_CLASS,  mxUINT16_CLASS, mxINT32_CLASS, mxUINT32_CLASS,
                                   mxINT64_CLASS,  mxUINT64_CLASS};

// A sparse matrix: any number of rows, at most kMaxElements columns; the
// value list fills the leading rows of every column (zeros stay implicit).
mxArray *make_sparse(Reader &r, bool logical, bool cplx, mwSize m, mwSize n) {
  std::vector<double> re = value_list(r);
  std::vector<double> im = cplx ? value_list(r) : std::vector<double>{0};
  std::size_t cols = static_cast<std::size_t>(n);
  std::size_t rows_used = cols ? std::min<std::size_t>(static_cast<std::size_t>(m), kMaxElements / cols) : 0;
  std::vector<mwIndex> ir, jc{0};
  std::vector<double> pr, pi;
  for (std::size_t j = 0, t = 0; j < cols; ++j) {
    for (std::size_t i = 0; i < rows_used; ++i, ++t) {
      double a = re[t % re.size()], b = im[t % im.size()];
      if (a != 0 || b != 0) {
        ir.push_back(static_cast<mwIndex>(i));
        pr.push_back(a);
        pi.push_back(b);
      }
    }
    jc.push_back(static_cast<mwIndex>(ir.size()));
  }
  mwSize nz = static_cast<mwSize>(ir.size());
  mxArray *a = logical ? mxCreateSparseLogicalMatrix(m, n, nz) : mxCreateSparse(m, n, nz, cplx ? mxCOMPLEX : mxREAL);
  if (!ir.empty()) std::memcpy(mxGetIr(a), ir.data(), ir.size() * sizeof(mwIndex));
  std::memcpy(mxGetJc(a), jc.data(), jc.size() * sizeof(mwIndex));
  if (logical) {
    auto *p = static_cast<mxLogical *>(mxGetData(a));
    for (std::size_t k = 0; k < pr.size(); ++k) p[k] = 1;
  } else {
    if (!pr.empty()) std::memcpy(mxGetPr(a), pr.data(), pr.size() * sizeof(double));
    if (cplx && !pi.empty()) std::memcpy(mxGetPi(a), pi.data(), pi.size() * sizeof(double));
  }
  return a;
}

mxArray *make(Reader &r, int depth) {
  std::uint8_t kb = r.byte();
  unsigned k = kb & 0x1F;
  bool cplx = (kb & kComplexBit) != 0;
  if (k >= kKinds) k = kDouble;
  if ((k == kCell || k == kStruct) && depth >= kMaxDepth) k = kDouble;
  if (k == kFunctionHandle) return host::function_handle().release();
  int nd = 2 + r.byte() % 4;
  if (k == kSparse || k == kSparseLogical) nd = 2;
  bool container = k == kCell || k == kStruct;
  bool sparse = k == kSparse || k == kSparseLogical;
  std::vector<mwSize> d = shape(r, nd, container ? kMaxContainer : sparse ? SIZE_MAX : kMaxElements);
  if (sparse) {
    if (static_cast<std::uint64_t>(d[1]) > kMaxElements) d[1] = 0;  // the column starts must fit
    return make_sparse(r, k == kSparseLogical, cplx && k == kSparse, d[0], d[1]);
  }
  std::size_t n = elements(d);
  if (container) {
    int nfields = k == kStruct ? r.byte() % 3 : 0;
    const char *names[] = {"a", "b"};
    mxArray *a = k == kCell ? mxCreateCellArray(static_cast<mwSize>(d.size()), d.data())
                            : mxCreateStructArray(static_cast<mwSize>(d.size()), d.data(), nfields, names);
    host::Array guard(a);
    int filled = r.byte() % 4;
    for (int f = 0; f < filled; ++f) {
      std::uint8_t where = r.byte();
      mxArray *child = make(r, depth + 1);
      if (n == 0 || (k == kStruct && nfields == 0)) {
        mxDestroyArray(child);
        continue;
      }
      mwIndex i = static_cast<mwIndex>(where % n);
      if (k == kCell) mxSetCell(a, i, child);
      else mxSetFieldByNumber(a, i, (where >> 6) % nfields, child);
    }
    return guard.release();
  }
  if (k == kLogical || k == kChar) {
    mxArray *a = k == kLogical ? mxCreateLogicalArray(static_cast<mwSize>(d.size()), d.data())
                               : mxCreateCharArray(static_cast<mwSize>(d.size()), d.data());
    fill_class(mxGetClassID(a), mxGetData(a), n, value_list(r));
    return a;
  }
  mxClassID c = kNumericClass[k];
  mxArray *a = mxCreateNumericArray(static_cast<mwSize>(d.size()), d.data(), c, cplx ? mxCOMPLEX : mxREAL);
  fill_class(c, mxGetData(a), n, value_list(r));
  if (cplx) fill_class(c, mxGetImagData(a), n, value_list(r));
  return a;
}

}  // namespace

bool decode(const std::uint8_t *data, std::size_t size, ArgumentList &call) {
  Reader r(data, size);
  std::uint8_t h = r.byte();
  call.nlhs = h & 3;
  int nrhs = (h >> 2) & 7;
  bool flop = (h & 0x20) != 0, alias = (h & 0x40) != 0 && nrhs >= 2;
  try {
    if (flop) call.flopcount = host::Array(make(r, 0));
    for (int i = 0; i < nrhs; ++i) {
      if (alias && i == nrhs - 1) {
        call.inputs.push_back(call.inputs.front());
        break;
      }
      call.owned.emplace_back(make(r, 0));
      call.inputs.push_back(call.owned.back().get());
    }
  } catch (const std::exception &) {
    return false;  // the host refused to build an argument (none of the shapes above should)
  }
  return true;
}

// ---- Descriptions and snapshots ----------------------------------------------

std::string describe(const mxArray *a) {
  if (!a) return "(null)";
  std::ostringstream s;
  s << mxGetClassName(a) << (mxIsComplex(a) ? " complex" : "") << (mxIsSparse(a) ? " sparse" : "") << " ";
  const mwSize *d = mxGetDimensions(a);
  for (mwSize i = 0; i < mxGetNumberOfDimensions(a); ++i) s << (i ? "x" : "") << d[i];
  if (mxIsDouble(a) && !mxIsSparse(a) && mxGetNumberOfElements(a) > 0) {
    const double *p = mxGetPr(a);
    s << " [";
    for (std::size_t i = 0; i < std::min<std::size_t>(mxGetNumberOfElements(a), 6); ++i) s << (i ? " " : "") << p[i];
    s << (mxGetNumberOfElements(a) > 6 ? " ...]" : "]");
  }
  return s.str();
}

namespace {
void put(std::vector<std::uint8_t> &out, const void *p, std::size_t n) {
  const auto *b = static_cast<const std::uint8_t *>(p);
  out.insert(out.end(), b, b + n);
}
}  // namespace

std::vector<std::uint8_t> snapshot(const mxArray *a) {
  std::vector<std::uint8_t> out;
  mxClassID c = mxGetClassID(a);
  put(out, &c, sizeof c);
  mwSize nd = mxGetNumberOfDimensions(a);
  put(out, mxGetDimensions(a), static_cast<std::size_t>(nd) * sizeof(mwSize));
  if (c == mxFUNCTION_CLASS) return out;
  if (c == mxCELL_CLASS || c == mxSTRUCT_CLASS) {
    std::size_t n = mxGetNumberOfElements(a);
    int nf = c == mxSTRUCT_CLASS ? mxGetNumberOfFields(a) : 1;
    for (std::size_t i = 0; i < n; ++i)
      for (int f = 0; f < nf; ++f) {
        const mxArray *e = c == mxCELL_CLASS ? mxGetCell(a, static_cast<mwIndex>(i))
                                             : mxGetFieldByNumber(a, static_cast<mwIndex>(i), f);
        put(out, &e, sizeof e);
        if (e) {
          std::vector<std::uint8_t> inner = snapshot(e);
          out.insert(out.end(), inner.begin(), inner.end());
        }
      }
    return out;
  }
  const void *re = mxGetData(a), *im = mxGetImagData(a);
  put(out, &re, sizeof re);
  put(out, &im, sizeof im);
  std::size_t es = mxGetElementSize(a);
  if (mxIsSparse(a)) {
    std::size_t n = mxGetN(a), nz = static_cast<std::size_t>(mxGetJc(a)[n]);
    put(out, mxGetJc(a), (n + 1) * sizeof(mwIndex));
    if (nz) put(out, mxGetIr(a), nz * sizeof(mwIndex));
    if (nz && re) put(out, re, nz * es);
    if (nz && im) put(out, im, nz * es);
    return out;
  }
  std::size_t bytes = mxGetNumberOfElements(a) * es;
  if (re) put(out, re, bytes);
  if (im) put(out, im, bytes);
  return out;
}

// ---- Seeds ------------------------------------------------------------------

Plan scalar(double v) { return real({1, 1}, {v}); }
Plan real(std::vector<std::uint64_t> dims, std::vector<double> values) { return of(kDouble, std::move(dims), std::move(values)); }
Plan of(Kind k, std::vector<std::uint64_t> dims, std::vector<double> values) {
  Plan s;
  s.kind = k;
  s.dims = std::move(dims);
  s.re = std::move(values);
  if (s.re.empty()) s.re = {0};
  return s;
}

namespace {

void put_value(std::vector<std::uint8_t> &out, double v) {
  for (std::size_t i = 0; i < kSpecialValues.size(); ++i)
    if (std::memcmp(&kSpecialValues[i], &v, sizeof v) == 0) {
      out.push_back(static_cast<std::uint8_t>(i));
      return;
    }
  out.push_back(kRawValue);
  put(out, &v, sizeof v);
}

void put_list(std::vector<std::uint8_t> &out, const std::vector<double> &v) {
  if (v.empty() || v.size() > 256) throw std::invalid_argument("encode: a value list holds 1 to 256 values");
  out.push_back(static_cast<std::uint8_t>(v.size() - 1));
  for (double x : v) put_value(out, x);
}

void put_dim(std::vector<std::uint8_t> &out, std::uint64_t d) {
  if (d < 128) {
    out.push_back(static_cast<std::uint8_t>(d));
    return;
  }
  for (std::size_t i = 0; i < kHugeSizes.size(); ++i)
    if (kHugeSizes[i] == d) {
      out.push_back(static_cast<std::uint8_t>(128 + i));
      return;
    }
  throw std::invalid_argument("encode: dimension " + std::to_string(d) + " has no code");
}

void put_array(std::vector<std::uint8_t> &out, const Plan &s) {
  out.push_back(static_cast<std::uint8_t>(s.kind | (s.complex ? kComplexBit : 0)));
  if (s.kind == kFunctionHandle) return;
  if (s.dims.size() < 2 || s.dims.size() > 5) throw std::invalid_argument("encode: 2 to 5 dimensions");
  out.push_back(static_cast<std::uint8_t>(s.dims.size() - 2));
  for (std::uint64_t d : s.dims) put_dim(out, d);
  if (s.kind == kCell || s.kind == kStruct) {
    if (s.kind == kStruct) out.push_back(static_cast<std::uint8_t>(s.fields));
    if (s.elems.size() > 3) throw std::invalid_argument("encode: at most three filled elements");
    out.push_back(static_cast<std::uint8_t>(s.elems.size()));
    for (const auto &e : s.elems) {
      out.push_back(e.first);
      put_array(out, e.second);
    }
    return;
  }
  put_list(out, s.re);
  if (s.complex && s.kind != kLogical && s.kind != kChar && s.kind != kSparseLogical) put_list(out, s.im.empty() ? std::vector<double>{0} : s.im);
}

}  // namespace

std::vector<std::uint8_t> encode(const CallPlan &call) {
  std::vector<std::uint8_t> out;
  if (call.inputs.size() > 7 || call.nlhs < 0 || call.nlhs > 3) throw std::invalid_argument("encode: 0-7 inputs, 0-3 outputs");
  out.push_back(static_cast<std::uint8_t>(call.nlhs | (call.inputs.size() << 2) | (call.has_flopcount ? 0x20 : 0) |
                                          (call.alias_first ? 0x40 : 0)));
  if (call.has_flopcount) put_array(out, call.flopcount);
  for (std::size_t i = 0; i < call.inputs.size(); ++i) {
    if (call.alias_first && i + 1 == call.inputs.size() && i > 0) break;
    put_array(out, call.inputs[i]);
  }
  return out;
}

}  // namespace gatebox::fuzz
