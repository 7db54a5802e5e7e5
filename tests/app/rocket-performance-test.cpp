// The rocket performance of the windowed program's menu "Cálculo" at the
// host seam: dialog 105 with its defaults and refusals, and the whole item
// run from inside the results menu of a real session (the report foguete
// against its golden copy, isp.dat, the window).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/program-menu.h"
#include "app/rocket-performance.h"
#include "app/zuna4.h"
#include "dialogs/dialogs.h"
#include "dialogs/dialog-host.h"
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
  std::vector<double> of = {4.0, 6.0, 8.0};  // inside the engine's range
};

TEST_F(RocketDialog, DefaultsShownAndReadBack) {
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
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
  ASSERT_TRUE(ask_rocket_inputs(in, of));
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
  ASSERT_TRUE(ask_rocket_inputs(in, of));
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
  ASSERT_TRUE(ask_rocket_inputs(in, of));
  // One box, one line per field in the dialog's order: a text that does not
  // read, or a value that reads but is refused.
  ASSERT_EQ(host.message_boxes.size(), 1u);
  EXPECT_EQ(host.message_boxes[0],
            "DESEMPENHO COMO MOTOR-FOGUETE|Press\xE3o na c\xE2mara: 20000 atm fora da faixa "
            "aceita (de 1E-4 a 1E4 atm).\n"
            "Raz\xE3o de press\xE3o Pc/Pe: 1 fora da faixa aceita (maior que 1).\n"
            "Raz\xE3o de \xE1rea Ae/At: 0.5 fora da faixa aceita (1 ou maior).\n"
            "Raz\xE3o de \xE1rea Ae/At: \"abc\" n\xE3o \xE9 um n\xFAmero v\xE1lido.\n"
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
  ASSERT_TRUE(ask_rocket_inputs(in, of));
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
  EXPECT_FALSE(ask_rocket_inputs(in, of));
  EXPECT_EQ(in.pc_atm, 5.0);
  EXPECT_TRUE(host.message_boxes.empty());
}

TEST(RocketInputsCheck, RangesAtTheirEdges) {
  const std::vector<double> of = {4.0};
  RocketInputs in;
  EXPECT_EQ(check_rocket_inputs(in, of), "");
  in.pc_atm = 1e-4;
  in.pi_p = {1.000001};
  in.ae_at = {1.0};
  EXPECT_EQ(check_rocket_inputs(in, of), "");
  in.pc_atm = 0.99e-4;
  EXPECT_NE(check_rocket_inputs(in, of).find("fora da faixa"), std::string::npos);
  in.pc_atm = 1e4;
  in.pi_p.clear();
  in.ae_at.clear();
  EXPECT_EQ(check_rocket_inputs(in, of),
            "Nenhuma sa\xED" "da: d\xEA ao menos uma raz\xE3o de press\xE3o ou de \xE1rea.\n");
}

TEST(RocketInputsCheck, OfOutsideTheEnginesRangeIsNamed) {
  RocketInputs in;
  // 0.1 and 40 times the stoichiometric 7.9367: the sweep's rmin of 0.05
  // gives O/F 0.3968, outside.
  const std::string told = check_rocket_inputs(in, std::vector<double>{0.3968, 4.0});
  EXPECT_EQ(told.rfind("O/F 0.3968 do c\xE1lculo fora da faixa", 0), 0u) << told;
  EXPECT_NE(told.find(" (de 0.79"), std::string::npos) << told;
  EXPECT_NE(told.find(" a 317."), std::string::npos) << told;
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

  // The default calculation; in its results menu the item runs with these
  // dialog scripts, then the program ends.
  int run_with_item(std::vector<testing::DialogScript> item_dialogs) {
    host_.input_lines = {"", ""};
    host_.dialog_scripts.push_back(RecordingHost::press_ok);
    host_.dialog_scripts.push_back([this](MemoryDialogWindow& w, DialogController& c) {
      ready_in_menu_ = program_menu_ready();
      run_rocket_performance();
      for (int other : {1013, 1014, 1015, 1016, 1030, 1031, 1032, 1033, 1034, 1041}) {
        w.set_check(other, other == 1034);
      }
      c.dialog_command(1034, kBnClicked);
      c.dialog_command(1, kBnClicked);
    });
    for (auto& d : item_dialogs) {
      host_.dialog_scripts.push_back(std::move(d));
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
};

TEST_F(RocketSession, MenuReadyOnlyWhileTheResultsMenuWaits) {
  EXPECT_FALSE(program_menu_shown());
  EXPECT_EQ(run_with_item({user({}, 2)}), 0);
  EXPECT_TRUE(ready_in_menu_);
  EXPECT_FALSE(program_menu_ready()) << "withdrawn when the program ends";
  EXPECT_FALSE(program_menu_shown());
  EXPECT_FALSE(fs::exists("foguete")) << "Cancelar computes nothing";
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
  EXPECT_EQ(report, slurp(golden / "foguete"));
  EXPECT_EQ(slurp("isp.dat"), slurp(golden / "isp.dat"));

  // Windows-1252 and the line ends of saida.
  EXPECT_NE(report.find(" Press\xE3o na c\xE2mara (atm) = 68.0460"), std::string::npos);
  const std::string saida = slurp("saida");
  const bool crlf = saida.find("\r\n") != std::string::npos;
  EXPECT_EQ(report.find("\r\n") != std::string::npos, crlf);
  // 33 O/F points, each with its table of seven stations, and the best O/F
  // of the five exits.
  std::size_t tables = 0;
  for (std::size_t at = report.find("\n O/F = "); at != std::string::npos;
       at = report.find("\n O/F = ", at + 1)) {
    ++tables;
  }
  EXPECT_EQ(tables, 33u);
  EXPECT_NE(report.find("MELHOR O/F DE CADA SA\xCD" "DA"), std::string::npos);
  EXPECT_EQ(report.find("nan"), std::string::npos);
  EXPECT_EQ(report.find("inf"), std::string::npos);
  for (std::size_t i = 1; i + 1 < report.size(); ++i) {
    if (report[i] == ',' && std::isdigit(static_cast<unsigned char>(report[i - 1])) &&
        std::isdigit(static_cast<unsigned char>(report[i + 1]))) {
      ADD_FAILURE() << "a decimal comma at " << i;
      break;
    }
  }

  // The window of its own, titled, with the best O/F.
  bool window = false;
  for (const auto& [number, w] : host_.windows) {
    if (w.title == "DESEMPENHO COMO MOTOR-FOGUETE") {
      window = true;
      EXPECT_NE(w.output.find("Melhor O/F de cada sa\xED" "da:"), std::string::npos);
    }
  }
  EXPECT_TRUE(window);
}

}  // namespace
}  // namespace zuna
