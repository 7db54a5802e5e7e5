// Shared pieces of the dialog manager's tests: a started run-time on a
// recording host, and a look at one control of a loaded dialog.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "tests/support/recording-host.h"

namespace zuna::testing {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime_start(host);
    dialogs_start(host);
  }
  void TearDown() override { dialog_release(dialog); }

  const DialogControl& control(int id) const {
    for (const DialogControl& c : dialog.controls) {
      if (c.id == id) {
        return c;
      }
    }
    throw std::out_of_range("no control " + std::to_string(id));
  }

  // A text value of the model without its padding.
  std::string model_text(int id, std::size_t index = 0) const {
    const DialogText& t = control(id).texts.at(index);
    std::string s(t.begin(), t.end());
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }

  RecordingHost host;
  Dialog dialog;
};

}  // namespace zuna::testing
