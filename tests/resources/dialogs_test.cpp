#include "resources/dialogs.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>

#include "platform/param_dialog.h"
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
}

// The dialogs of every command exist, and the batch tool's documented
// fields with their default values pass the field check (whether or not the
// operation is built yet).
TEST(DialogDescriptions, CoverTheBatchToolsFields) {
  const char* documented[] = {
      "new:rate=44100,bits=8,channels=2",
      "convert:rate=22050,bits=16,channels=1",
      "volume:volume=100,pan=50,limiter=on",
      "noise-gate:level=20,attack=50,release=50",
      "compressor:output=50,ratio=50",
      "distortion:depth=50,mode=overdrive",
      "noise-removal:random=10,impulse=0",
      "echo:delay=120,level=50,feedback=40",
      "reverb:time=500,level=50,dry=80",
      "flanger:level=100,depth=20,rate=20,stereo=off",
      "vibrato:depth=20,rate=10.0,delay=0.0",
      "tremolo:level=100,rate=20,autopan=off",
      "pitch:pitch=100",
      "time-stretch:speed=100",
      "transpose:cents=0,harmonize=off,mix=50",
      "graphic-eq:bands=50/50/50/50/50/50/50/50/50,preset=1",
      "parametric-eq:use1=on,freq1=1000,level1=0,width1=12,use2=on,freq2=1000,level2=0,"
      "width2=12,use3=on,freq3=1000,level3=0,width3=12",
      "volume-envelope:points=0:128/256:128",
      "pan-envelope:points=0:128/256:128",
      "pitch-envelope:points=0:128/256:128",
      "insert-silence:time=1000",
      "noise:volume=70,time=500,stereo=on",
      "tone:volume=70,frequency=440,time=500,wave=sine,fm=on,depth=50,ratio=30",
      "melody:tempo=120,melody=o4c4d4e4f8.g16",
  };
  for (std::string step : documented) {
    size_t colon = step.find(':');
    std::string verb = step.substr(0, colon);
    const CommandEntry* command = verb == "new" ? FindCommand(kCmdNew) : FindCliVerb(verb.c_str());
    ASSERT_NE(command, nullptr) << verb;
    std::vector<DialogField> fields;
    std::istringstream in(step.substr(colon + 1));
    for (std::string item; std::getline(in, item, ',');) {
      size_t eq = item.find('=');
      fields.push_back({item.substr(0, eq), item.substr(eq + 1)});
    }
    std::string error;
    EXPECT_TRUE(CheckDialogFields(command->dialogId, fields, &error)) << verb << ": " << error;
  }
  int count = 0;
  const CommandEntry* table = CommandTable(&count);
  for (int i = 0; i < count; ++i)
    EXPECT_TRUE(table[i].dialogId == 0 || FindDialog(table[i].dialogId)) << table[i].id;
}

}  // namespace
}  // namespace kelvora
