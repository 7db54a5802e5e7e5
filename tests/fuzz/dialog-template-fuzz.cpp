// Arbitrary bytes as a dialog template: the reader must refuse or read them
// without a read outside the bytes, and a template it reads must load (or end
// the run for a refused style) and survive a modal run that pokes every
// control.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "dialogs/dialog-template.h"
#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "tests/support/recording-host.h"

namespace {

constexpr int kFuzzTemplate = 9900;

zuna::testing::RecordingHost& host() {
  static zuna::testing::RecordingHost h;
  return h;
}

// Every operation on every control, before and during the modal run.
void poke(zuna::Dialog& dialog) {
  char buffer[300];
  std::int32_t value = 0;
  bool flag = false;
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    int id = dialog.controls[i].id;
    for (int sel : {zuna::sel_default, zuna::sel_state, zuna::sel_title, zuna::sel_range, 1, 2}) {
      zuna::dialog_get_text(dialog, id, buffer, static_cast<int>(sizeof buffer), sel);
      zuna::dialog_get_int(dialog, id, value, sel);
      zuna::dialog_get_flag(dialog, id, flag, sel);
    }
    zuna::dialog_set_int(dialog, id, 2);
    zuna::dialog_set_int(dialog, id, 1, 1);
    zuna::dialog_set_text(dialog, id, "fuzz", 1);
    zuna::dialog_set_text(dialog, id, "fuzz");
    zuna::dialog_set_flag(dialog, id, (i % 2) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  // The reader alone, on a buffer of exactly the input's size.
  std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
  std::optional<zuna::DialogTemplate> parsed = zuna::parse_dialog_template(exact);
  if (!parsed) {
    return 0;
  }

  zuna::testing::RecordingHost& h = host();
  zuna::runtime_start(h);
  zuna::dialogs_start(h);
  h.windows[1024].output.clear();
  h.events.clear();
  zuna::register_dialog_template(kFuzzTemplate, bytes);
  zuna::Dialog dialog;
  try {
    if (!zuna::dialog_load(kFuzzTemplate, dialog)) {
      return 0;
    }
  } catch (const zuna::ProgramExit&) {
    return 0;  // a refused style ends the run
  }
  poke(dialog);
  h.dialog_scripts.push_back(
      [&dialog](zuna::testing::MemoryDialogWindow&, zuna::DialogController& controller) {
        for (std::size_t i = 0; i < dialog.controls.size() && dialog.window != nullptr; ++i) {
          int id = dialog.controls[i].id;
          if (dialog.controls[i].kind == zuna::ControlKind::push_button) {
            continue;  // it would end the dialog
          }
          for (int code : {zuna::kBnClicked, zuna::kLbnSelChange, zuna::kLbnDblClk,
                           zuna::kCbnEditChange, zuna::kEnChange}) {
            controller.dialog_command(id, code);
          }
          controller.dialog_scroll(id, zuna::kSbPageDown, 0);
          controller.dialog_scroll(id, zuna::kSbThumbTrack, 70000);
        }
        poke(dialog);
        zuna::dialog_exit(dialog);
      });
  zuna::dialog_run_modal(dialog);
  h.dialog_scripts.clear();
  poke(dialog);
  zuna::dialog_release(dialog);
  return 0;
}
