// One E12.4 field under 1P, the plot files' form: the editor alone, and a
// whole statement (translation, walk, record) around it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "fio/edit-real.h"
#include "fio/format.h"

namespace {

std::vector<double> sample_values() {
  // Magnitudes of the report: mole fractions down to 1e-30, temperatures.
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-30, 4);
  std::vector<double> values(1024);
  for (double& value : values) {
    value = mantissa(random) * std::pow(10.0, exponent(random));
  }
  return values;
}

void edit_e12_4(benchmark::State& state) {
  std::vector<double> values = sample_values();
  zuna::DataEdit edit;
  edit.descriptor = 'E';
  edit.width = 12;
  edit.digits = 4;
  zuna::EditModes modes;
  modes.scale = 1;
  zuna::FieldBuffer buffer;
  std::size_t i = 0;
  for (auto _ : state) {
    zuna::Field field;
    zuna::edit_real(edit, modes, values[i++ & 1023], false, buffer, field);
    benchmark::DoNotOptimize(field);
  }
}
BENCHMARK(edit_e12_4);

class NullSink : public zuna::RecordSink {
 public:
  bool end_record(std::string_view text) override {
    benchmark::DoNotOptimize(text.data());
    return true;
  }
  bool leave_open(std::string_view text) override { return end_record(text); }
};

void statement_1p_e12_4(benchmark::State& state) {
  std::vector<double> values = sample_values();
  NullSink sink;
  zuna::OutputItem item;
  item.kind = zuna::OutputItem::Kind::real64;
  std::size_t i = 0;
  for (auto _ : state) {
    item.re = values[i++ & 1023];
    benchmark::DoNotOptimize(zuna::write_formatted("(1P,E12.4)", -1, std::span(&item, 1), sink));
  }
}
BENCHMARK(statement_1p_e12_4);

void row_7_fields(benchmark::State& state) {
  std::vector<double> values = sample_values();
  NullSink sink;
  std::vector<zuna::OutputItem> items(7);
  for (std::size_t k = 0; k < items.size(); ++k) {
    items[k].kind = zuna::OutputItem::Kind::real64;
    items[k].re = values[k];
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(zuna::write_formatted("(7(1P,E12.4))", -1, items, sink));
  }
  state.SetItemsProcessed(state.iterations() * 7);
}
BENCHMARK(row_7_fields);

}  // namespace

BENCHMARK_MAIN();
