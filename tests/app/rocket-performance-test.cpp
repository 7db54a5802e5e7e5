// The rocket performance of the windowed program's menu "Cálculo" at the
// host seam: dialog 105 with its defaults and refusals, the result table,
// and the whole item run from inside the results menu of a real session
// (the report foguete against its golden copy, isp.dat, the results).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/program-menu.h"
#include "app/rocket-performance.h"
#include "app/zuna4.h"
#include "dialogs/dialogs.h"
#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"
#include "fio/fio.h"
#include "resources/stored-templates.h"
#include "tests/support/recording-host.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;
using testing::MemoryDialogWindow;
using testing::RecordingHost;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A user of dialog 105: types these texts, then presses this button.
testing::DialogScript user(std::vector<std::pair<int, std::string>> texts, int button = 1,
                           int model = 0, bool gas = false) {
  return [=](MemoryDialogWindow& w, DialogController& c) {
    for (const auto& [id, text] : texts) {
      w.controls[id].text = text;
    }
    if (model != 0) {
      for (int id : {1110, 1111, 1112}) {
        w.controls[id].checked = id == model;
      }
    }
    if (gas) {
      w.controls[1113].checked = false;
      w.controls[1114].checked = true;
    }
    c.dialog_command(button, kBnClicked);
  };
}

class RocketDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    register_stored_dialog_templates();
    runtime_start(host);
    dialogs_start(host);
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

TEST_F(RocketDialog, DefaultsShownAndReadBack) {
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(w.controls[1120].text, "2");
    EXPECT_EQ(w.controls[1121].text, "16");
    EXPECT_EQ(w.controls[1122].text, "15");
    EXPECT_EQ(w.controls[1100].text, "68.046");
    EXPECT_EQ(w.controls[1101].text, "10");
    EXPECT_EQ(w.controls[1102].text, "100");
    EXPECT_EQ(w.controls[1103].text, "1000");
    EXPECT_EQ(w.controls[1104].text, "");
    EXPECT_EQ(w.controls[1105].text, "10");
    EXPECT_EQ(w.controls[1106].text, "50");
    EXPECT_EQ(w.controls[1107].text, "");
    EXPECT_TRUE(w.controls[1110].checked);
    EXPECT_FALSE(w.controls[1111].checked);
    EXPECT_TRUE(w.controls[1113].checked);
    EXPECT_FALSE(w.controls[1114].checked);
    c.dialog_command(1, kBnClicked);
  });
  RocketInputs in;
  ASSERT_TRUE(ask_rocket_inputs(in));
  EXPECT_EQ(in.of_low, 2.0);
  EXPECT_EQ(in.of_high, 16.0);
  EXPECT_EQ(in.of_count, 15);
  EXPECT_EQ(in.pc_atm, 68.046);
  EXPECT_EQ(in.pi_p, (std::vector<double>{10, 100, 1000}));
  EXPECT_EQ(in.ae_at, (std::vector<double>{10, 50}));
  EXPECT_EQ(in.model, rocket::Model::equilibrium);
  EXPECT_FALSE(in.gas);
  EXPECT_TRUE(host.message_boxes.empty());
}

TEST_F(RocketDialog, TypedValuesEmptyFieldsModelAndReactants) {
  host.dialog_scripts.push_back(user(
      {{1100, " 1.0d2 "}, {1101, ""}, {1102, "40"}, {1103, ""}, {1105, "1.5"}, {1106, ""}},
      1, 1112, true));
  RocketInputs in;
  ASSERT_TRUE(ask_rocket_inputs(in));
  EXPECT_EQ(in.pc_atm, 100.0);
  EXPECT_EQ(in.pi_p, (std::vector<double>{40}));
  EXPECT_EQ(in.ae_at, (std::vector<double>{1.5}));
  EXPECT_EQ(in.model, rocket::Model::frozen_throat);
  EXPECT_TRUE(in.gas);
}

