// The JSON schemas of docs/ against the tables they describe: the rows'
// members are the commands' columns in their order and of their kinds, and
// every option that is echoed in a column names one of them, with the words
// it accepts as the column's values.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <span>
#include <sstream>
#include <string>

#include "commands/equilibrium-command.h"
#include "commands/equilibrium-options.h"
#include "commands/rocket-command.h"
#include "commands/rocket-options.h"
#include "commands/wave-command.h"
#include "commands/wave-options.h"

namespace zuna {
namespace {

using nlohmann::json;

json schema(const std::string& command) {
  std::ifstream in(std::string(ZUNA_DOCS_DIR) + "/zuna4c-" + command + ".schema.json");
  EXPECT_TRUE(in) << command;
  std::stringstream text;
  text << in.rdbuf();
  return json::parse(text.str());
}

void expect_schema_of(const std::string& command, std::span<const tables::Column> columns,
                      std::span<const OptionEntry> options) {
  SCOPED_TRACE(command);
  const json rows = schema(command)["properties"]["rows"]["items"];
  const json& required = rows["required"];
  ASSERT_EQ(required.size(), columns.size());
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const std::string name(columns[k].name);
    EXPECT_EQ(required[k], name) << "column " << k;
    const json& property = rows["properties"][name];
    ASSERT_TRUE(property.is_object()) << name;
    switch (columns[k].kind) {
      case tables::CellKind::integer: EXPECT_EQ(property["type"], "integer") << name; break;
      case tables::CellKind::number:
        EXPECT_EQ(property["type"], json::array({"number", "null"})) << name;
        break;
      case tables::CellKind::text:
        EXPECT_TRUE(property.contains("enum") || property["type"] == "string") << name;
        break;
    }
  }
  for (const OptionEntry& entry : options) {
    if (entry.column == nullptr) {
      continue;
    }
    const json& property = rows["properties"][entry.column];
    EXPECT_TRUE(property.is_object()) << "--" << entry.name << " echoed in no column";
    if (entry.choices != nullptr && property.contains("enum")) {
      json words = json::array();
      for (std::string_view c = entry.choices;;) {
        const std::size_t comma = c.find(',');
        words.push_back(std::string(c.substr(0, comma)));
        if (comma == std::string_view::npos) {
          break;
        }
        c.remove_prefix(comma + 1);
      }
      EXPECT_EQ(property["enum"], words) << entry.name;
    }
  }
}

TEST(Schemas, RowsAreTheColumnsAndOptionsOfTheTables) {
  expect_schema_of("equilibrium", equilibrium_columns(), equilibrium_options());
  expect_schema_of("rocket", console::rocket_columns(), rocket_options());
  // The species columns x_NAME of a run are the schema's pattern.
  expect_schema_of("detonation", detonation_columns(), detonation_options());
  expect_schema_of("shock", shock_columns(), shock_options());
}

}  // namespace
}  // namespace zuna
