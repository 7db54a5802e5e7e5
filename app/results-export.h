// Machine-readable results of a batch run: every reported point of every
// calculation, as CSV (one header row naming each column and its unit) or as
// JSON (with the parameters, the data file's name and SHA-256 and the
// program's version). Numbers are written in the shortest form that reads
// back as the same double.
#pragma once

#include <memory>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/sweep.h"
#include "thermo/thermo.h"

namespace zuna {

// One calculation as the sweep left it.
struct Calculation {
  RunParameters p;
  ThermoConstants tc;
  SweepScalars s;
  std::unique_ptr<SweepTable> table = std::make_unique<SweepTable>();
};

// What the JSON document says about the run.
struct ExportSource {
  std::string data_file;    // the data file's name as given
  std::string data_sha256;  // lower-case hexadecimal
  std::string version;      // the program's version
};

struct EngineComparison;  // engine-comparison.h
struct EngineFlame;       // engine-comparison.h

// One row per point 1..npts of each calculation, in order, after the header.
// With `engine` (--compare-engine), the engine's columns follow the others.
std::string results_csv(std::span<const Calculation> calculations,
                        const EngineComparison* engine = nullptr);

std::string results_json(std::span<const Calculation> calculations, const ExportSource& source,
                         const EngineComparison* engine = nullptr);

// The same texts in pieces, for a run that writes each calculation as it
// finishes and keeps none: results_csv is the header, then the rows of
// calculations 1, 2, ...; results_json is the head, each calculation, the
// tail. `number` counts from 1. With `engine` (one flame per point of that
// calculation), the engine's columns follow the others; `engine` in the
// header and the head says whether they do.
std::string results_csv_header(bool engine = false);
std::string results_csv_rows(std::size_t number, const Calculation& c,
                             const std::vector<EngineFlame>* engine = nullptr);
std::string results_json_head(const ExportSource& source, bool engine = false);
std::string results_json_calculation(std::size_t number, const Calculation& c,
                                     const std::vector<EngineFlame>* engine = nullptr);
std::string results_json_tail();

// The SHA-256 of the bytes in lower-case hexadecimal.
std::string sha256_hex(std::string_view bytes);

// The SHA-256 of the file's bytes in lower-case hexadecimal; nothing when the
// file cannot be read. A pipe or FIFO is consumed by it: the batch run digests
// its data file as it reads it (load_program_data) instead.
std::optional<std::string> file_sha256(const std::string& path);

}  // namespace zuna
