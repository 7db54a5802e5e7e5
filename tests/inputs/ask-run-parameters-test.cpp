// The run-parameter dialog through scripted dialogs: defaults, conversions of
// typed texts, and the dialog shown again when a field cannot be used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"
#include "fio/fio.h"
#include "inputs/inputs.h"
#include "inputs/run-parameters.h"
#include "tests/support/recording-host.h"

namespace zuna::testing {
namespace {

// Values no field reads as, so that a field left unread shows.
constexpr RunParameters kUnread{-7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7, -7};

class AskRunParameters : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime_start(host);
    dialogs_start(host);
  }

  RunParameters ask(const RunParameters& start = kUnread) { return ask_run_parameters(start); }

  // A scripted user: types these texts, unticks these boxes, presses OK.
  void user(std::vector<std::pair<int, std::string>> texts, std::vector<int> untick = {}) {
    host.dialog_scripts.push_back([texts, untick](MemoryDialogWindow& w, DialogController& c) {
      for (const auto& [id, text] : texts) {
        w.controls[id].text = text;
      }
      for (int id : untick) {
        w.controls[id].checked = false;
      }
      c.dialog_command(1, kBnClicked);
    });
  }

  int dialogs_shown() const {
    int n = 0;
    for (const std::string& e : host.events) {
      n += e == "dialog";
    }
    return n;
  }

  RecordingHost host;
};

TEST_F(AskRunParameters, OkUntouchedGivesTheDefaults) {
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    const std::vector<std::pair<int, std::string>> shown = {
        {1000, "0.5d0"},  {1001, "2.0d0"}, {1003, "10"},      {1004, "20"}, {1005, "1.0d0"},
        {1009, "1.0d-3"}, {1010, "100"},   {1011, "1.0d-10"}, {1012, "200"}};
    for (const auto& [id, text] : shown) {
      EXPECT_EQ(w.controls[id].text, text) << id;
    }
    for (int id : {1019, 1020, 1021, 1022}) {
      EXPECT_TRUE(w.controls[id].checked) << id;
    }
    c.dialog_command(1, kBnClicked);
  });
  RunParameters p = ask();
  EXPECT_EQ(p.rmin, 0.5);
  EXPECT_EQ(p.rmax, 2.0);
  EXPECT_EQ(p.npmin, 10);
  EXPECT_EQ(p.npmax, 20);
  EXPECT_EQ(p.ptot, 1.0);
  EXPECT_EQ(p.tolh, 0.001);
  EXPECT_EQ(p.itmaxh, 100);
  EXPECT_EQ(p.toln, 1.0E-10);
  EXPECT_EQ(p.itmaxn, 200);
  EXPECT_EQ(std::vector<double>({p.act1, p.act2, p.act3, p.act4}),
            std::vector<double>({1.0, 1.0, 1.0, 1.0}));
  // The batch run, the benchmarks and the checks take these from one place.
  auto fields = [](const auto& q) {
    return std::tuple(q.npmin, q.npmax, q.itmaxh, q.itmaxn, q.rmin, q.rmax, q.ptot, q.tolh, q.toln,
                      q.act1, q.act2, q.act3, q.act4);
  };
  EXPECT_EQ(fields(p), fields(dialog_default_parameters()));
  EXPECT_TRUE(host.message_boxes.empty());
  EXPECT_EQ(dialogs_shown(), 1);
}

TEST_F(AskRunParameters, TypedTextsReadAsListDirectedValues) {
  user({{1003, "15 pontos"}, {1001, "2.5E0"}, {1004, "0"}, {1009, "  2.5E-4"}, {1011, "1.0-5"}},
       {1020});
  RunParameters p = ask();
  EXPECT_EQ(p.npmin, 15);  // what follows the first value is ignored
  EXPECT_EQ(p.rmax, 2.5);
  EXPECT_EQ(p.npmax, 0);
  EXPECT_EQ(p.tolh, 2.5E-4);
  EXPECT_EQ(p.toln, 1.0E-5);
  EXPECT_EQ(std::vector<double>({p.act1, p.act2, p.act3, p.act4}),
            std::vector<double>({1.0, 0.0, 1.0, 1.0}));
  EXPECT_TRUE(host.message_boxes.empty());
}

