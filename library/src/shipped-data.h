// data/zuna.dat as shipped, compiled in (shipped-data.cpp is generated).
#pragma once

#include <string_view>

namespace zuna4::detail {

extern const std::string_view kShippedZunaDat;

}  // namespace zuna4::detail