TEST_F(RocketDialog, ValuesOutOfRangeAreNamedAndTheDialogComesBackAsTyped) {
  host.dialog_scripts.push_back(
      user({{1100, "2e4"}, {1101, "1"}, {1106, "0.5"}, {1107, "abc"}}, 1, 1111));
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    EXPECT_EQ(w.controls[1100].text, "2e4");
    EXPECT_EQ(w.controls[1101].text, "1");
    EXPECT_EQ(w.controls[1106].text, "0.5");
    EXPECT_EQ(w.controls[1107].text, "abc");
    EXPECT_TRUE(w.controls[1111].checked) << "the model chosen is kept";
    w.controls[1100].text = "1e4";
    w.controls[1101].text = "1.0001";
    w.controls[1106].text = "1";
    w.controls[1107].text = "";
    c.dialog_command(1, kBnClicked);
  });
  RocketInputs in;
  ASSERT_TRUE(ask_rocket_inputs(in));
  // One box, one line per field in the dialog's order: a text that does not
  // read, or a value that reads but is refused.
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0],
            "DESEMPENHO COMO MOTOR-FOGUETE|Press\xE3o na c\xE2mara: 20000 fora da faixa "
            "aceita (de 1E-4 a 1E4 atm).\n"
            "Raz\xE3o de press\xE3o Pc/Pe: 1 fora da faixa aceita (maior que 1).\n"
            "Raz\xE3o de \xE1rea Ae/At: 0.5 fora da faixa aceita (1 ou maior).\n"
            "Raz\xE3o de \xE1rea Ae/At: \"abc\" n\xE3o \xE9 um n\xFAmero (faixa aceita: 1 ou "
            "maior).\n"
            "Corrija e pressione OK novamente.");
  EXPECT_EQ(dialogs_shown(), 2);
  EXPECT_EQ(in.pc_atm, 1e4);
  EXPECT_EQ(in.pi_p, (std::vector<double>{1.0001, 100, 1000}));
  EXPECT_EQ(in.ae_at, (std::vector<double>{10, 1}));
  EXPECT_EQ(in.model, rocket::Model::frozen_chamber);
}

TEST_F(RocketDialog, ModelAndReactantsAreTwoRadioGroups) {
  // Choosing gaseous reactants must leave the model chosen, and the reverse.
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    c.dialog_command(1111, kBnClicked);
    w.set_check(1110, false);
    w.set_check(1111, true);
    c.dialog_command(1114, kBnClicked);
    w.set_check(1113, false);
    w.set_check(1114, true);
    c.dialog_command(1, kBnClicked);
  });
  RocketInputs in;
  ASSERT_TRUE(ask_rocket_inputs(in));
  EXPECT_EQ(in.model, rocket::Model::frozen_chamber);
  EXPECT_TRUE(in.gas);
  Dialog d;
  ASSERT_TRUE(dialog_load(105, d));
  auto group = [&d](int id) {
    for (const DialogControl& c : d.controls) {
      if (c.id == id) {
        return std::pair(c.ints.at(0), c.ints.at(1));
      }
    }
    return std::pair(-1, -1);
  };
  EXPECT_EQ(group(1110), group(1112));
  EXPECT_EQ(group(1113), group(1114));
  EXPECT_NE(group(1110), group(1113));
  dialog_release(d);
}

TEST_F(RocketDialog, CancelChangesNothingAndAsksNothing) {
  host.dialog_scripts.push_back(user({{1100, "-3"}}, 2));
  RocketInputs in;
  in.pc_atm = 5.0;
  EXPECT_FALSE(ask_rocket_inputs(in));
  EXPECT_EQ(in.pc_atm, 5.0);
  EXPECT_TRUE(host.message_boxes.empty());
}