TEST_F(AskRunParameters, UnreadableFieldsAreNamedAndTheDialogComesBackAsTyped) {
  user({{1005, "abc"}, {1010, "1.5"}, {1003, "15 pontos"}}, {1021});
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(w.controls[1005].text, "abc");
    EXPECT_EQ(w.controls[1010].text, "1.5");
    EXPECT_EQ(w.controls[1003].text, "15 pontos");
    EXPECT_EQ(w.controls[1000].text, "0.5d0");
    EXPECT_FALSE(w.controls[1021].checked);
    EXPECT_TRUE(w.controls[1022].checked);
    w.controls[1005].text = "3";
    w.controls[1010].text = "150";
    c.dialog_command(1, kBnClicked);
  });
  RunParameters p = ask();
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0],
            "DADOS|\"press\xE3o total do sistema (atm)\": \"abc\" n\xE3o \xE9 um n\xFAmero "
            "v\xE1lido.\n"
            "\"itera\xE7\xF5"
            "es para c\xE1lculo da entalpia\": \"1.5\" n\xE3o \xE9 um n\xFAmero "
            "inteiro v\xE1lido.\n"
            "Corrija e pressione OK novamente.");
  EXPECT_EQ(dialogs_shown(), 2);
  EXPECT_EQ(p.ptot, 3.0);
  EXPECT_EQ(p.itmaxh, 150);
  EXPECT_EQ(p.npmin, 15);
  EXPECT_EQ(p.act3, 0.0);
  EXPECT_EQ(p.act4, 1.0);
}

TEST_F(AskRunParameters, PointCountsThatOverrunTheTablesAreRefused) {
  user({{1003, "60"}, {1004, "41"}});
  user({{1003, "-1"}, {1004, "0"}});
  user({{1003, "2147483647"}, {1004, "2147483647"}});
  user({{1003, "60"}, {1004, "40"}});  // exactly 100: the tables hold it
  RunParameters p = ask();
  EXPECT_EQ(p.npmin, 60);
  EXPECT_EQ(p.npmax, 40);
  ASSERT_EQ(host.message_boxes.size(), 3u);
  EXPECT_EQ(host.message_boxes[0],
            "DADOS|Os pontos entre a raz\xE3o m\xEDnima e a estequiom\xE9trica (60) e entre a "
            "raz\xE3o m\xE1xima e a estequiom\xE9trica (41) devem ser de 0 a 100, com soma de no "
            "m\xE1ximo 100.\nCorrija e pressione OK novamente.");
  EXPECT_NE(host.message_boxes[1].find("(-1)"), std::string::npos);
  EXPECT_NE(host.message_boxes[2].find("(2147483647)"), std::string::npos);
}

// Texts that give no value would keep an older value unseen; a decimal
// comma reads as its integer part; a text that fills the field may have
// been cut. Each is refused, naming the field, and the dialog comes back.
TEST_F(AskRunParameters, TextsThatGiveNoValueOrAWrongOneAreRefused) {
  user({{1000, ""},
        {1001, "/"},
        {1003, ","},
        {1004, "3*"},
        {1005, "1,5"},
        {1009, "0,001 J"},
        {1010, std::string(300, '1')},
        {1012, "   "}});
  user({{1000, "0.5"},
        {1001, "2"},
        {1003, "4"},
        {1004, "5"},
        {1005, "1.5"},
        {1009, "0.001 J"},
        {1010, "100"},
        {1012, "200"}});
  RunParameters p = ask();
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0],
            "DADOS|"
            "\"raz\xE3o m\xEDnima em massa da mistura O2/H2\": \"\" n\xE3o cont\xE9m um valor.\n"
            "\"raz\xE3o m\xE1xima em massa da mistura O2/H2\": \"/\" n\xE3o cont\xE9m um valor.\n"
            "\"pontos entre a raz\xE3o m\xEDnima e a estequiom\xE9trica\": \",\" n\xE3o cont\xE9m "
            "um valor.\n"
            "\"pontos entre a raz\xE3o m\xE1xima e a estequiom\xE9trica\": \"3*\" n\xE3o cont\xE9m "
            "um valor.\n"
            "\"press\xE3o total do sistema (atm)\": \"1,5\" tem v\xEDrgula decimal; use o ponto "
            "decimal (0.5).\n"
            "\"toler\xE2ncia da entalpia (J)\": \"0,001 J\" tem v\xEDrgula decimal; use o ponto "
            "decimal (0.5).\n"
            "\"itera\xE7\xF5"
            "es para c\xE1lculo da entalpia\": texto longo demais (no m\xE1ximo "
            "254 caracteres).\n"
            "\"itera\xE7\xF5"
            "es para c\xE1lculo dos coeficientes estequiom\xE9tricos\": \"\" "
            "n\xE3o cont\xE9m um valor.\n"
            "Corrija e pressione OK novamente.");
  EXPECT_EQ(dialogs_shown(), 2);
  EXPECT_EQ(p.rmin, 0.5);
  EXPECT_EQ(p.rmax, 2.0);
  EXPECT_EQ(p.npmin, 4);
  EXPECT_EQ(p.npmax, 5);
  EXPECT_EQ(p.ptot, 1.5);
  EXPECT_EQ(p.tolh, 0.001);
  EXPECT_EQ(p.itmaxh, 100);
  EXPECT_EQ(p.itmaxn, 200);
}

