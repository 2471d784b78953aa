// tov: the content author's tool for the game's data files.
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
  return commands::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
