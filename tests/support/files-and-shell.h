// Small helpers of the suites that run programs and read what they leave.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zuna::testing {

// The bytes of a file; "" when it cannot be read.
inline std::string slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs a command line through /bin/sh and answers its standard output;
// `status` is pclose's status (-1 when the shell could not be started).
inline std::string run_shell(const std::string& line, int& status) {
  std::string out;
  if (std::FILE* pipe = popen(line.c_str(), "r")) {
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
      out.append(buffer, n);
    }
    status = pclose(pipe);
  } else {
    status = -1;
  }
  return out;
}

}  // namespace zuna::testing
