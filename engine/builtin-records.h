// The text of data/nasa9-h2o2.inp, compiled into the library at build time
// (engine/builtin-records.cpp.in), so that installed programs need no file.
#pragma once

namespace zuna::engine::detail {

const char* builtin_nasa9_text();

}  // namespace zuna::engine::detail
