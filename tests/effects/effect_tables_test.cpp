// Every command whose dialog runs on a parameter table drives exactly the
// controls its description has: no row for a missing control, no field left
// without a row. Cancel ends each before anything changes.
#include <gtest/gtest.h>

#include "shell/commands.h"
#include "test_support.h"

namespace kelvora {
namespace {

TEST(EffectTables, EveryTableFitsItsDialogAndCancelChangesNothing) {
  EngineFixture f;
  int count = 0;
  const CommandEntry* table = CommandTable(&count);
  int checked = 0;
  for (int i = 0; i < count; ++i) {
    const CommandEntry& c = table[i];
    if (c.action == nullptr || c.dialogId == 0 || c.cliVerb == nullptr) continue;
    SetDocument(MakeFormat(22050, 16, 2), std::vector<uint8_t>(400, 7));
    Doc().modified = false;
    f.platform.dialogs.defaultButton = 2;
    f.platform.dialogs.shown.clear();
    f.platform.dialogs.tableProblem = "not run";
    DispatchCommand(c.id, kCodeMenu);
    if (f.platform.dialogs.shown.empty() || f.platform.dialogs.tableProblem == "not run") continue;
    EXPECT_EQ(f.platform.dialogs.tableProblem, "") << c.cliVerb;
    EXPECT_FALSE(Doc().modified) << c.cliVerb;
    ++checked;
  }
  EXPECT_GE(checked, 2);  // volume and convert at least
}

}  // namespace
}  // namespace kelvora
