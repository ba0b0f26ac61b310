// One refusal of each kind per gateway, through the own host: every refusal
// carries gatebox:<function>:<reason> and its fixed message text.
#include "gatebox/host.hpp"

#include <cmath>
#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

struct Refusal {
  const char *gateway, *subdir;
  std::vector<const mxArray *> args;
  std::string reason, message;
};

TEST(Identifiers, EveryKindOfRefusalCarriesItsIdentifierAndText) {
  auto one = h::scalar(1), two = h::scalar(2), neg = h::scalar(-1), half = h::scalar(0.5), empty = h::doubles({0, 0});
  auto col = h::column({1, 2}), pair = h::row({1, 2}), rect = h::doubles({2, 3}, std::vector<double>(6, 1.0));
  auto cube = h::doubles({1, 2, 2}, {1, 1, 1, 1}), square3 = h::doubles({2, 2, 2}, std::vector<double>(8, 1.0));
  auto sp = h::sparse(1, 1, {1}), single1 = h::numeric(mxSINGLE_CLASS, {1, 1}, {1});
  auto cplx = h::complex({1, 1}, {1}, {2}), text = h::text("a"), cellx = h::cell({1, 1});
  // A char row first is a keyword call of the samplers; a char matrix is data.
  const mwSize dims22[2] = {2, 2};
  auto chars = h::Array(mxCreateCharArray(2, dims22));
  auto st = h::structure({1, 1}, {"f"}), fh = h::function_handle();
  auto bigs = h::row({2147483647.0, 2147483647.0, 2147483647.0}), three = h::scalar(3);
  auto dims123 = h::row({1, 2, 3}), dims11 = h::row({1, 1});
  const std::string sparse_sorry = "Cannot handle sparse matrices.  Sorry.";
  const std::string sparse_yet = "Sorry, can't handle sparse matrices yet.";
  const std::string t_double = "T must be a double array; convert it with double(T).";
  const std::string b_double = "b must be a double array; convert it with double(b).";
  const std::string p_double = "p must be a double array; convert it with double(p).";
  const std::string n_double = "n must be a double scalar; convert it with double(n).";
  const std::string trials = "n must be a number of trials from 0 to 2147483647, not NaN or negative.";
  std::vector<Refusal> cases = {
      {"trigamma", "", {}, "usage", "Usage: x = trigamma(n)"},
      {"trigamma", "", {sp.get()}, "sparse", sparse_sorry},
      {"trigamma", "", {single1.get()}, "notDouble", "N must be a double array; convert it with double(N)."},
      {"shapedraw", "", {}, "usage", "Usage: x = shapedraw(a)"},
      {"shapedraw", "", {sp.get()}, "sparse", sparse_sorry},
      {"shapedraw", "", {chars.get()}, "notDouble", "a must be a double array; convert it with double(a)."},
      {"uppersubst", "", {one.get()}, "usage", "Usage: x = uppersubst(T,b)"},
      {"lowersubst", "", {one.get()}, "usage", "Usage: x = lowersubst(T,b)"},
      {"backapply", "", {one.get()}, "usage", "Usage: x = backapply(T,b)"},
      {"backapply", "", {sp.get(), one.get()}, "sparse", sparse_sorry},
      {"backapply", "", {one.get(), sp.get()}, "sparse", "b must be a full matrix; convert it with full(b)."},
      {"tilearray", "", {one.get()}, "usage", "Usage: tilearray(A, [M N ...])"},
      {"tilearray", "r12", {one.get()}, "usage", "Usage: tilearray(A, [N M ...])"},
      {"tilearray", "", {sp.get(), two.get()}, "sparse", sparse_yet},
      {"tilearray", "", {cellx.get(), two.get()}, "cell", "Sorry, can't handle cell arrays yet."},
      {"tilearray", "", {st.get(), two.get()}, "badClass",
       "A must be a numeric, logical or char array; structs, objects and function handles cannot be tiled."},
      {"tilearray", "", {one.get(), text.get()}, "badCountClass",
       "Replication counts must be full numeric or logical arrays."},
      {"tilearray", "", {one.get(), neg.get()}, "badCount",
       "Replication counts must be whole numbers from 0 to 2147483647 after truncation toward zero; a count is "
       "negative, NaN, infinite or too large."},
      {"tilearray", "", {one.get(), bigs.get()}, "tooLarge",
       "The result is too large: its element or byte count overflows."},
      {"tilearray", "r12", {one.get(), two.get(), empty.get()}, "emptyCount",
       "Each count argument gives one count and must not be empty."},
      {"axisfold", "", {one.get()}, "usage", "Usage: B = axisfold(A, dims)"},
      {"axisfold", "", {single1.get(), one.get()}, "notDouble",
       "A and DIMS must be full double arrays; convert them with double()."},
      {"axisfold", "", {rect.get(), dims123.get()}, "tooManyDims",
       "DIMS lists more dimension numbers than A has dimensions."},
      {"axisfold", "", {rect.get(), three.get()}, "badDim", "DIMS must hold dimension numbers from 1 to ndims(A)."},
      {"axisfold", "", {square3.get(), dims11.get()}, "repeatedDim", "DIMS lists a dimension more than once."},
      {"tallybins", "", {}, "usage", "Usage: h = tallybins(x, n)"},
      {"tallybins", "", {sp.get()}, "sparse", sparse_sorry},
      {"tallybins", "", {cellx.get()}, "notNumeric",
       "X and N must be full numeric or logical arrays; convert them with double()."},
      {"tallybins", "", {one.get(), empty.get()}, "emptyN", "N is empty; expected the number of bins."},
      {"tallybins", "", {one.get(), neg.get()}, "badN", "N must be a number of bins from 0 to 2147483647."},
      {"tallybins", "", {pair.get(), one.get()}, "outOfBounds", "value out of bounds"},
      {"aliascheck", "", {one.get()}, "usage", "usage: aliascheck(a,b)"},
      {"aliascheck", "", {fh.get(), one.get()}, "noStorage",
       "A and B must be arrays with data storage (numeric, logical, char, cell or struct); function handles and "
       "objects have none to compare."},
      {"opcharge", "", {}, "usage", "Usage: opcharge(count)"},
      {"opcharge", "", {single1.get()}, "notDouble", "COUNT must be a full double array; convert it with double(COUNT)."},
      {"opcharge", "", {empty.get()}, "emptyCount", "COUNT is empty; expected the number of operations to charge."},
      {"opcharge", "", {neg.get()}, "badCount", "COUNT must be a number from 0 to 2^32-1 (4294967295)."},
  };
  for (const char *name : {"uppersubst", "lowersubst"}) {
    std::vector<Refusal> more = {
        {name, "", {rect.get(), one.get()}, "notSquare", "matrix must be square"},
        {name, "", {sp.get(), one.get()}, "sparse", sparse_yet},
        {name, "", {one.get(), cube.get()}, "notMatrices", "Arguments must be matrices."},
        {name, "", {single1.get(), one.get()}, "notDouble", t_double},
        {name, "", {one.get(), single1.get()}, "notDouble", b_double},
        {name, "", {one.get(), col.get()}, "sizeMismatch", "b must have as many rows as T."},
    };
    cases.insert(cases.end(), more.begin(), more.end());
  }
  cases.push_back({"backapply", "", {rect.get(), one.get()}, "notSquare", "matrix must be square"});
  cases.push_back({"backapply", "", {text.get(), one.get()}, "notDouble", t_double});
  cases.push_back({"backapply", "", {one.get(), text.get()}, "notDouble", b_double});
  cases.push_back({"backapply", "", {one.get(), col.get()}, "sizeMismatch", "b must have as many rows as T."});
  for (const char *name : {"trialdraw", "drawcounts"}) {
    const std::string usage = name == std::string("trialdraw") ? "Usage: r = bino_sample(p, n)"
                                                               : "Usage: h = drawcounts(p, n)";
    std::vector<Refusal> more = {
        {name, "", {half.get()}, "usage", usage},
        {name, "", {half.get(), pair.get()}, "notScalar", "n must be scalar"},
        {name, "", {half.get(), single1.get()}, "notDouble", n_double},
        {name, "", {half.get(), neg.get()}, "badTrialCount", trials},
        {name, "", {sp.get(), two.get()}, "sparse", sparse_sorry},
        {name, "", {chars.get(), two.get()}, "notDouble", p_double},
    };
    cases.insert(cases.end(), more.begin(), more.end());
  }
#if !defined(_WIN32)  // gamma is a Linux build only
  cases.push_back({"gamma", "", {}, "notEnoughInputs", "Not enough input arguments."});
  cases.push_back({"gamma", "", {one.get(), two.get()}, "tooManyInputs", "Too many input arguments."});
  cases.push_back({"gamma", "", {cplx.get()}, "notReal", "Argument must be real."});
#endif
  for (const Refusal &c : cases) {
    h::Gateway g(h::gateway_path(c.gateway, c.subdir));
    h::CallResult r = g.call(c.args);
    ASSERT_FALSE(r.ok()) << c.gateway << " " << c.reason;
    EXPECT_EQ(r.error->id, std::string("gatebox:") + c.gateway + ":" + c.reason) << r.error->message;
    EXPECT_EQ(r.error->message, c.message) << c.gateway << " " << c.reason;
  }
  // The counter that is not a full double array: opcharge refuses and leaves
  // it as it was; axisfold still returns its sum.
  h::set_global("flopcount", h::numeric(mxINT8_CLASS, {1, 1}, {3}).get());
  h::Gateway op(h::gateway_path("opcharge")), fold(h::gateway_path("axisfold"));
  h::CallResult r = op.call(0, {two.get()});
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error->id, "gatebox:opcharge:flopcountNotDouble");
  EXPECT_EQ(r.error->message, "The global flopcount is not a full double array; it was left unchanged.");
  EXPECT_TRUE(fold.call({pair.get(), pair.get()}).ok());
  EXPECT_EQ(mxGetClassID(h::global("flopcount")), mxINT8_CLASS);
  EXPECT_EQ(mxGetScalar(h::global("flopcount")), 3);
  h::clear_globals();
}

}  // namespace
