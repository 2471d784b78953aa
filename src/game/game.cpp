#include "game/game.h"

#include <iostream>
#include <string>
#include <string_view>

#include "console/console_util.h"
#include "platform/input.h"

namespace {

constexpr std::string_view kVersion = "0.01.002";

std::string Spaces(std::string::size_type count) { return std::string(count, ' '); }

void DrawTitle() {
  std::cout << '\n'
            << console::HorizontalLine() << '\n'
            << Spaces(36) << "OSSIVAR\n\n"
            << Spaces(33) << "VER. " << kVersion << "\n\n\n"
            << console::HorizontalLine() << "\n\n"
            << Spaces(31) << "[N]ew Game\n"
            << Spaces(31) << "[C]ontinue\n"
            << Spaces(31) << "[Q]uit\n"
            << Spaces(32);
}

void Farewell() {
  console::NewScreen();
  std::cout << std::string(11, '\n') << Spaces(27) << "Another light vanquished." << std::string(12, '\n');
  console::Pause();
}

void NotAvailable(const char* line) {
  console::NewScreen();
  std::cout << line << '\n';
  console::Pause();
}

}  // namespace

// Placeholders until the new-game and continue flows exist; both come back
// to the title menu.
void NewGame() { NotAvailable("New game is not available yet."); }

void ContinueGame() { NotAvailable("Continue is not available yet."); }

void MainMenu() {
  for (;;) {
    console::NewScreen();
    DrawTitle();
    switch (input::ReadChar()) {
      case 'N':
      case 'n':
        NewGame();
        break;
      case 'C':
      case 'c':
        ContinueGame();
        break;
      case 'Q':
      case 'q':
        Farewell();
        return;
      default:
        break;  // any other letter: draw the title again
    }
  }
}
