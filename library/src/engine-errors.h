// The engine's and the rocket library's refusals as the library's.
#pragma once

#include <charconv>
#include <string>

#include "engine/engine.h"
#include "zuna4/errors.h"

namespace zuna4::detail {

inline std::string number_text(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// Runs f, turning the engine's InputError into the library's.
template <typename F>
auto translating_errors(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const zuna::engine::InputError& e) {
    throw InputError(e.what());
  }
}

}  // namespace zuna4::detail
