// Linked into a test program, registers the program's stored dialog templates
// before the first test, as the program does at its start.
#include <gtest/gtest.h>

#include "resources/stored-templates.h"

namespace {

class StoredTemplates : public ::testing::Environment {
 public:
  void SetUp() override { zuna::register_stored_dialog_templates(); }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new StoredTemplates);

}  // namespace
