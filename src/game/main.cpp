#include "game/game.h"
#include "platform/terminal.h"

int main() {
  terminal::SizeConsole();
  MainMenu();
  return 0;
}
