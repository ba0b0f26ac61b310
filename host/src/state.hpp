// Internal state of the own host: the one concrete mxArray, the allocator's
// block registry and the call contexts that own what a call creates.
#pragma once

#include "mex.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct mxArray_tag {
  static constexpr std::uint32_t kMagic = 0x6d784172;  // "mxAr"
  std::uint32_t magic = kMagic;
  mxClassID cls = mxDOUBLE_CLASS;
  bool is_complex = false;
  bool is_sparse = false;
  std::vector<mwSize> dims{0, 0};
  void *re = nullptr;  // real (or only) data block
  void *im = nullptr;  // imaginary block of a complex array
  mwIndex *ir = nullptr, *jc = nullptr;  // sparse row indices and column starts
  mwSize nzmax = 0;
  std::vector<mxArray *> elems;     // cell elements; struct values, element-major
  std::vector<std::string> fields;  // struct field names
  std::string class_name;           // function handles
  unsigned ctx = 0;                 // call context that owns the array (0: the embedding program)
  mxArray *parent = nullptr;        // cell or struct that holds it
  bool persistent = false;
};

namespace gatebox::host::detail {

struct Block {
  std::size_t size;
  unsigned ctx;     // call context that owns a free-standing block
  mxArray *owner;   // array whose data this is, or null
  bool persistent;
};

// A host-side failure inside a call: carries what mexErrMsgIdAndTxt reports.
struct HostError {
  std::string id, message;
};

struct Context {
  std::vector<mxArray *> arrays;
  std::vector<void *> blocks;
  std::string function_name;
};

struct State {
  std::unordered_map<void *, Block> blocks;
  std::unordered_set<const mxArray *> arrays;
  std::vector<Context> contexts;  // contexts[0] is the embedding program
  std::unordered_map<std::string, mxArray *> globals;
  std::size_t live_bytes = 0;
  // 8 GiB, or half the address space where that is less (2 GiB on 32-bit
  // targets, the user address space of a 32-bit Windows process).
  std::size_t memory_limit =
      static_cast<std::size_t>(std::min<unsigned long long>(8ull << 30, SIZE_MAX / 2 + 1));
  std::string printed;
  State() { contexts.emplace_back(); }
  unsigned ctx() const { return static_cast<unsigned>(contexts.size() - 1); }
};

State &state();

// Abort the process: the gateway did something a real host does not survive.
[[noreturn]] void fault(const char *what);
// End the current call with an error (outside a call: abort).
[[noreturn]] void raise(const char *id, const std::string &message);

void *alloc_block(std::size_t bytes, bool zero, mxArray *owner);
void free_block(void *p);
mxArray *checked(const mxArray *a);  // validates a handle
mxArray *new_array(mxClassID cls, mwSize ndims, const mwSize *dims, bool is_complex, bool zero);
void destroy(mxArray *a);
// Leave the innermost call context; `keep` passes to context `receiver`.
void end_context(const std::vector<mxArray *> &keep, unsigned receiver);

// One call of a gateway or of a registered function, as a scope: entering
// opens a call context that owns what the call creates; leaving, on any
// path (return, the error call, any other exception), reclaims what the
// call did not hand back and makes the enclosing context current again.
// The arrays passed to keep() survive and pass to the receiving context:
// the embedding program (0) for a call through Gateway, the calling gateway's
// context for a call through mexCallMATLAB.
class CallScope {
 public:
  CallScope(std::string function_name, unsigned receiver);
  ~CallScope();
  CallScope(const CallScope &) = delete;
  CallScope &operator=(const CallScope &) = delete;
  void keep(std::vector<mxArray *> arrays) { keep_ = std::move(arrays); }

 private:
  std::size_t depth_;  // contexts.size() once this scope's context is open
  unsigned receiver_;
  std::vector<mxArray *> keep_;
};

}  // namespace gatebox::host::detail
