#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "audio/audio.h"
#include "resources/dialogs.h"
#include "resources/menus.h"
#include "test_support.h"

namespace kelvora {
namespace {

// "開く(&O)..." as the manual writes it: "開く".
std::string PlainLabel(std::string label) {
  const size_t amp = label.find("(&");
  if (amp != std::string::npos) label.erase(amp, label.find(')', amp) - amp + 1);
  while (!label.empty() && label.back() == '.') label.pop_back();
  return label;
}

std::string HelpPage() {
  std::ifstream file(KELVORA_HELP_PAGE);
  std::stringstream page;
  page << file.rdbuf();
  return page.str();
}

// The manual is the only help a user gets: every menu command and every
// dialog must be found in it under the name the window shows.
TEST(HelpPage, NamesEveryMenuCommandAndDialog) {
  const std::string html = HelpPage();
  ASSERT_FALSE(html.empty());
  std::vector<std::string> missing;
  for (const PopupDesc& popup : MainMenu())
    for (const MenuItemDesc& item : popup.items)
      if (item.id != 0 && html.find(PlainLabel(item.label)) == std::string::npos)
        missing.push_back(item.label);
  for (const DialogDesc& dialog : AllDialogs())
    if (html.find(PlainLabel(dialog.title)) == std::string::npos) missing.push_back(dialog.title);
  EXPECT_EQ(missing, std::vector<std::string>{});
}

// Each transport entry says what its command plays: 全体, 選択範囲, 繰り返し.
TEST(HelpPage, TransportEntriesSayWhatEachCommandPlays) {
  const std::string html = HelpPage();
  for (const auto& [command, name] : {std::pair{kCmdPlay, "再生"},
                                      {kCmdPlayFromCursor, "カーソル位置から再生"},
                                      {kCmdLoopPlay, "ループ再生"}}) {
    const size_t at = html.find(std::string("<tr><th>") + name + "</th><td>");
    ASSERT_NE(at, std::string::npos) << name;
    const std::string entry = html.substr(at, html.find("</tr>", at) - at);
    auto says = [&](const char* words) { return entry.find(words) != std::string::npos; };
    EngineFixture engine;
    SetDocument(MakeFormat(8000, 8, 1), std::vector<uint8_t>(1000));  // one chunk
    Doc().selStart = Doc().anchor = 100;
    Doc().selEnd = Doc().movingEnd = 200;
    DispatchCommand(command, kCodeMenu);
    const size_t first = engine.platform.waveDevices.written.at(0).bytes.size();
    EXPECT_EQ(says("全体"), first == 1000) << entry;
    EXPECT_EQ(says("選択範囲"), first == 100) << entry;
    EXPECT_EQ(says("繰り返し"), Playback().loop) << entry;
    StopAudio();
    engine.platform.waveDevices.Deliver();
  }
}

}  // namespace
}  // namespace kelvora
