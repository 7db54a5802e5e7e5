// Arbitrary bytes as the reference table of zuna4-validate. A table it cannot
// use is a ReferenceError; what it reads holds finite numbers only.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "validation/reference-table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const zuna::validation::Reference ref = zuna::validation::read_reference(in);
    if (ref.points.empty() || ref.points.size() > zuna::validation::kMaxReferencePoints ||
        !(ref.t_complete > 0.0) || !std::isfinite(ref.t_complete)) {
      __builtin_trap();
    }
    for (const zuna::validation::ReferencePoint& p : ref.points) {
      if (!std::isfinite(p.r) || !std::isfinite(p.t)) {
        __builtin_trap();
      }
    }
  } catch (const zuna::validation::ReferenceError&) {
  }
  return 0;
}