// The decimal comma, as the dialog itself writes "298,15 K"; a letter in
// a number names the field and its range.
TEST_F(RocketDialog, DecimalCommaIsReadAndLettersNameTheRange) {
  host.dialog_scripts.push_back(
      user({{1120, "2,5"}, {1121, "12,75"}, {1122, "x"}, {1100, "20,5"}}));
  host.dialog_scripts.push_back(user({{1122, "12"}}));
  RocketInputs in;
  ASSERT_TRUE(ask_rocket_inputs(in));
  EXPECT_EQ(in.of_low, 2.5);
  EXPECT_EQ(in.of_high, 12.75);
  EXPECT_EQ(in.of_count, 12);
  EXPECT_EQ(in.pc_atm, 20.5);
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0],
            "DESEMPENHO COMO MOTOR-FOGUETE|N\xFAmero de pontos de O/F: \"x\" n\xE3o \xE9 um "
            "n\xFAmero (faixa aceita: inteiro de 2 a 201).\n"
            "Corrija e pressione OK novamente.");
}

// The O/F range is the dialog's own: a refused range names the field and
// the engine's range, and typing a good one ends the dialog (no message
// about a field the dialog does not have, no refusal that cannot be
// mended).
TEST_F(RocketDialog, OfRangeRefusedByItsFieldsAndMendedThere) {
  host.dialog_scripts.push_back(user({{1120, "0.3"}, {1121, "400"}, {1122, "1"}}));
  host.dialog_scripts.push_back(user({{1120, "9"}, {1121, "3"}, {1122, "2.5"}}));
  host.dialog_scripts.push_back(user({{1120, "3"}, {1121, "9"}, {1122, "2"}}));
  RocketInputs in;
  ASSERT_TRUE(ask_rocket_inputs(in));
  EXPECT_EQ(dialogs_shown(), 3);
  ASSERT_EQ(host.message_boxes.size(), 2u);
  const std::string& first = host.message_boxes[0];
  EXPECT_NE(first.find("O/F inicial: 0.3 fora da faixa aceita (de 0.79"), std::string::npos)
      << first;
  EXPECT_NE(first.find("O/F final: 400 fora da faixa aceita (de 0.79"), std::string::npos)
      << first;
  EXPECT_NE(first.find(" a 317."), std::string::npos) << first;
  EXPECT_NE(first.find("N\xFAmero de pontos de O/F: 1 fora da faixa aceita (inteiro de 2 a 201)"),
            std::string::npos)
      << first;
  EXPECT_EQ(first.find("novo c\xE1lculo"), std::string::npos) << first;
  const std::string& second = host.message_boxes[1];
  EXPECT_NE(second.find("O/F inicial 9 n\xE3o \xE9 menor que o O/F final 3"), std::string::npos)
      << second;
  EXPECT_NE(second.find("pontos de O/F: 2.5 fora"), std::string::npos) << second;
  EXPECT_EQ(rocket_of_points(in), (std::vector<double>{3, 9}));
}

// The fields in the tab order go top to bottom (left to right in a row),
// the buttons last: the manager's tab order is the template's order.
TEST(RocketDialogTemplate, TabOrderFollowsTheFieldsTopToBottom) {
  std::optional<DialogTemplate> t;
  for (const StoredDialogTemplate& stored : stored_dialog_templates()) {
    if (stored.id == 105) {
      t = parse_dialog_template(stored.bytes);
    }
  }
  ASSERT_TRUE(t.has_value());
  constexpr std::uint32_t kTabStop = 0x00010000;
  std::vector<int> order;
  int x = -1, y = -1;
  for (const DialogTemplateItem& item : t->items) {
    if ((item.style & kTabStop) == 0) {
      continue;
    }
    order.push_back(item.id);
    EXPECT_TRUE(item.y > y || (item.y == y && item.x > x))
        << "control " << item.id << " at " << item.x << "," << item.y;
    x = item.x;
    y = item.y;
  }
  EXPECT_EQ(order, (std::vector<int>{1120, 1121, 1122, 1100, 1101, 1102, 1103, 1104, 1105, 1106,
                                     1107, 1108, 1110, 1113, 1, 2}));
}

