// Temporary files that stand in for the terminal's standard streams.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace zuna::testing {

class StreamFile {
 public:
  StreamFile() : file_(std::tmpfile()) {}
  explicit StreamFile(std::string_view contents) : file_(std::tmpfile()) {
    std::fwrite(contents.data(), 1, contents.size(), file_);
    std::rewind(file_);
  }
  ~StreamFile() { std::fclose(file_); }
  StreamFile(const StreamFile&) = delete;
  StreamFile& operator=(const StreamFile&) = delete;

  std::FILE* get() { return file_; }
  // Everything written so far.
  std::string text() {
    std::fflush(file_);
    const long end = std::ftell(file_);
    std::string s(static_cast<std::size_t>(end), '\0');
    std::rewind(file_);
    const std::size_t n = std::fread(s.data(), 1, s.size(), file_);
    s.resize(n);
    std::fseek(file_, end, SEEK_SET);
    return s;
  }

 private:
  std::FILE* file_;
};

}  // namespace zuna::testing
