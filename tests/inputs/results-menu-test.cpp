// The results menu through scripted dialogs.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"
#include "fio/fio.h"
#include "inputs/inputs.h"
#include "tests/support/recording-host.h"

namespace zuna::testing {
namespace {

const std::vector<int> kChoices = {1013, 1014, 1015, 1016, 1030, 1031, 1032, 1033, 1034, 1041};

class ResultsMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime_start(host);
    dialogs_start(host);
  }

  // The choice, starting from another one.
  ResultsChoice show() {
    ResultsMenuState state;
    state.choice = ResultsChoice::end_program;
    show_results_menu(state);
    return state.choice;
  }

  RecordingHost host;
};

ResultsChoice only(int id) {
  const ResultsChoice choices[] = {ResultsChoice::flame_temperatures_plot,
                                   ResultsChoice::mole_fractions_plot,
                                   ResultsChoice::mole_fractions_dissociated_plot,
                                   ResultsChoice::extents_plot,
                                   ResultsChoice::mass_fractions_plot,
                                   ResultsChoice::mass_fractions_dissociated_plot,
                                   ResultsChoice::molar_masses_plot,
                                   ResultsChoice::new_calculation,
                                   ResultsChoice::end_program,
                                   ResultsChoice::report_listing};
  for (std::size_t k = 0; k < kChoices.size(); ++k) {
    if (kChoices[k] == id) {
      return choices[k];
    }
  }
  return ResultsChoice::none;
}

TEST_F(ResultsMenu, OkUntouchedChoosesTheFlameTemperature) {
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    for (int id : kChoices) {
      EXPECT_EQ(w.controls[id].checked, id == 1013) << id;
    }
    c.dialog_command(1, kBnClicked);
  });
  EXPECT_EQ(show(), only(1013));
}

TEST_F(ResultsMenu, TheChosenButtonIsReported) {
  for (int chosen : {1041, 1016, 1034}) {
    host.dialog_scripts.push_back([chosen](MemoryDialogWindow& w, DialogController& c) {
      // What the toolkit does when the user clicks an automatic radio button.
      w.controls[1013].checked = false;
      w.controls[chosen].checked = true;
      c.dialog_command(chosen, kBnClicked);
      c.dialog_command(1, kBnClicked);
    });
    EXPECT_EQ(show(), only(chosen)) << chosen;
  }
}

TEST_F(ResultsMenu, NoButtonCheckedIsNoChoice) {
  host.dialog_scripts.push_back([](MemoryDialogWindow& w, DialogController& c) {
    w.controls[1013].checked = false;
    c.dialog_command(1, kBnClicked);
  });
  EXPECT_EQ(show(), ResultsChoice::none);
}

TEST_F(ResultsMenu, MissingTemplateEndsTheProgramWithTheMessage) {
  std::span<const std::uint8_t> stored = find_dialog_template(104);
  std::vector<std::uint8_t> copy(stored.begin(), stored.end());
  register_dialog_template(104, {});
  EXPECT_THROW(show(), ProgramExit);
  register_dialog_template(104, copy);
  EXPECT_EQ(host.output(), "Error: dialog not found\r\nStop - Program terminated.\r\n");
  EXPECT_EQ(host.exit_code, 0);
}

}  // namespace
}  // namespace zuna::testing
