// The texts of data/nasa9-h2o2.inp (the six gases of the fast path) and
// data/nasa9-chon-ar-he.inp (every species of H, O, N, Ar, He and C),
// compiled into the library at build time (engine/builtin-records.cpp.in),
// so that installed programs need no file.
#pragma once

namespace zuna::engine::detail {

const char* builtin_nasa9_text();
const char* builtin_species_text();

}  // namespace zuna::engine::detail
