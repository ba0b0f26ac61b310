// The host allocator and call contexts.
//
// Every block handed out by mxMalloc/mxCalloc/mxRealloc, and every data
// block of an array, is recorded with the call context that owns it and,
// for array data, the array.  When a call ends, the blocks and arrays it
// created and did not hand back are reclaimed, as a MATLAB-compatible host
// does.  Unknown pointers passed to mxFree/mxRealloc/mxSet* are host faults.
#include "state.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace gatebox::host::detail {

State &state() {
  static State *s = new State;  // never destroyed: gateways may outlive static destruction order
  return *s;
}

void fault(const char *what) {
  std::fprintf(stderr, "gatebox host fault: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

void raise(const char *id, const std::string &message) {
  if (state().ctx() == 0) throw std::runtime_error(message);  // the embedding program's own mistake
  throw HostError{id ? id : "", message};
}

void *alloc_block(std::size_t bytes, bool zero, mxArray *owner) {
  State &s = state();
  if (bytes > s.memory_limit || s.live_bytes > s.memory_limit - bytes) {
    raise("gatebox:host:outOfMemory",
          "Out of memory: a block of " + std::to_string(bytes) + " bytes exceeds the host's limit.");
  }
  void *p = zero ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (!p) {
    raise("gatebox:host:outOfMemory",
          "Out of memory: could not allocate " + std::to_string(bytes) + " bytes.");
  }
  s.blocks[p] = Block{bytes, s.ctx(), owner, false};
  s.live_bytes += bytes;
  if (!owner && s.ctx() != 0) s.contexts.back().blocks.push_back(p);
  return p;
}

void free_block(void *p) {
  State &s = state();
  auto it = s.blocks.find(p);
  if (it == s.blocks.end()) fault("free of a block the host did not allocate");
  s.live_bytes -= it->second.size;
  s.blocks.erase(it);
  std::free(p);
}

// Point the owning array's field that held `from` at `to`.
static void retarget(mxArray *a, void *from, void *to) {
  if (a->re == from) a->re = to;
  else if (a->im == from) a->im = to;
  else if (a->ir == from) a->ir = static_cast<mwIndex *>(to);
  else if (a->jc == from) a->jc = static_cast<mwIndex *>(to);
}

// Reclaim what the innermost call created and did not hand back, then leave
// it.  What it hands back belongs to the receiving context from then on
// (nothing is recorded for the embedding program, which owns by handle).
void end_context(const std::vector<mxArray *> &keep, unsigned receiver) {
  State &s = state();
  unsigned c = s.ctx();
  Context ctx = std::move(s.contexts.back());
  s.contexts.pop_back();
  std::unordered_set<const mxArray *> kept(keep.begin(), keep.end());
  for (mxArray *a : keep) {
    if (a->ctx < c) continue;  // an array of a call still open, handed back again
    a->ctx = receiver;
    if (receiver != 0) s.contexts[receiver].arrays.push_back(a);
  }
  for (mxArray *a : ctx.arrays) {
    if (s.arrays.count(a) && a->ctx == c && !a->parent && !a->persistent && !kept.count(a)) destroy(a);
  }
  for (void *p : ctx.blocks) {
    auto it = s.blocks.find(p);
    if (it != s.blocks.end() && it->second.ctx == c && !it->second.owner && !it->second.persistent)
      free_block(p);
  }
}

CallScope::CallScope(std::string function_name, unsigned receiver) : receiver_(receiver) {
  State &s = state();
  if (receiver > s.ctx()) fault("a call's outputs sent to a context that is not open");
  s.contexts.emplace_back();
  s.contexts.back().function_name = std::move(function_name);
  depth_ = s.contexts.size();
}

// A scope left while an inner one is still open would reclaim the wrong
// call's arrays; scopes nest by construction, so this is a host fault.
CallScope::~CallScope() {
  if (state().contexts.size() != depth_) fault("call contexts left out of order");
  end_context(keep_, receiver_);
}

}  // namespace gatebox::host::detail

using namespace gatebox::host::detail;

extern "C" {

void *mxMalloc(size_t n) { return alloc_block(n, false, nullptr); }

void *mxCalloc(size_t n, size_t size) {
  if (size != 0 && n > SIZE_MAX / size) raise("gatebox:host:outOfMemory", "Out of memory: mxCalloc size overflows.");
  return alloc_block(n * size, true, nullptr);
}

void *mxRealloc(void *ptr, size_t size) {
  if (!ptr) return mxMalloc(size);
  State &s = state();
  auto it = s.blocks.find(ptr);
  if (it == s.blocks.end()) fault("mxRealloc of a block the host did not allocate");
  Block b = it->second;
  if (size > b.size && (size - b.size > s.memory_limit || s.live_bytes > s.memory_limit - (size - b.size)))
    raise("gatebox:host:outOfMemory", "Out of memory: mxRealloc to " + std::to_string(size) + " bytes.");
  s.blocks.erase(it);
  void *q = std::realloc(ptr, size ? size : 1);
  if (!q) {
    s.blocks[ptr] = b;
    raise("gatebox:host:outOfMemory", "Out of memory: mxRealloc to " + std::to_string(size) + " bytes.");
  }
  s.live_bytes = s.live_bytes - b.size + size;
  b.size = size;
  s.blocks[q] = b;
  if (b.owner) retarget(b.owner, ptr, q);
  else if (q != ptr && b.ctx != 0 && b.ctx < s.contexts.size()) s.contexts[b.ctx].blocks.push_back(q);
  return q;
}

void mxFree(void *ptr) {
  if (!ptr) return;
  State &s = state();
  auto it = s.blocks.find(ptr);
  if (it == s.blocks.end()) fault("mxFree of a block the host did not allocate");
  if (it->second.owner) retarget(it->second.owner, ptr, nullptr);
  free_block(ptr);
}

void mexMakeMemoryPersistent(void *ptr) {
  auto it = state().blocks.find(ptr);
  if (it == state().blocks.end()) fault("mexMakeMemoryPersistent of a block the host did not allocate");
  it->second.persistent = true;
}

}  // extern "C"
