#include "game/game.h"
#include "platform/terminal.h"

int main() {
  terminal::Start();
  terminal::SizeConsole();
  MainMenu();
  return 0;
}
