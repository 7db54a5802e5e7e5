// The batch run's CSV and JSON results read back: every number is the
// sweep's double to the last bit, and the JSON document validates against
// the schema kept with the manual page.
#include <gtest/gtest.h>
#include <cstdio>

#include <bit>
#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/results-export.h"
#include "inputs/run-parameters.h"
#include "tests/support/shipped-data.h"

namespace zuna {
namespace {

using nlohmann::json;

// Three calculations of the shipped data: the defaults, 10 atm with R3 off,
// and npmin = 0.
std::vector<Calculation> sweeps() {
  const testing::ShippedData data = testing::load_shipped_data();
  std::vector<Calculation> out;
  for (int n = 0; n < 3; ++n) {
    Calculation& c = out.emplace_back();
    c.p = dialog_default_parameters();
    c.p.ptot = n == 1 ? 10.0 : 1.0;
    c.p.act3 = n == 1 ? 0.0 : 1.0;
    c.p.npmin = n == 2 ? 0 : 10;
    c.tc = data.tc;
    run_sweep(c.p, c.tc, data.coef, *c.table, c.s, nullptr);
  }
  return out;
}

// What each exported column must hold, computed here from the table.
double expected(const Calculation& c, const std::string& name, int i) {
  const SweepTable& t = *c.table;
  static const std::vector<std::string> species = {"h2o", "o2", "h2", "h", "o", "oh"};
  for (int k = 0; k < 6; ++k) {
    if (name == "nd_" + species[k])
      return t.point[i].nd[k];
    if (name == "yd_" + species[k])
      return t.point[i].nd[k] / t.point[i].ntd;
    if (name == "fmd_" + species[k])
      return t.point[i].fmd[k];
  }
  for (int r = 0; r < 4; ++r) {
    if (name == "x" + std::to_string(r + 1))
      return t.point[i].x[r];
  }
  const std::vector<std::pair<std::string, double>> direct = {
      {"of", t.point[i].no2r * c.tc.mwk(2) / c.tc.mwk(3)},
      {"r", t.point[i].r},
      {"tadsem", t.point[i].tadsem},
      {"tadcom", t.point[i].tadcom},
      {"no2r", t.point[i].no2r},
      {"nh2o", t.point[i].nh2o},
      {"no2", t.point[i].no2},
      {"nh2", t.point[i].nh2},
      {"ntotalr", t.point[i].ntotalr},
      {"ntotalp", t.point[i].ntotalp},
      {"ntd", t.point[i].ntd},
      {"yh2r", t.point[i].yh2r},
      {"yo2r", t.point[i].yo2r},
      {"yh2o", t.point[i].yh2o},
      {"yo2", t.point[i].yo2},
      {"yh2", t.point[i].yh2},
      {"fmh2r", t.point[i].fmh2r},
      {"fmo2r", t.point[i].fmo2r},
      {"fmh2o", t.point[i].fmh2o},
      {"fmo2", t.point[i].fmo2},
      {"fmh2", t.point[i].fmh2},
      {"mmr", t.point[i].mmr},
      {"mmp", t.point[i].mmp},
      {"mmd", t.point[i].mmd},
      {"point", i},
      {"flags", t.point[i].flags},
      {"ptot", c.p.ptot},
      {"rmin", c.p.rmin},
      {"npmin", c.p.npmin},
      {"act3", c.p.act3},
      {"toln", c.p.toln}};
  for (const auto& [n, v] : direct) {
    if (n == name)
      return v;
  }
  ADD_FAILURE() << "no expectation for column " << name;
  return std::nan("");
}

double read_back(const std::string& text) {
  double v = 0.0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == text.data() + text.size()) << text;
  return v;
}

// Same bits, and written in the shortest form that reads back to them.
void expect_exact(double got_value, const std::string& got_text, double want,
                  const std::string& where) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(got_value), std::bit_cast<std::uint64_t>(want))
      << where << ": " << got_text;
  char shortest[32];
  const auto r = std::to_chars(shortest, shortest + sizeof shortest, want);
  EXPECT_EQ(got_text, std::string(shortest, r.ptr)) << where;
}

TEST(ResultsExport, CsvNumbersAreTheSweepsDoubles) {
  const std::vector<Calculation> calculations = sweeps();
  std::istringstream csv(results_csv(calculations));
  std::string line;
  ASSERT_TRUE(std::getline(csv, line));
  std::vector<std::string> names;
  std::istringstream header(line);
  for (std::string cell; std::getline(header, cell, ',');) {
    names.push_back(cell.substr(0, cell.find(" [")));  // the unit in brackets aside
  }
  ASSERT_EQ(names.size(), 62u);
  std::size_t rows = 0;
  for (const Calculation& c : calculations) {
    for (int i = 1; i <= c.s.npts; ++i, ++rows) {
      ASSERT_TRUE(std::getline(csv, line));
      std::istringstream cells(line);
      std::string cell;
      for (const std::string& name : names) {
        ASSERT_TRUE(std::getline(cells, cell, ',')) << "row " << rows;
        const bool listed = name != "calculation" && name != "rmax" && name != "npmax" &&
                            name != "tolh" && name != "itmaxh" && name != "itmaxn" &&
                            name != "act1" && name != "act2" && name != "act4";
        if (listed) {
          expect_exact(read_back(cell), cell, expected(c, name, i),
                       name + " of row " + std::to_string(rows + 1));
        }
      }
    }
  }
  EXPECT_EQ(rows, 33u + 33u + 23u);
  EXPECT_FALSE(std::getline(csv, line));
}

