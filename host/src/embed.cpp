// The embedding side of the own host: the loader, the call boundary and
// constructors for inputs of every class.
#include "gatebox/host.hpp"
#include "state.hpp"

#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifndef GATEBOX_BUILD_DIR
#define GATEBOX_BUILD_DIR "."
#endif

namespace gatebox::host {

using detail::HostError;
using detail::state;

void ArrayDeleter::operator()(mxArray *a) const noexcept { mxDestroyArray(a); }

// ---- Loader -------------------------------------------------------------

using EntryFn = void (*)(int, mxArray **, int, const mxArray **);
using ByRefEntryFn = void (*)(int *, mxArray **, int *, const mxArray **);
using VersionFn = const char *(*)();

static void *lib_open(const std::string &path) {
#if defined(_WIN32)
  return reinterpret_cast<void *>(LoadLibraryA(path.c_str()));
#else
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}
static void *lib_symbol(void *h, const char *name) {
#if defined(_WIN32)
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(h), name));
#else
  return dlsym(h, name);
#endif
}
static void lib_close(void *h) {
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(h));
#else
  dlclose(h);
#endif
}
static std::string lib_error() {
#if defined(_WIN32)
  return "LoadLibrary failed with code " + std::to_string(GetLastError());
#else
  const char *e = dlerror();
  return e ? e : "unknown error";
#endif
}

Gateway::Gateway(std::string path) : path_(std::move(path)) {
  std::size_t slash = path_.find_last_of("/\\");
  name_ = path_.substr(slash == std::string::npos ? 0 : slash + 1);
  name_ = name_.substr(0, name_.find('.'));
  open();
}

Gateway::~Gateway() { close(); }

void Gateway::open() {
  handle_ = lib_open(path_);
  if (!handle_) throw std::runtime_error("cannot load gateway " + path_ + ": " + lib_error());
  entry_ = lib_symbol(handle_, "mexFunction");
  by_reference_ = false;
#if defined(_WIN32)
  if (!entry_) entry_ = lib_symbol(handle_, "_mexFunction");
#endif
  if (!entry_) {
    entry_ = lib_symbol(handle_, "mexfunction_");
#if defined(_WIN32)
    if (!entry_) entry_ = lib_symbol(handle_, "_mexfunction_");
#endif
    by_reference_ = entry_ != nullptr;
  }
  if (!entry_) {
    close();
    throw std::runtime_error("gateway " + path_ + " has no entry point");
  }
}

void Gateway::close() {
  if (handle_) lib_close(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
}

void Gateway::reload() {
  close();
  open();
}

std::string Gateway::version() const {
  auto fn = reinterpret_cast<VersionFn>(lib_symbol(handle_, "mexVersion"));
  if (fn) return fn();
#if defined(_WIN32)
  // Windows gateway libraries name their host release in string resource 100.
  char text[256];
  int n = LoadStringA(static_cast<HMODULE>(handle_), 100, text, static_cast<int>(sizeof text));
  if (n > 0) return std::string(text, static_cast<std::size_t>(n));
#endif
  return "";
}

#if defined(_WIN32)
// The build directory as Windows sees it: the parent of the directory that
// holds this DLL (<build>/bin/libgateboxhost.dll).  A cross build knows its
// directory only as a path of the build machine, which need not be valid here.
static std::string build_dir() {
  HMODULE self = nullptr;
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&build_dir), &self)) {
    std::vector<char> path(32768);
    DWORD n = GetModuleFileNameA(self, path.data(), static_cast<DWORD>(path.size()));
    std::string p(path.data(), n < path.size() ? n : 0);
    for (int up = 0; up < 2 && !p.empty(); ++up) {
      std::size_t slash = p.find_last_of("/\\");
      p = slash == std::string::npos ? std::string() : p.substr(0, slash);
    }
    if (!p.empty()) return p;
  }
  return GATEBOX_BUILD_DIR;
}
#else
static std::string build_dir() { return GATEBOX_BUILD_DIR; }
#endif

std::string gateway_path(const std::string &name, const std::string &subdir) {
  std::string dir = build_dir() + "/host/";
  if (!subdir.empty()) dir += subdir + "/";
#if defined(_WIN32)
  return dir + name + (sizeof(void *) == 8 ? ".mexw64" : ".mexw32");
#else
  return dir + name + ".mex";
#endif
}

// ---- The call boundary ----------------------------------------------------

CallResult Gateway::call(int nlhs, const std::vector<const mxArray *> &inputs) {
  detail::State &s = state();
  for (const mxArray *a : inputs) detail::checked(a);
  CallResult result;
  std::size_t slots = nlhs > 1 ? static_cast<std::size_t>(nlhs) : 1;
  std::vector<mxArray *> plhs(slots, nullptr);
  std::vector<const mxArray *> prhs(inputs);
  prhs.push_back(nullptr);  // never read by a correct gateway; keeps data() valid when empty
  s.printed.clear();
  s.contexts.emplace_back();
  s.contexts.back().function_name = name_;
  int nrhs = static_cast<int>(inputs.size());
  try {
    if (by_reference_) {
      int l = nlhs, r = nrhs;
      reinterpret_cast<ByRefEntryFn>(entry_)(&l, plhs.data(), &r, prhs.data());
    } else {
      reinterpret_cast<EntryFn>(entry_)(nlhs, plhs.data(), nrhs, prhs.data());
    }
    for (std::size_t i = 0; i < slots; ++i) {
      if (!plhs[i]) continue;
      mxArray *o = detail::checked(plhs[i]);
      for (const mxArray *in : inputs)
        if (o == in) detail::fault("a gateway returned one of its inputs as an output");
      if (o->parent) detail::fault("a gateway returned an array held by a cell or struct");
    }
    if (nlhs >= 1) {
      for (int i = 0; i < nlhs; ++i)
        if (!plhs[static_cast<std::size_t>(i)])
          throw HostError{"gatebox:host:unassignedOutputs", "One or more output arguments not assigned during call."};
    }
  } catch (const HostError &e) {
    result.error = Error{e.id, e.message};
  } catch (const std::bad_alloc &) {
    result.error = Error{"gatebox:host:outOfMemory", "Out of memory."};
  } catch (const std::exception &e) {
    result.error = Error{"gatebox:host:exception", e.what()};
  } catch (...) {
    result.error = Error{"gatebox:host:exception", "unknown exception"};
  }
  std::vector<mxArray *> keep;
  if (result.ok())
    for (mxArray *o : plhs)
      if (o) keep.push_back(o);
  detail::end_context(keep);
  result.printed = s.printed;
  if (result.ok())
    for (mxArray *o : plhs) result.outputs.emplace_back(o);
  return result;
}

// ---- Inputs ---------------------------------------------------------------

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

// ---- Workspace and accounting ---------------------------------------------

void set_global(const std::string &name, const mxArray *value) {
  if (mexPutVariable("global", name.c_str(), value) != 0) throw std::invalid_argument("set_global: bad name");
}

const mxArray *global(const std::string &name) { return mexGetVariablePtr("global", name.c_str()); }

void clear_globals() {
  for (auto &g : state().globals) {
    g.second->persistent = false;
    detail::destroy(g.second);
  }
  state().globals.clear();
}

std::size_t live_blocks() { return state().blocks.size(); }
std::size_t live_arrays() { return state().arrays.size(); }
std::size_t live_bytes() { return state().live_bytes; }

std::size_t set_memory_limit(std::size_t bytes) {
  std::size_t old = state().memory_limit;
  state().memory_limit = bytes;
  return old;
}

}  // namespace gatebox::host
