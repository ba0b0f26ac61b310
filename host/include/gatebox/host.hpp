// The embedding side of gatebox's own MEX host: load gateway libraries,
// build input arrays of every class and shape, call a gateway, and read its
// outputs or the error that ended the call.  Used by the gateway tests, the
// fuzzers and the benchmarks.
#pragma once

#include "mex.h"

#include <complex>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#define GBH_CXX_API GBH_API
#else
#define GBH_CXX_API __attribute__((visibility("default")))
#endif

namespace gatebox::host {

// Owning handle to an array held by the embedding program.
struct GBH_CXX_API ArrayDeleter {
  void operator()(mxArray *a) const noexcept;
};
using Array = std::unique_ptr<mxArray, ArrayDeleter>;

// ---- Constructors for test inputs -------------------------------------
GBH_CXX_API Array scalar(double v);
// Real double array of the given dimensions, filled in storage order.
GBH_CXX_API Array doubles(std::vector<mwSize> dims, const std::vector<double> &values = {});
// Real double matrix from rows written as in the host's language: {{1, 2}, {3, 4}}.
GBH_CXX_API Array matrix(std::initializer_list<std::initializer_list<double>> rows);
GBH_CXX_API Array row(const std::vector<double> &values);
GBH_CXX_API Array column(const std::vector<double> &values);
GBH_CXX_API Array complex(std::vector<mwSize> dims, const std::vector<double> &re,
                          const std::vector<double> &im);
// Numeric array of any class, values converted from double (zeros when empty).
GBH_CXX_API Array numeric(mxClassID cls, std::vector<mwSize> dims,
                          const std::vector<double> &values = {}, bool is_complex = false);
GBH_CXX_API Array logical(std::vector<mwSize> dims, const std::vector<bool> &values = {});
GBH_CXX_API Array text(const std::string &s);
GBH_CXX_API Array cell(std::vector<mwSize> dims);
GBH_CXX_API Array structure(std::vector<mwSize> dims, const std::vector<std::string> &fields);
// Sparse double matrix holding the nonzeros of the given dense column-major data.
GBH_CXX_API Array sparse(mwSize m, mwSize n, const std::vector<double> &dense = {});
// A function handle: a value with no numeric data (asking for its data is a host fault).
GBH_CXX_API Array function_handle();

// ---- Reading arrays ---------------------------------------------------
GBH_CXX_API std::vector<mwSize> dims(const mxArray *a);
GBH_CXX_API std::vector<double> values(const mxArray *a);  // real part of a double array
GBH_CXX_API std::vector<double> imag_values(const mxArray *a);

// ---- Calls ------------------------------------------------------------
struct Error {
  std::string id;
  std::string message;
};

struct CallResult {
  std::vector<Array> outputs;  // one per slot the gateway filled, null where it did not
  std::optional<Error> error;  // set when the call ended through the error call
  std::string printed;         // text written with mexPrintf during the call
  bool ok() const { return !error.has_value(); }
  const mxArray *out(std::size_t i = 0) const { return i < outputs.size() ? outputs[i].get() : nullptr; }
};

// A gateway library opened on its own (its static state is private to it).
class GBH_CXX_API Gateway {
 public:
  explicit Gateway(std::string path);
  ~Gateway();
  Gateway(const Gateway &) = delete;
  Gateway &operator=(const Gateway &) = delete;

  CallResult call(int nlhs, const std::vector<const mxArray *> &inputs);
  CallResult call(const std::vector<const mxArray *> &inputs) { return call(1, inputs); }
  // Unload and load the library again: its static state restarts.
  void reload();
  std::string version() const;  // mexVersion(), empty when not exported
  const std::string &name() const { return name_; }
  const std::string &path() const { return path_; }

 private:
  void open();
  void close();
  std::string path_, name_;
  void *handle_ = nullptr;
  void *entry_ = nullptr;
  bool by_reference_ = false;
};

// ---- Functions a gateway calls by name (mexCallMATLAB) ------------------
// A function of the embedding program, called like a gateway's entry point.
// It runs in a call context of its own: what it creates and does not hand
// back is reclaimed when it returns; the error call ends it and, through
// mexCallMATLAB, the calling gateway's call with the same error.
using Function = std::function<void(int nlhs, mxArray *plhs[], int nrhs, const mxArray *prhs[])>;
// Register (or replace) the function called by `name`; an empty one unregisters.
// A name that is not registered ends the caller's call with
// gatebox:host:undefinedFunction.
GBH_CXX_API void register_function(const std::string &name, Function fn);
GBH_CXX_API void unregister_function(const std::string &name);

// Path of a gateway built for this host: <build>/host/[<subdir>/]<name>.mex
GBH_CXX_API std::string gateway_path(const std::string &name, const std::string &subdir = "");

// ---- Workspace and accounting ------------------------------------------
GBH_CXX_API void set_global(const std::string &name, const mxArray *value);
GBH_CXX_API const mxArray *global(const std::string &name);  // null when absent
GBH_CXX_API void clear_globals();
GBH_CXX_API std::size_t live_blocks();  // allocator blocks alive (array data included)
GBH_CXX_API std::size_t live_arrays();
GBH_CXX_API std::size_t live_bytes();
// Largest total of live bytes the allocator grants; beyond it a call fails with
// gatebox:host:outOfMemory.  Returns the previous limit.
GBH_CXX_API std::size_t set_memory_limit(std::size_t bytes);

}  // namespace gatebox::host