TEST(RocketInputsCheck, RangesAtTheirEdges) {
  RocketInputs in;
  EXPECT_EQ(check_rocket_inputs(in), "");
  in.pc_atm = 1e-4;
  in.pi_p = {1.000001};
  in.ae_at = {1.0};
  in.of_count = 201;
  EXPECT_EQ(check_rocket_inputs(in), "");
  in.pc_atm = 0.99e-4;
  EXPECT_NE(check_rocket_inputs(in).find("fora da faixa"), std::string::npos);
  in.pc_atm = 1e4;
  in.pi_p.clear();
  in.ae_at.clear();
  EXPECT_EQ(check_rocket_inputs(in),
            "Nenhuma sa\xED" "da: d\xEA ao menos uma raz\xE3o de press\xE3o ou de \xE1rea.\n");
  in.ae_at = {2};
  in.of_count = 202;
  EXPECT_NE(check_rocket_inputs(in).find("pontos de O/F: 202 fora"), std::string::npos);
  in.of_count = 2;
  in.of_low = 0.3968;  // 0.05 of the stoichiometric O/F
  EXPECT_EQ(check_rocket_inputs(in).rfind("O/F inicial: 0.3968 fora da faixa aceita (de 0.79", 0),
            0u);
}

TEST(RocketOfPoints, EvenlySpacedWithTheEndsExact) {
  RocketInputs in;
  const std::vector<double> of = rocket_of_points(in);
  ASSERT_EQ(of.size(), 15u);
  EXPECT_EQ(of.front(), 2.0);
  EXPECT_EQ(of[1], 3.0);
  EXPECT_EQ(of.back(), 16.0);
  in.of_low = 0.9;
  in.of_high = 7.9;
  in.of_count = 71;
  const std::vector<double> fine = rocket_of_points(in);
  ASSERT_EQ(fine.size(), 71u);
  EXPECT_EQ(fine.back(), 7.9);
  for (std::size_t i = 1; i < fine.size(); ++i) {
    EXPECT_NEAR(fine[i] - fine[i - 1], 0.1, 1e-12);
  }
}

// The text for a spreadsheet: one header line, a column per exit and
// quantity, an empty cell where a station has no value, the chamber
// pressure's column only when the rows have several.
TEST(RocketTableText, HeaderCellsAndSeparators) {
  RocketTable t;
  t.quantities = {"Isp (s)", "Ivac (s)"};
  t.exits = {"Pc/Pe=10", "Ae/At=50"};
  t.rows.push_back({2.0, 68.046, {300.126, 320, NAN, NAN}, {"", "sem sa\xED" "da"}});
  t.rows.push_back({3.5, 68.046, {310, 330, 400, 410.5}, {"", ""}});
  EXPECT_EQ(rocket_table_text(t, '\t'),
            "O/F\tPc/Pe=10 Isp (s)\tPc/Pe=10 Ivac (s)\tAe/At=50 Isp (s)\tAe/At=50 Ivac (s)\n"
            "2.0000\t300.13\t320.00\t\t\n"
            "3.5000\t310.00\t330.00\t400.00\t410.50\n");
  t.rows[1].pc_atm = 100;
  EXPECT_TRUE(t.several_pressures());
  EXPECT_EQ(rocket_table_text(t, ','),
            "O/F,Pc (atm),Pc/Pe=10 Isp (s),Pc/Pe=10 Ivac (s),Ae/At=50 Isp (s),Ae/At=50 Ivac (s)\n"
            "2.0000,68.046,300.13,320.00,,\n"
            "3.5000,100,310.00,330.00,400.00,410.50\n");
}

// --- The item in a whole session ------------------------------------------------

