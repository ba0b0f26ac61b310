// The workspace of the embedding program (global variables) and the
// accounting of live blocks, arrays and bytes.
#include "gatebox/host.hpp"
#include "state.hpp"

#include <stdexcept>

namespace gatebox::host {

using detail::state;

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
