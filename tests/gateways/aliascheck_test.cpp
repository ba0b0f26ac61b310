// The aliascheck gateway through the own host.
#include "gatebox/host.hpp"

#include <gtest/gtest.h>

namespace h = gatebox::host;

namespace {

class Aliascheck : public ::testing::Test {
 protected:
  h::Gateway g{h::gateway_path("aliascheck")};
  std::size_t blocks0 = h::live_blocks();
  void TearDown() override { EXPECT_EQ(h::live_blocks(), blocks0); }
  double answer(const mxArray *a, const mxArray *b) {
    h::CallResult r = g.call({a, b});
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(h::dims(r.out()), (std::vector<mwSize>{1, 1}));
    return r.ok() ? h::values(r.out())[0] : -1;
  }
};

TEST_F(Aliascheck, ComparesOnlyTheDataAddresses) {
  auto a = h::row({1, 2, 3}), twin = h::row({1, 2, 3}), z = h::complex({1, 1}, {1}, {2});
  auto i8 = h::numeric(mxINT8_CLASS, {2, 2}), sp = h::sparse(2, 2, {1, 0, 0, 1}), t = h::text("ab");
  auto l = h::logical({1, 3}), c = h::cell({1, 2}), s = h::structure({1, 1}, {"f"});
  // Same array on both sides: 1, whatever its class.
  for (const mxArray *x : {a.get(), z.get(), i8.get(), sp.get(), t.get(), l.get()}) EXPECT_EQ(answer(x, x), 1.0);
  EXPECT_EQ(answer(a.get(), twin.get()), 0.0);  // equal contents, separate storage
  EXPECT_EQ(answer(a.get(), i8.get()), 0.0);
  // Arrays without data storage (this host reports none for cells and structs): both null, 1.
  EXPECT_EQ(answer(c.get(), s.get()), 1.0);
  EXPECT_EQ(answer(c.get(), a.get()), 0.0);
}

TEST_F(Aliascheck, RefusesWrongArgumentCountsAndValuesWithoutStorage) {
  auto a = h::scalar(1), fh = h::function_handle();
  for (auto args : std::vector<std::vector<const mxArray *>>{{}, {a.get()}, {a.get(), a.get(), a.get()}}) {
    h::CallResult r = g.call(args);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->message, "usage: aliascheck(a,b)");
  }
  for (auto args : std::vector<std::vector<const mxArray *>>{{fh.get(), a.get()}, {a.get(), fh.get()}, {fh.get(), fh.get()}}) {
    h::CallResult r = g.call(args);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->id, "gatebox:aliascheck:noStorage");
  }
}

}  // namespace