class RocketSession : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("zuna-rocket-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", dir_ / "zuna.dat");
    old_ = fs::current_path();
    fs::current_path(dir_);
    runtime_start(host_);
    dialogs_start(host_);
  }
  void TearDown() override {
    fs::current_path(old_);
    fs::remove_all(dir_);
  }

  static void choose(MemoryDialogWindow& w, DialogController& c, int choice) {
    for (int other : {1013, 1014, 1015, 1016, 1030, 1031, 1032, 1033, 1034, 1041}) {
      w.set_check(other, other == choice);
    }
    c.dialog_command(choice, kBnClicked);
    c.dialog_command(1, kBnClicked);
  }

  // The default calculation; in its results menu the item runs with these
  // dialog scripts, then the program ends, or, with `new_calculation`, a
  // second calculation is made first.
  int run_with_item(std::vector<testing::DialogScript> item_dialogs,
                    bool new_calculation = false) {
    host_.input_lines = {"", "", "", ""};
    host_.dialog_scripts.push_back(RecordingHost::press_ok);
    host_.dialog_scripts.push_back([this, new_calculation](MemoryDialogWindow& w,
                                                           DialogController& c) {
      ready_in_menu_ = program_menu_ready();
      run_rocket_performance();
      results_after_run_ = rocket_results();
      choose(w, c, new_calculation ? 1033 : 1034);
    });
    for (auto& d : item_dialogs) {
      host_.dialog_scripts.push_back(std::move(d));
    }
    if (new_calculation) {
      host_.dialog_scripts.push_back(RecordingHost::press_ok);
      host_.dialog_scripts.push_back([this](MemoryDialogWindow& w, DialogController& c) {
        results_in_new_menu_ = rocket_results();
        files_current_in_new_menu_ = rocket_files_written();
        choose(w, c, 1034);
      });
    }
    // The item's dialogs are taken while the results menu's script runs.
    try {
      zuna4_main();
    } catch (const ProgramExit& e) {
      return e.exit_code;
    }
    return -1;
  }

  RecordingHost host_;
  fs::path dir_, old_;
  bool ready_in_menu_ = false;
  std::shared_ptr<const RocketTable> results_after_run_, results_in_new_menu_;
  bool files_current_in_new_menu_ = true;
};

// The day, the hour and the version of the heading change; the rest not.
std::string without_date(const std::string& report) {
  static const std::regex stamp(R"(zuna4 [^,\r\n]*, \d\d/\d\d/\d{4} \d\d:\d\d)");
  return std::regex_replace(report, stamp, "zuna4 VERSION, DATE");
}

TEST_F(RocketSession, MenuReadyOnlyWhileTheResultsMenuWaits) {
  EXPECT_FALSE(program_menu_shown());
  EXPECT_EQ(run_with_item({user({}, 2)}), 0);
  EXPECT_TRUE(ready_in_menu_);
  EXPECT_FALSE(program_menu_ready()) << "withdrawn when the program ends";
  EXPECT_FALSE(program_menu_shown());
  EXPECT_FALSE(fs::exists("foguete")) << "Cancelar computes nothing";
  EXPECT_EQ(results_after_run_, nullptr);
}

// "Novo Cálculo" withdraws the results: the window closes, the plot and the
// listing wait for a new run.
TEST_F(RocketSession, NewCalculationWithdrawsTheResults) {
  ASSERT_EQ(run_with_item({RecordingHost::press_ok}, true), 0);
  ASSERT_NE(results_after_run_, nullptr);
  EXPECT_EQ(results_in_new_menu_, nullptr);
  EXPECT_FALSE(files_current_in_new_menu_);
  EXPECT_FALSE(rocket_files_written());
}

