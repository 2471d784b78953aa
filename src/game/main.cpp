#include "game/game.h"

int main() {
  game::Record();
  Play();
  return 0;
}
