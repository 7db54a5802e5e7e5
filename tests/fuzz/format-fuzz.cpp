// Arbitrary format texts and items through the formatted and list-directed
// writers. The input's first bytes choose up to eight items (kind and value);
// the rest is the format text, handed over in a buffer of exactly its length
// so that reading past it is caught, and once more NUL-terminated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "fio/format-record.h"
#include "fio/format.h"

namespace {

using zuna::IoError;
using zuna::OutputItem;

// Touches every byte of every record, so that a record pointing outside its
// buffer is caught, and checks the limits the writers promise.
class CheckingSink : public zuna::RecordSink {
 public:
  bool end_record(std::string_view text) override { return take(text); }
  bool leave_open(std::string_view text) override { return take(text); }
  unsigned sum = 0;

 private:
  bool take(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(zuna::kMaxRecordLength)) {
      std::abort();
    }
    for (char c : text) {
      sum += static_cast<unsigned char>(c);
    }
    return true;
  }
};

struct Items {
  std::vector<OutputItem> items;
  std::vector<std::unique_ptr<char[]>> texts;
};

std::uint64_t take_u64(const std::uint8_t*& data, std::size_t& size) {
  std::uint64_t value = 0;
  for (int i = 0; i < 8 && size > 0; ++i, ++data, --size) {
    value |= static_cast<std::uint64_t>(*data) << (8 * i);
  }
  return value;
}

Items make_items(const std::uint8_t*& data, std::size_t& size) {
  Items result;
  if (size == 0) {
    return result;
  }
  int count = data[0] % 9;
  ++data;
  --size;
  for (int n = 0; n < count && size > 0; ++n) {
    OutputItem item;
    auto kind = static_cast<int>(data[0] % 10);
    ++data;
    --size;
    item.kind = static_cast<OutputItem::Kind>(kind);
    std::uint64_t bits = take_u64(data, size);
    switch (item.kind) {
      case OutputItem::Kind::int8: item.i = static_cast<std::int8_t>(bits); break;
      case OutputItem::Kind::int16: item.i = static_cast<std::int16_t>(bits); break;
      case OutputItem::Kind::int32: item.i = static_cast<std::int32_t>(bits); break;
      case OutputItem::Kind::int64: item.i = static_cast<std::int64_t>(bits); break;
      case OutputItem::Kind::logical: item.i = bits & 1; break;
      case OutputItem::Kind::real32:
      case OutputItem::Kind::complex64: {
        float re = 0, im = 0;
        auto low = static_cast<std::uint32_t>(bits);
        auto high = static_cast<std::uint32_t>(bits >> 32);
        std::memcpy(&re, &low, sizeof re);
        std::memcpy(&im, &high, sizeof im);
        item.re = re;
        item.im = im;
        break;
      }
      case OutputItem::Kind::real64:
      case OutputItem::Kind::complex128: {
        std::memcpy(&item.re, &bits, sizeof item.re);
        std::uint64_t more = take_u64(data, size);
        std::memcpy(&item.im, &more, sizeof item.im);
        break;
      }
      case OutputItem::Kind::chars: {
        int length = static_cast<int>(bits % 100) - 5;  // a few negative lengths too
        int stored = length > 0 ? length : 0;
        auto text = std::make_unique<char[]>(static_cast<std::size_t>(stored) + 1);
        for (int i = 0; i < stored; ++i) {
          text[i] = static_cast<char>(
              'a' + (static_cast<unsigned>(i) + static_cast<unsigned>(bits >> 8)) % 26);
        }
        item.text = stored > 0 ? text.get() : nullptr;
        item.length = length;
        result.texts.push_back(std::move(text));
        break;
      }
    }
    result.items.push_back(item);
  }
  return result;
}

bool known_status(IoError status) {
  int number = zuna::error_number(status);
  return status == IoError::ok || (number >= 6501 && number <= 6510) ||
         status == IoError::record_too_long || status == IoError::file_write_failed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Items items = make_items(data, size);
  CheckingSink sink;

  // Exactly the format's bytes, no terminator: any read past them is caught.
  auto exact = std::make_unique<char[]>(size > 0 ? size : 1);
  if (size > 0) {
    std::memcpy(exact.get(), data, size);
  }
  int length = static_cast<int>(size);
  IoError status = zuna::write_formatted(exact.get(), length, items.items, sink);
  if (!known_status(status)) {
    std::abort();
  }

  std::vector<char> terminated(data, data + size);
  terminated.push_back('\0');
  status = zuna::write_formatted(terminated.data(), -1, items.items, sink);
  if (!known_status(status)) {
    std::abort();
  }

  if (zuna::write_list_directed(items.items, sink) != IoError::ok) {
    std::abort();
  }
  return 0;
}
