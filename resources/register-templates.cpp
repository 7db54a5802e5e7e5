#include "dialogs/dialog-template.h"
#include "resources/stored-templates.h"

namespace zuna {

void register_stored_dialog_templates() {
  for (const StoredDialogTemplate& stored : stored_dialog_templates()) {
    register_dialog_template(stored.id, stored.bytes);
  }
}

}  // namespace zuna