// A validator for the keywords the schema uses: type, const, pattern,
// minimum, maximum, required, properties, additionalProperties, items,
// minItems, maxItems. Problems are collected with their JSON pointer.
void validate(const json& value, const json& schema, const std::string& at,
              std::vector<std::string>& problems) {
  if (schema.contains("type")) {
    const json types = schema["type"].is_array() ? schema["type"] : json::array({schema["type"]});
    bool matches = false;
    for (const json& t : types) {
      const std::string type = t;
      matches = matches || (type == "object" && value.is_object()) ||
                (type == "array" && value.is_array()) || (type == "string" && value.is_string()) ||
                (type == "integer" && value.is_number_integer()) ||
                (type == "number" && value.is_number()) || (type == "null" && value.is_null());
    }
    if (!matches) {
      problems.push_back(at + ": not of type " + schema["type"].dump());
      return;
    }
  }
  if (schema.contains("const") && value != schema["const"]) {
    problems.push_back(at + ": not " + schema["const"].dump());
  }
  if (schema.contains("pattern") &&
      !std::regex_search(value.get<std::string>(),
                         std::regex(schema["pattern"].get<std::string>()))) {
    problems.push_back(at + ": does not match " + schema["pattern"].dump());
  }
  if (schema.contains("minimum") && value.is_number() && value < schema["minimum"]) {
    problems.push_back(at + ": below the minimum");
  }
  if (schema.contains("maximum") && value.is_number() && value > schema["maximum"]) {
    problems.push_back(at + ": above the maximum");
  }
  if (value.is_object()) {
    for (const json& name : schema.value("required", json::array())) {
      if (!value.contains(name.get<std::string>())) {
        problems.push_back(at + ": lacks " + name.get<std::string>());
      }
    }
    const json properties = schema.value("properties", json::object());
    for (const auto& [name, member] : value.items()) {
      if (properties.contains(name)) {
        validate(member, properties[name], at + "/" + name, problems);
      } else if (schema.value("additionalProperties", true) == false) {
        problems.push_back(at + ": unexpected member " + name);
      }
    }
  }
  if (value.is_array()) {
    if (value.size() < schema.value("minItems", 0u) ||
        value.size() > schema.value("maxItems", value.size())) {
      problems.push_back(at + ": wrong number of items");
    }
    for (std::size_t k = 0; schema.contains("items") && k < value.size(); ++k) {
      validate(value[k], schema["items"], at + "/" + std::to_string(k), problems);
    }
  }
}

TEST(ResultsExport, JsonValidatesAndHoldsTheSweepsDoubles) {
  const std::vector<Calculation> calculations = sweeps();
  const ExportSource source{"zuna.dat", std::string(64, 'a'), "1.0.0"};
  const std::string text = results_json(calculations, source);
  const json document = json::parse(text);
  std::ifstream schema_file(ZUNA_RESULTS_SCHEMA);
  ASSERT_TRUE(schema_file) << ZUNA_RESULTS_SCHEMA;
  std::vector<std::string> problems;
  validate(document, json::parse(schema_file), "", problems);
  for (const std::string& p : problems) {
    ADD_FAILURE() << p;
  }

  ASSERT_EQ(document["calculations"].size(), 3u);
  for (std::size_t n = 0; n < calculations.size(); ++n) {
    const Calculation& c = calculations[n];
    const json& run = document["calculations"][n];
    EXPECT_EQ(run["parameters"]["ptot"].get<double>(), c.p.ptot);
    EXPECT_EQ(run["parameters"]["npmin"].get<int>(), c.p.npmin);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(run["ofst"].get<double>()),
              std::bit_cast<std::uint64_t>(c.s.ofst));
    ASSERT_EQ(run["points"].size(), static_cast<std::size_t>(c.s.npts));
    for (int i = 1; i <= c.s.npts; ++i) {
      for (const auto& [name, value] : run["points"][i - 1].items()) {
        // The text of the number as written, for the shortest-form check.
        const double want = expected(c, name, i);
        char shortest[32];
        const auto r = std::to_chars(shortest, shortest + sizeof shortest, want);
        const std::string written = "\"" + name + "\": " + std::string(shortest, r.ptr);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value.get<double>()),
                  std::bit_cast<std::uint64_t>(want))
            << name << " of point " << i;
        EXPECT_NE(text.find(written), std::string::npos) << written;
      }
    }
  }
}

TEST(ResultsExport, Sha256OfBytes) {
  // The test vectors of the standard: SHA-256 of "abc" and of nothing.
  EXPECT_EQ(sha256_hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(sha256_hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  const std::string path = ::testing::TempDir() + "zuna-sha256-abc";
  { std::ofstream(path, std::ios::binary) << "abc"; }
  EXPECT_EQ(file_sha256(path), sha256_hex("abc"));
  std::remove(path.c_str());
  EXPECT_EQ(file_sha256(ZUNA_DATA_DIR "/no-such-file"), std::nullopt);
}

}  // namespace
}  // namespace zuna
