// Conversion of list-directed value texts to numbers.
#include "fio/number-text.h"

#include <gtest/gtest.h>

namespace zuna {
namespace {

TEST(NumberText, DialogDefaults) {
  double v = -1;
  ASSERT_EQ(parse_real("0.5d0", v), IoError::ok);
  EXPECT_EQ(v, 0.5);
}

}  // namespace
}  // namespace zuna
