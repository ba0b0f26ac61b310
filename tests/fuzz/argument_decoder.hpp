// Fuzzer bytes -> a gateway call: the number of outputs asked for, the input
// arrays (every class the host language has, any number of dimensions,
// sizes whose products overflow 32 bits, special values) and the global
// `flopcount`.  The same format is written by the seed encoder, so seed
// files are argument lists made on purpose.
//
// Format (all fields one byte unless stated; a stream that ends early reads
// as zero bytes):
//   header      bits 0-1 outputs asked for (0-3), bits 2-4 inputs (0-7),
//               bit 5 a global flopcount follows, bit 6 the last input is
//               the same array as the first (aliased arguments)
//   [flopcount] array
//   input...    array
//   array       kind (bits 0-4: class, see Kind; values past the last kind
//               mean double; bit 5 complex), ndims - 2 (mod 4), one byte per
//               dimension (0-127 as such, 128 and up: the huge-size table),
//               then the contents: numeric, logical and char arrays and
//               sparse matrices a value list; cells and structs the fields
//               (structs), the number of elements filled and for each its
//               index and an array
//   value list  count - 1, then each value: a code below 0xF0 picks from
//               the special-value table, 0xF0 and up is followed by eight
//               raw bytes (a double); elements repeat the list cyclically;
//               complex arrays carry a second list for the imaginary part
//
// Arrays are kept small (a dense array holds at most kMaxElements elements;
// a larger shape has its last dimension set to 0) and every shape is one a
// MATLAB-compatible host can hold: the product of the nonzero dimensions
// stays below 2^63.
#pragma once

#include "gatebox/host.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gatebox::fuzz {

enum Kind : std::uint8_t {
  kDouble, kSingle, kInt8, kUint8, kInt16, kUint16, kInt32, kUint32, kInt64, kUint64,
  kLogical, kChar, kCell, kStruct, kSparse, kSparseLogical, kFunctionHandle, kKinds
};
constexpr std::uint8_t kComplexBit = 0x20;
constexpr std::uint8_t kRawValue = 0xF0;
constexpr std::size_t kMaxElements = 4096;      // dense elements of one array
constexpr std::size_t kMaxContainer = 64;       // elements of one cell or struct
constexpr int kMaxDepth = 3;                    // cells in cells

extern const std::vector<double> kSpecialValues;
extern const std::vector<std::uint64_t> kHugeSizes;

struct ArgumentList {
  int nlhs = 1;
  std::vector<host::Array> owned;        // the arrays made for this call
  std::vector<const mxArray *> inputs;   // in call order (aliases repeat a handle)
  host::Array flopcount;                 // null: no global flopcount
};

// Builds the call the bytes describe.  Returns false when the bytes describe
// nothing the harness can build (never for a well-formed seed).
bool decode(const std::uint8_t *data, std::size_t size, ArgumentList &call);

// A readable one-line description of an array (class, complexity,
// sparseness, dimensions, first values) for failure reports.
std::string describe(const mxArray *a);

// Every byte that defines an array: class, shape, data addresses and
// contents, recursing into cells and structs.  Two snapshots differ when a
// gateway changed an input.
std::vector<std::uint8_t> snapshot(const mxArray *a);

// ---- Writing seeds ----------------------------------------------------------
// A description of one array in the decoder's terms.
struct Plan {
  Kind kind = kDouble;
  bool complex = false;
  std::vector<std::uint64_t> dims{1, 1};
  std::vector<double> re, im;                  // value lists (repeated cyclically)
  int fields = 0;                              // structs: fields "a", "b"
  std::vector<std::pair<std::uint8_t, Plan>> elems;  // cells/structs: (index, array)
};

Plan scalar(double v);
Plan real(std::vector<std::uint64_t> dims, std::vector<double> values = {0});
Plan of(Kind k, std::vector<std::uint64_t> dims, std::vector<double> values = {0});

struct CallPlan {
  int nlhs = 1;
  std::vector<Plan> inputs;
  bool alias_first = false;     // the last input repeats the first
  bool has_flopcount = false;
  Plan flopcount;
};

std::vector<std::uint8_t> encode(const CallPlan &call);

}  // namespace gatebox::fuzz
