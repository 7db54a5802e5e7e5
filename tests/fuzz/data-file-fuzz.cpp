// Arbitrary bytes as a data file given to zuna4-validate. A file it cannot
// use is a RecordError; what it reads holds finite numbers only.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fit/data-file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const zuna::fit::DataFile file = zuna::fit::read_data_file(in);
    for (int k = 1; k <= 6; ++k) {
      if (!std::isfinite(file.mw[k - 1])) {
        __builtin_trap();
      }
      for (int j = 1; j <= 7; ++j) {
        if (!std::isfinite(file.coef(k, j, 1)) || !std::isfinite(file.coef(k, j, 2))) {
          __builtin_trap();
        }
      }
    }
  } catch (const zuna::fit::RecordError&) {
  }
  return 0;
}