TEST_F(RocketSession, DefaultSweepReportMatchesItsGoldenCopy) {
  ASSERT_EQ(run_with_item({RecordingHost::press_ok}), 0);
  ASSERT_TRUE(fs::exists("foguete"));
  ASSERT_TRUE(fs::exists("isp.dat"));
  const std::string report = slurp("foguete");
  const fs::path golden = fs::path(ZUNA_GOLDEN_DIR) / "rocket-defaults";
  if (std::getenv("ZUNA_UPDATE_GOLDEN") != nullptr) {
    fs::create_directories(golden);
    fs::copy_file("foguete", golden / "foguete", fs::copy_options::overwrite_existing);
    fs::copy_file("isp.dat", golden / "isp.dat", fs::copy_options::overwrite_existing);
  }
  EXPECT_EQ(without_date(report), without_date(slurp(golden / "foguete")));
  EXPECT_EQ(slurp("isp.dat"), slurp(golden / "isp.dat"));

  // Windows-1252 and the line ends of saida.
  EXPECT_NE(report.find(" Press\xE3o na c\xE2mara (atm) = 68.0460"), std::string::npos);
  const std::string saida = slurp("saida");
  const bool crlf = saida.find("\r\n") != std::string::npos;
  EXPECT_EQ(report.find("\r\n") != std::string::npos, crlf);
  // The heading: the day, the version and the data's source.
  EXPECT_TRUE(std::regex_search(report, std::regex(R"(\n zuna4 \S+, \d\d/\d\d/\d{4} \d\d:\d\d)")));
  EXPECT_NE(report.find("\n Dados: NASA Glenn"), std::string::npos);
  // The summary first: Isp and Ivac of the five exits per O/F in one table
  // (in blocks that fit), the best O/F; then 15 O/F points, each with its
  // seven stations.
  const std::size_t summary = report.find(" RESUMO: Isp e Ivac (s) de cada sa\xED" "da");
  const std::size_t best = report.find("MELHOR O/F DE CADA SA\xCD" "DA");
  const std::size_t stations = report.find(" ESTA\xC7\xD5" "ES DE CADA O/F");
  ASSERT_NE(summary, std::string::npos);
  EXPECT_LT(summary, best);
  EXPECT_LT(best, stations);
  EXPECT_NE(report.find("   Pc/Pe=10         Pc/Pe=100"), std::string::npos);
  std::size_t tables = 0;
  for (std::size_t at = report.find("\n O/F = "); at != std::string::npos;
       at = report.find("\n O/F = ", at + 1)) {
    ++tables;
  }
  EXPECT_EQ(tables, 15u);
  // Every line fits the listing viewer's 100 columns.
  std::istringstream lines(report);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    EXPECT_LE(line.size(), 100u) << line;
  }
  EXPECT_EQ(report.find("nan"), std::string::npos);
  EXPECT_EQ(report.find("inf"), std::string::npos);
  for (std::size_t i = 1; i + 1 < report.size(); ++i) {
    if (report[i] == ',' && std::isdigit(static_cast<unsigned char>(report[i - 1])) &&
        std::isdigit(static_cast<unsigned char>(report[i + 1]))) {
      const std::size_t line = report.rfind('\n', i);
      if (report.compare(line + 1, 7, " zuna4 ") != 0 &&
          report.compare(line + 1, 12, " Reagentes: ") != 0) {
        ADD_FAILURE() << "a decimal comma at " << i;
        break;
      }
    }
  }

  // The results of the window: a row per O/F, both impulses of each exit,
  // the best O/F of each exit inside the default range.
  ASSERT_NE(results_after_run_, nullptr);
  const RocketTable& t = *results_after_run_;
  ASSERT_EQ(t.rows.size(), 15u);
  EXPECT_EQ(t.exits, (std::vector<std::string>{"Pc/Pe=10", "Pc/Pe=100", "Pc/Pe=1000",
                                               "Ae/At=10", "Ae/At=50"}));
  EXPECT_EQ(t.rows.front().values.size(), 10u);
  ASSERT_EQ(t.best.size(), 10u);
  for (const RocketTable::Best& b : t.best) {
    EXPECT_FALSE(b.at_end) << b.exit << " " << b.quantity;
    EXPECT_GT(b.of, 2.0);
    EXPECT_LT(b.of, 16.0);
  }
  EXPECT_FALSE(rocket_files_written()) << "withdrawn when the program ends";
}

}  // namespace
}  // namespace zuna
