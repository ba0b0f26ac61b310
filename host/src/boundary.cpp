// The call boundary of the own host: a call into a gateway library from the
// embedding program, and mexCallMATLAB, a gateway's call of a function the
// embedding program registered.  Each call runs in a call context of its
// own (CallScope); what the callee hands back passes to its caller.
#include "gatebox/host.hpp"
#include "state.hpp"

#include <new>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace gatebox::host {

using detail::HostError;
using detail::state;

namespace {

using EntryFn = void (*)(int, mxArray **, int, const mxArray **);
using ByRefEntryFn = void (*)(int *, mxArray **, int *, const mxArray **);

std::unordered_map<std::string, Function> &registry() {
  static auto *r = new std::unordered_map<std::string, Function>;  // outlives every gateway
  return *r;
}

// What a callee handed back: valid handles that are neither one of its
// inputs nor held by a cell or struct, and every requested slot filled.
// Returns the arrays to keep: every filled slot, or with `requested_only`
// the first nlhs (a slot filled although nlhs is 0 has nowhere to go).
std::vector<mxArray *> take_outputs(int nlhs, const std::vector<mxArray *> &plhs, const mxArray *const *inputs,
                                    int nrhs, const char *who, bool requested_only) {
  for (mxArray *o : plhs) {
    if (!o) continue;
    detail::checked(o);
    for (int i = 0; i < nrhs; ++i)
      if (o == inputs[i]) detail::fault((std::string(who) + " returned one of its inputs as an output").c_str());
    if (o->parent) detail::fault((std::string(who) + " returned an array held by a cell or struct").c_str());
  }
  for (int i = 0; i < nlhs; ++i)
    if (!plhs[static_cast<std::size_t>(i)])
      throw HostError{"gatebox:host:unassignedOutputs", "One or more output arguments not assigned during call."};
  std::vector<mxArray *> keep;
  std::size_t n = requested_only ? static_cast<std::size_t>(nlhs) : plhs.size();
  for (std::size_t i = 0; i < n; ++i)
    if (plhs[i]) keep.push_back(plhs[i]);
  return keep;
}

}  // namespace

CallResult Gateway::call(int nlhs, const std::vector<const mxArray *> &inputs) {
  detail::State &s = state();
  for (const mxArray *a : inputs) detail::checked(a);
  CallResult result;
  std::size_t slots = nlhs > 1 ? static_cast<std::size_t>(nlhs) : 1;
  std::vector<mxArray *> plhs(slots, nullptr);
  std::vector<const mxArray *> prhs(inputs);
  prhs.push_back(nullptr);  // never read by a correct gateway; keeps data() valid when empty
  if (s.ctx() == 0) s.printed.clear();
  std::size_t printed_from = s.printed.size();  // a call nested in a registered function prints on
  int nrhs = static_cast<int>(inputs.size());
  {
    // Outputs go to the embedding program, whose handles own them.
    detail::CallScope scope(name_, 0);
    try {
      if (by_reference_) {
        int l = nlhs, r = nrhs;
        reinterpret_cast<ByRefEntryFn>(entry_)(&l, plhs.data(), &r, prhs.data());
      } else {
        reinterpret_cast<EntryFn>(entry_)(nlhs, plhs.data(), nrhs, prhs.data());
      }
      scope.keep(take_outputs(nlhs, plhs, prhs.data(), nrhs, "a gateway", false));
    } catch (const HostError &e) {
      result.error = Error{e.id, e.message};
    } catch (const std::bad_alloc &) {
      result.error = Error{"gatebox:host:outOfMemory", "Out of memory."};
    } catch (const std::exception &e) {
      result.error = Error{"gatebox:host:exception", e.what()};
    } catch (...) {
      result.error = Error{"gatebox:host:exception", "unknown exception"};
    }
  }
  result.printed = s.printed.substr(printed_from);
  if (result.ok())
    for (mxArray *o : plhs) result.outputs.emplace_back(o);
  return result;
}

void register_function(const std::string &name, Function fn) {
  if (fn) registry()[name] = std::move(fn);
  else registry().erase(name);
}

void unregister_function(const std::string &name) { registry().erase(name); }

}  // namespace gatebox::host

using namespace gatebox::host;
using namespace gatebox::host::detail;

extern "C" {

// The callee runs in a context of its own: its temporaries are reclaimed when
// it returns, its outputs pass to the caller's context, and an error it raises
// propagates through here and ends the caller's call with the same error.
int mexCallMATLAB(int nlhs, mxArray *plhs[], int nrhs, mxArray *prhs[], const char *name) {
  State &s = state();
  std::string fname = name ? name : "";
  if (nlhs < 0 || nrhs < 0) raise("gatebox:host:badArgument", "mexCallMATLAB: argument counts must not be negative.");
  if ((nlhs > 0 && !plhs) || (nrhs > 0 && !prhs)) fault("mexCallMATLAB with a null argument list");
  for (int i = 0; i < nrhs; ++i) checked(prhs[i]);
  auto it = registry().find(fname);
  if (it == registry().end()) raise("gatebox:host:undefinedFunction", "Undefined function '" + fname + "'.");
  Function fn = it->second;  // the callee may change the registry
  std::size_t slots = nlhs > 1 ? static_cast<std::size_t>(nlhs) : 1;
  std::vector<mxArray *> out(slots, nullptr);
  std::vector<const mxArray *> in(prhs, prhs + nrhs);
  in.push_back(nullptr);
  unsigned caller = s.ctx();
  try {
    CallScope scope(fname, caller);
    fn(nlhs, out.data(), nrhs, in.data());
    scope.keep(take_outputs(nlhs, out, in.data(), nrhs, "a function called through mexCallMATLAB", true));
  } catch (const HostError &e) {
    if (caller != 0) throw;
    throw std::runtime_error(e.message);  // called by the embedding program itself
  }
  for (int i = 0; i < nlhs; ++i) plhs[i] = out[static_cast<std::size_t>(i)];
  return 0;
}

}  // extern "C"
