// The one buffer a table is written through, and where its bytes go.
//
// A writer asks the buffer for room and formats straight into it (a number
// with std::to_chars, a name with a copy); the buffer hands its bytes to the
// sink only when full and at the end, so a table of ten thousand rows costs a
// few dozen system writes, not one per cell.
//
// Errors. The first failing write of the sink is kept; from then on bytes are
// dropped and ok() is false, so a caller may check once per row (or once at
// the end) and never after every cell.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace zuna::tables {

// Where the bytes go: a file, standard output, a string in a test.
class ByteSink {
 public:
  // Writes every byte or answers false.
  virtual bool write(std::string_view bytes) = 0;

 protected:
  ~ByteSink() = default;
};

// A descriptor already open for writing (standard output). Short writes are
// continued and EINTR retried; error() is the errno of a failure.
class DescriptorSink final : public ByteSink {
 public:
  explicit DescriptorSink(int fd) : fd_(fd) {}
  bool write(std::string_view bytes) override;
  int error() const { return error_; }

 private:
  int fd_;
  int error_ = 0;
};

// A string that takes the bytes: a piece of a document made apart (the
// JSON array of a member).
class TextSink final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

class OutputBuffer {
 public:
  static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 16;
  // The most a single room() may ask for.
  static constexpr std::size_t kMaxRoom = 4096;

  explicit OutputBuffer(ByteSink& sink, std::size_t capacity = kDefaultCapacity);
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // At least n (<= kMaxRoom) writable bytes at the answer; the caller writes
  // into them and then calls advance with the end of what it wrote.
  char* room(std::size_t n) {
    if (static_cast<std::size_t>(end_ - at_) < n) {
      make_room(n);
    }
    return at_;
  }
  void advance(char* to) { at_ = to; }

  void put(char c) { *room(1) = c, ++at_; }
  void put(std::string_view text);

  // Hands what is buffered to the sink; false once any write has failed.
  bool flush();
  bool ok() const { return ok_; }

 private:
  void make_room(std::size_t n);

  ByteSink& sink_;
  std::unique_ptr<char[]> data_;
  char* begin_;
  char* at_;
  char* end_;
  bool ok_ = true;
};

}  // namespace zuna::tables