// Each value outside the model's domain is refused with the field and the
// accepted range; the limits themselves are accepted.
TEST_F(AskRunParameters, ValuesOutsideTheDomainAreRefusedWithTheirRange) {
  struct Case {
    int id;
    const char* refused;
    const char* accepted;
    const char* line;
  };
  const Case cases[] = {
      {1000, "0", "1",
       "\"raz\xE3o m\xEDnima em massa da mistura O2/H2\": 0 fora da faixa aceita "
       "(maior que 0 e at\xE9 1).\n"},
      {1000, "1.01", "1E-3",
       "\"raz\xE3o m\xEDnima em massa da mistura O2/H2\": 1.01 fora da "
       "faixa aceita (maior que 0 e at\xE9 1).\n"},
      {1001, "0.99", "1",
       "\"raz\xE3o m\xE1xima em massa da mistura O2/H2\": 0.99 fora da faixa "
       "aceita (de 1 a 100).\n"},
      {1001, "100.5", "100",
       "\"raz\xE3o m\xE1xima em massa da mistura O2/H2\": 100.5 fora da "
       "faixa aceita (de 1 a 100).\n"},
      {1005, "0", "1E-6",
       "\"press\xE3o total do sistema (atm)\": 0 fora da faixa aceita (de 1E-6 "
       "a 1E5).\n"},
      {1005, "-1", "1E5",
       "\"press\xE3o total do sistema (atm)\": -1 fora da faixa aceita (de "
       "1E-6 a 1E5).\n"},
      {1009, "0", "1E-9",
       "\"toler\xE2ncia da entalpia (J)\": 0 fora da faixa aceita (maior que "
       "0).\n"},
      {1010, "0", "1",
       "\"itera\xE7\xF5"
       "es para c\xE1lculo da entalpia\": 0 fora da faixa "
       "aceita (de 1 a 99999).\n"},
      {1011, "-1d-10", "1d-300",
       "\"toler\xE2ncia dos coeficientes estequiom\xE9tricos "
       "(n.moles)\": -1E-10 fora da faixa aceita (maior que 0).\n"},
      {1012, "100000", "99999",
       "\"itera\xE7\xF5"
       "es para c\xE1lculo dos coeficientes "
       "estequiom\xE9tricos\": 100000 fora da faixa aceita (de 1 a "
       "99999).\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.refused);
    host.message_boxes.clear();
    user({{c.id, c.refused}});
    user({{c.id, c.accepted}});
    ask();
    ASSERT_EQ(host.message_boxes.size(), 1u);
    EXPECT_EQ(host.message_boxes[0],
              std::string("DADOS|") + c.line + "Corrija e pressione OK novamente.");
  }
  EXPECT_EQ(dialogs_shown(), 2 * static_cast<int>(std::size(cases)));
}

// The checks the command line shares with the dialog.
TEST(CheckRunParameters, EachFieldOutsideItsDomainInFieldOrder) {
  RunParameters p{10, 20, 100, 200, 0.5, 2.0, 1.0, 1e-3, 1e-10, 1.0, 1.0, 1.0, 1.0};
  EXPECT_TRUE(check_run_parameters(p).empty());
  RunParameters edges{0, 100, 1, 99999, 1.0, 1.0, 1.0E-6, 1e-300, 1e-300, 0, 0, 0, 0};
  EXPECT_TRUE(check_run_parameters(edges).empty());
  edges.rmax = 100.0, edges.ptot = 1.0E5, edges.npmin = 100, edges.npmax = 0;
  EXPECT_TRUE(check_run_parameters(edges).empty());

  const double nan = std::nan("");
  RunParameters bad{-1, 5, 0, 100000, nan, 0.5, 2e5, nan, -1.0, 1.0, 1.0, 1.0, 1.0};
  std::vector<ParameterField> fields;
  for (const ParameterProblem& problem : check_run_parameters(bad)) {
    fields.push_back(problem.field);
    // The range comes with the problem, for each front end to word.
    const ParameterRange& range = parameter_descriptor(problem.field).range;
    EXPECT_EQ(problem.range.lowest, range.lowest);
    EXPECT_EQ(problem.range.highest, range.highest);
  }
  EXPECT_EQ(fields, (std::vector<ParameterField>{ParameterField::rmin, ParameterField::rmax,
                                                 ParameterField::npmin, ParameterField::ptot,
                                                 ParameterField::tolh, ParameterField::itmaxh,
                                                 ParameterField::toln, ParameterField::itmaxn}));
  // Counts that only together overrun the tables are npmax's problem.
  RunParameters sum = p;
  sum.npmin = 60, sum.npmax = 41;
  ASSERT_EQ(check_run_parameters(sum).size(), 1u);
  EXPECT_EQ(check_run_parameters(sum)[0].field, ParameterField::npmax);
  EXPECT_EQ(check_run_parameters(sum)[0].kind, ProblemKind::point_sum);
  EXPECT_EQ(check_run_parameters(sum)[0].range.highest, kMaxInnerPoints);
  // A count out of its own range is that count's problem, whatever the sum.
  sum.npmin = 101, sum.npmax = -1;
  ASSERT_EQ(check_run_parameters(sum).size(), 1u);
  EXPECT_EQ(check_run_parameters(sum)[0].field, ParameterField::npmin);
  EXPECT_EQ(check_run_parameters(sum)[0].kind, ProblemKind::point_counts);
  sum.npmin = 0;
  EXPECT_EQ(check_run_parameters(sum)[0].field, ParameterField::npmax);
  EXPECT_EQ(check_run_parameters(sum)[0].kind, ProblemKind::point_counts);
}

// The table gives every field once, in the order of ParameterField, with a
// dialog control of its own, and defaults inside the ranges (the dialog's
// default texts read as the defaults: OkUntouchedGivesTheDefaults).
TEST(RunParameterTable, FieldsDefaultsAndControlsAgree) {
  std::vector<int> ids;
  const RunParameters defaults = dialog_default_parameters();
  EXPECT_TRUE(check_run_parameters(defaults).empty());
  for (std::size_t i = 0; i < kRunParameterTable.size(); ++i) {
    const ParameterDescriptor& d = kRunParameterTable[i];
    SCOPED_TRACE(d.name);
    EXPECT_EQ(static_cast<std::size_t>(d.field), i);
    EXPECT_EQ(parameter_value(defaults, d), d.default_value);
    ids.push_back(d.dialog.control_id);
    if (d.type == ParameterType::reaction_switch) {
      continue;
    }
    ASSERT_NE(d.default_text, nullptr);
    ASSERT_NE(d.dialog.label, nullptr);
    ASSERT_NE(d.option.name, nullptr);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST(RunParameterTable, PlaceholdersAreFilledByName) {
  EXPECT_EQ(fill_placeholders("de {lo} a {hi}; {hi}", {{"lo", "1"}, {"hi", "1E5"}}),
            "de 1 a 1E5; 1E5");
  // Unknown or unclosed names stay as written.
  EXPECT_EQ(fill_placeholders("{x} {lo", {{"lo", "1"}}), "{x} {lo");
}

TEST_F(AskRunParameters, MissingTemplateWritesTheErrorAndChangesNothing) {
  std::span<const std::uint8_t> stored = find_dialog_template(101);
  std::vector<std::uint8_t> copy(stored.begin(), stored.end());
  register_dialog_template(101, {});
  RunParameters p = ask();
  register_dialog_template(101, copy);
  EXPECT_EQ(host.output(), "Error: dialog not found");
  EXPECT_EQ(dialogs_shown(), 0);
  EXPECT_EQ(p.npmin, -7);
  EXPECT_EQ(p.ptot, -7);
  EXPECT_EQ(p.act1, -7);
}

}  // namespace
}  // namespace zuna::testing
