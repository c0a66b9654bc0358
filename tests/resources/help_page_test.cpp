#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

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

}  // namespace
}  // namespace kelvora
