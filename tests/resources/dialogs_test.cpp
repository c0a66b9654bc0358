#include "resources/dialogs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "shell/commands.h"

namespace kelvora {
namespace {

TEST(DialogDescriptions, AreWellFormed) {
  std::set<int> dialog_ids;
  for (const DialogDesc& d : AllDialogs()) {
    SCOPED_TRACE(d.id);
    EXPECT_TRUE(dialog_ids.insert(d.id).second);
    EXPECT_NE(std::string(d.title), "");
    std::map<int, const ControlDesc*> by_id;
    std::map<std::string, ControlKind> field_kind;
    std::map<std::string, std::set<std::string>> choices;
    std::set<std::tuple<int, int, int>> cells;
    bool has_end_button = false;
    for (const ControlDesc& c : d.controls) {
      EXPECT_TRUE(c.id == kNoId || by_id.emplace(c.id, &c).second) << "duplicate id " << c.id;
      bool area = c.kind == ControlKind::kKeyboardArea || c.kind == ControlKind::kCurveArea;
      EXPECT_EQ(area, c.width > 0 && c.height > 0) << c.text;
      if (c.kind == ControlKind::kPushButton && (c.flags & kBottomButton)) has_end_button = true;
      EXPECT_TRUE((c.flags & kBottomButton) || cells.insert({c.container, c.row, c.col}).second)
          << "two controls in one cell: " << c.text;
      if (c.field == nullptr) continue;
      auto [it, fresh] = field_kind.emplace(c.field, c.kind);
      EXPECT_EQ(it->second, c.kind) << c.field;
      bool choice = c.kind == ControlKind::kRadio || c.kind == ControlKind::kPushButton;
      EXPECT_EQ(choice, c.valueName != nullptr) << c.field;
      if (choice) {
        EXPECT_TRUE(choices[c.field].insert(c.valueName).second) << c.valueName;
      } else if (c.kind != ControlKind::kSlider) {
        EXPECT_TRUE(fresh) << c.field;
      }
    }
    EXPECT_TRUE(has_end_button);
    for (const ControlDesc& c : d.controls) {
      if (c.container == 0) continue;
      auto it = by_id.find(c.container);
      ASSERT_NE(it, by_id.end()) << c.text;
      EXPECT_TRUE(it->second->kind == ControlKind::kGroupBox ||
                  it->second->kind == ControlKind::kPanel);
    }
  }
  // Every command's dialog exists.
  int count = 0;
  const CommandEntry* table = CommandTable(&count);
  for (int i = 0; i < count; ++i)
    EXPECT_TRUE(table[i].dialogId == 0 || FindDialog(table[i].dialogId)) << table[i].id;
}

}  // namespace
}  // namespace kelvora
