// What a gateway call may end in, per gateway: the fixed messages of its
// documented refusals, the refusal its documented checks demand for a given
// argument list, and the shape, class and (where cheap to state) values of
// its outputs.  judge() applies them together with the rules every gateway
// shares; it returns a description of the first rule broken, or "".
#pragma once

#include "argument_decoder.hpp"

#include <optional>
#include <string>
#include <vector>

namespace gatebox::fuzz {

// The global flopcount around a call: absent, or its class and values.
struct FlopState {
  bool present = false;
  bool full_double = false;   // a full double array (real or complex) with elements
  std::vector<double> values; // real parts when full_double
};
FlopState flop_state(const mxArray *flopcount);

struct Observation {
  const ArgumentList &call;
  const host::CallResult &result;
  const FlopState &before, &after;
};

struct Property {
  const char *name;
  int outputs;                          // outputs the gateway always produces
  std::vector<std::string> messages;    // fixed texts of its refusals
  // The fixed message the documented checks demand for this call, or null.
  const char *(*required)(const ArgumentList &call, const std::string &variant);
  // The documented outputs of a successful call: "" or what is wrong.
  std::string (*check)(const Observation &o, const std::string &variant);
};

// The entry for a gateway name, or null for a gateway without one (it is
// then held to the shared rules only).
const Property *find_property(const std::string &name);
const std::vector<Property> &properties();

std::string judge(const std::string &name, const std::string &variant, const Observation &o);

}  // namespace gatebox::fuzz
