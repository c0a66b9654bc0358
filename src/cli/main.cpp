// kelvora-cli: Kelvora's operations on sound files, without a window.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return kelvora::CliMain(args, std::cout, std::cerr);
}
