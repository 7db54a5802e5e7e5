// Arbitrary text through list-directed reads from a character variable, with
// the status request, as the run-parameter dialog converts what the user
// typed. The first input byte picks the sequence of item kinds.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fio/fio.h"
#include "tests/support/recording-host.h"

namespace {

zuna::testing::RecordingHost& host() {
  static zuna::testing::RecordingHost h;
  static bool started = [] {
    zuna::runtime_start(h);
    return true;
  }();
  (void)started;
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  host();
  if (size == 0) {
    return 0;
  }
  unsigned selector = data[0];
  // The text in a buffer of exactly its size, so that a read past its end
  // is caught.
  std::size_t length = size - 1;
  std::unique_ptr<char[]> text(new char[length == 0 ? 1 : length]);
  if (length > 0) {
    std::memcpy(text.get(), data + 1, length);
  }
  std::int32_t i = 0;
  double d = 0;
  char chars[7];
  int status = zuna::begin_internal_read(text.get(), static_cast<int>(length), nullptr, 0, true);
  for (int item = 0; item < 4 && status == 0; ++item) {
    switch ((selector >> (2 * item)) & 3u) {
      case 0: status = zuna::get_int32(&i); break;
      case 1: status = zuna::get_real64(&d); break;
      case 2: status = zuna::get_chars(chars, static_cast<int>(sizeof chars)); break;
      default: status = zuna::get_real64(&d); break;
    }
  }
  int end = zuna::end_read();
  // A status request never ends the program and never reports.
  if (status > 0 && (status < 6000 || status > 6999)) {
    __builtin_trap();
  }
  if (end != status) {
    __builtin_trap();
  }
  if (!host().errors.empty() || host().exit_code) {
    __builtin_trap();
  }
  return 0;
}
