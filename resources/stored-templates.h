// The dialog templates stored with the program: the binary templates made
// from templates.rc at build time (stored-templates.cpp is generated).
#pragma once

#include <cstdint>
#include <span>

namespace zuna {

struct StoredDialogTemplate {
  int id;                               // the template number: 101, 104 or 105
  std::span<const std::uint8_t> bytes;  // DLGTEMPLATE form, 4-byte aligned
};

std::span<const StoredDialogTemplate> stored_dialog_templates();

// Registers every stored template with the dialog layer under its number;
// the program calls it once at start.
void register_stored_dialog_templates();

}  // namespace zuna
