// Writes the manual pages kelvora.1 and kelvora-cli.1 into the folder given,
// from the same text that kelvora-cli --help prints.
#include <fstream>
#include <iostream>

#include "cli/usage.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kelvora_make_man FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  for (const kelvora::ManualPage& page : {kelvora::ProgramManual(), kelvora::CliManual()}) {
    std::ofstream file(folder + "/" + page.name + ".1", std::ios::binary);
    file << kelvora::RenderManPage(page);
    if (!file) {
      std::cerr << "kelvora_make_man: cannot write " << folder << "/" << page.name << ".1\n";
      return 1;
    }
  }
  return 0;
}
