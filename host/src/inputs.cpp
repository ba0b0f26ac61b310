// Constructors for the inputs of a call, of every class and shape, and
// readers of the arrays a call hands back.
#include "gatebox/host.hpp"
#include "state.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>

namespace gatebox::host {

void ArrayDeleter::operator()(mxArray *a) const noexcept { mxDestroyArray(a); }

static Array make(mxArray *a) { return Array(a); }

Array scalar(double v) { return make(mxCreateDoubleScalar(v)); }

Array doubles(std::vector<mwSize> d, const std::vector<double> &v) {
  Array a = make(mxCreateNumericArray(static_cast<mwSize>(d.size()), d.data(), mxDOUBLE_CLASS, mxREAL));
  std::size_t n = mxGetNumberOfElements(a.get());
  if (!v.empty()) {
    if (v.size() != n) throw std::invalid_argument("doubles: value count does not match dimensions");
    std::memcpy(mxGetPr(a.get()), v.data(), n * sizeof(double));
  }
  return a;
}

Array matrix(std::initializer_list<std::initializer_list<double>> rows) {
  mwSize m = static_cast<mwSize>(rows.size());
  mwSize n = m ? static_cast<mwSize>(rows.begin()->size()) : 0;
  Array a = make(mxCreateDoubleMatrix(m, n, mxREAL));
  double *p = mxGetPr(a.get());
  mwSize i = 0;
  for (const auto &r : rows) {
    if (static_cast<mwSize>(r.size()) != n) throw std::invalid_argument("matrix: ragged rows");
    mwSize j = 0;
    for (double x : r) p[i + m * j++] = x;
    ++i;
  }
  return a;
}

Array row(const std::vector<double> &v) { return doubles({1, static_cast<mwSize>(v.size())}, v); }
Array column(const std::vector<double> &v) { return doubles({static_cast<mwSize>(v.size()), 1}, v); }

Array complex(std::vector<mwSize> d, const std::vector<double> &re, const std::vector<double> &im) {
  Array a = make(mxCreateNumericArray(static_cast<mwSize>(d.size()), d.data(), mxDOUBLE_CLASS, mxCOMPLEX));
  std::size_t n = mxGetNumberOfElements(a.get());
  if (re.size() != n || im.size() != n) throw std::invalid_argument("complex: value count does not match dimensions");
  if (n) {
    std::memcpy(mxGetPr(a.get()), re.data(), n * sizeof(double));
    std::memcpy(mxGetPi(a.get()), im.data(), n * sizeof(double));
  }
  return a;
}

template <typename T>
static void store(void *block, const std::vector<double> &v) {
  T *p = static_cast<T *>(block);
  for (std::size_t i = 0; i < v.size(); ++i) {
    double x = v[i];
    if constexpr (std::is_integral_v<T>) {
      // Saturating conversion with rounding, as the host language converts.
      if (std::isnan(x)) x = 0;
      x = std::round(x);
      if (x <= static_cast<double>(std::numeric_limits<T>::min())) p[i] = std::numeric_limits<T>::min();
      else if (x >= static_cast<double>(std::numeric_limits<T>::max())) p[i] = std::numeric_limits<T>::max();
      else p[i] = static_cast<T>(x);
    } else {
      p[i] = static_cast<T>(x);
    }
  }
}

static void store_class(mxClassID cls, void *block, const std::vector<double> &v) {
  switch (cls) {
    case mxDOUBLE_CLASS: store<double>(block, v); break;
    case mxSINGLE_CLASS: store<float>(block, v); break;
    case mxINT8_CLASS: store<int8_t>(block, v); break;
    case mxUINT8_CLASS: store<uint8_t>(block, v); break;
    case mxINT16_CLASS: store<int16_t>(block, v); break;
    case mxUINT16_CLASS: store<uint16_t>(block, v); break;
    case mxINT32_CLASS: store<int32_t>(block, v); break;
    case mxUINT32_CLASS: store<uint32_t>(block, v); break;
    case mxINT64_CLASS: store<int64_t>(block, v); break;
    case mxUINT64_CLASS: store<uint64_t>(block, v); break;
    default: throw std::invalid_argument("numeric: class is not numeric");
  }
}

Array numeric(mxClassID cls, std::vector<mwSize> d, const std::vector<double> &v, bool is_complex) {
  Array a = make(mxCreateNumericArray(static_cast<mwSize>(d.size()), d.data(), cls, is_complex ? mxCOMPLEX : mxREAL));
  if (!v.empty()) {
    if (v.size() != mxGetNumberOfElements(a.get())) throw std::invalid_argument("numeric: value count does not match dimensions");
    store_class(cls, mxGetData(a.get()), v);
  }
  return a;
}

Array logical(std::vector<mwSize> d, const std::vector<bool> &v) {
  Array a = make(mxCreateLogicalArray(static_cast<mwSize>(d.size()), d.data()));
  if (!v.empty()) {
    if (v.size() != mxGetNumberOfElements(a.get())) throw std::invalid_argument("logical: value count does not match dimensions");
    for (std::size_t i = 0; i < v.size(); ++i) mxGetLogicals(a.get())[i] = v[i] ? 1 : 0;
  }
  return a;
}

Array text(const std::string &s) { return make(mxCreateString(s.c_str())); }

Array cell(std::vector<mwSize> d) { return make(mxCreateCellArray(static_cast<mwSize>(d.size()), d.data())); }

Array structure(std::vector<mwSize> d, const std::vector<std::string> &fields) {
  std::vector<const char *> names;
  for (const auto &f : fields) names.push_back(f.c_str());
  return make(mxCreateStructArray(static_cast<mwSize>(d.size()), d.data(), static_cast<int>(names.size()), names.data()));
}

Array sparse(mwSize m, mwSize n, const std::vector<double> &dense) {
  std::size_t nnz = 0;
  for (double x : dense) nnz += x != 0.0;
  if (!dense.empty() && dense.size() != static_cast<std::size_t>(m * n)) throw std::invalid_argument("sparse: value count does not match dimensions");
  Array a = make(mxCreateSparse(m, n, static_cast<mwSize>(nnz), mxREAL));
  double *pr = mxGetPr(a.get());
  mwIndex *ir = mxGetIr(a.get()), *jc = mxGetJc(a.get());
  mwIndex k = 0;
  for (mwSize j = 0; j < n; ++j) {
    jc[j] = k;
    for (mwSize i = 0; !dense.empty() && i < m; ++i) {
      double x = dense[static_cast<std::size_t>(i + j * m)];
      if (x != 0.0) {
        pr[k] = x;
        ir[k++] = i;
      }
    }
  }
  jc[n] = k;
  return a;
}

Array function_handle() {
  mwSize d[2] = {1, 1};
  mxArray *a = detail::new_array(mxFUNCTION_CLASS, 2, d, false, true);
  a->class_name = "function_handle";
  return make(a);
}

std::vector<mwSize> dims(const mxArray *a) {
  const mwSize *d = mxGetDimensions(a);
  return std::vector<mwSize>(d, d + mxGetNumberOfDimensions(a));
}

std::vector<double> values(const mxArray *a) {
  if (!mxIsDouble(a) || mxIsSparse(a)) throw std::invalid_argument("values: not a full double array");
  const double *p = mxGetPr(a);
  std::size_t n = mxGetNumberOfElements(a);
  return p ? std::vector<double>(p, p + n) : std::vector<double>(n, 0.0);
}

std::vector<double> imag_values(const mxArray *a) {
  if (!mxIsDouble(a) || mxIsSparse(a)) throw std::invalid_argument("imag_values: not a full double array");
  const double *p = mxGetPi(a);
  std::size_t n = mxGetNumberOfElements(a);
  return p ? std::vector<double>(p, p + n) : std::vector<double>(n, 0.0);
}

}  // namespace gatebox::host
