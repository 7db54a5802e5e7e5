// Arbitrary bytes as a source of zuna4-fit: the reader of NASA 9-coefficient
// records, and for what it reads the fit and the data file's text, as the
// tool makes them. A record it cannot use is a RecordError; anything else
// (another exception, a read out of bounds, an overflow) is a fault.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fit/data-file.h"
#include "fit/fit7.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  try {
    const zuna::fit::Nasa9File source = zuna::fit::read_nasa9(in);
    const std::vector<zuna::fit::FittedSpecies> fitted = zuna::fit::fit_all(source);
    const std::string text = zuna::fit::data_file_text(fitted, source.header);
    if (text.empty()) {
      __builtin_trap();
    }
  } catch (const zuna::fit::RecordError&) {
  }
  return 0;
}
