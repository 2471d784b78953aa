#include "game/game.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>

#include "character_creation/chargen.h"
#include "combat/battle.h"
#include "console/console_util.h"
#include "data_file/io_file.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/wall_clock.h"

namespace game {

const char* const kContentName = "Core Data";
const char* const kSaveName = "save01";
const char* const kContinueName = "Save01";

namespace {

// The session draws among the four parties after the player's.
constexpr std::size_t kDrawnParties = 4;
constexpr int kDrawsPerParty = 10922;

bool HasPlayableRace(const tov_file& file) {
  return std::any_of(file.races.begin(), file.races.end(), [](const race& r) { return r.playable != 0; });
}

// A battle shows every fighter's race and career and divides by the size
// of each side, so no drawn party may be empty or hold a half-made actor.
bool Fighters(const party& side) {
  return !side.members.empty() && std::all_of(side.members.begin(), side.members.end(), [](const actor* a) {
           return a != nullptr && a->race != nullptr && a->career != nullptr;
         });
}

}  // namespace

std::string ContentProblem(const tov_file& file, const content_use& use) {
  if (!file.file_found) return "was not found";
  if (file.open_result == tov_file::kWrongMagic) return "is not a data file";
  if (file.open_result == tov_file::kCutShort) return "is not a complete data file";
  if (file.open_result == tov_file::kTooLarge) return "is too large for this game to load";
  if (file.open_result != tov_file::kAccepted) return "is written in a format this game cannot read";
  if (use == content_use::kNewGame && !HasPlayableRace(file)) return "has no playable race";
  if (file.parties.empty()) return "has no parties at all";
  if (!Fighters(file.parties.front())) return "has no one fit to fight in the player's party";
  if (file.parties.size() < 2) return "has no enemy party";
  const std::size_t last = std::min(file.parties.size() - 1, kDrawnParties);
  for (std::size_t p = 1; p <= last; ++p) {
    if (!Fighters(file.parties[p])) return "has an enemy party with no one fit to fight";
  }
  return "";
}

std::size_t EnemyPosition(const int& draw, const std::size_t& party_count) {
  const std::size_t drawn = 1 + static_cast<std::size_t>(static_cast<unsigned>(draw) / kDrawsPerParty);
  if (party_count == 0) return 0;
  return std::min(drawn, party_count - 1);
}

std::string DisplayPath(const std::string& base_name) { return "data/" + base_name + ".tov"; }

}  // namespace game

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

// Two centred-looking lines in the middle of an otherwise empty screen.
void Introduction(const char* first, const char* second) {
  console::NewScreen();
  std::cout << std::string(11, '\n') << Spaces(13) << first << '\n'
            << Spaces(11) << second << std::string(11, '\n');
  console::Pause();
}

void Refusal(const char* what, const std::string& base_name, const std::string& problem) {
  console::NewScreen();
  std::cout << "\n\t" << what << "\n\n\t" << game::DisplayPath(base_name) << ' ' << problem
            << ".\n\n\tPress a key to return to the title menu.\n";
  console::Pause();
}

// A failed save costs nothing yet: the old save stays, so the session goes
// on and tries again before the next battle.
void Save(tov_file* file) {
  // Something in the way of saving that the player was already told about
  // is not told again before every battle.
  if (file->Write(true) || file->write_error_repeated) return;
  console::NewScreen();
  std::cout << "\n\tThe game could not be saved to " << game::DisplayPath(file->file_name) << ":\n\t"
            << file->write_error << ".\n\n\tThe game goes on and saves again before the next battle.\n";
  console::Pause();
}

void MarkPlayerControlled(party& player) {
  for (actor** member = player.Begin(); member != player.End(); ++member) (*member)->player_controlled = true;
}

void RestoreAll(party& side) {
  for (actor** member = side.Begin(); member != side.End(); ++member) (*member)->Restore();
}

}  // namespace

void NewGame() {
  Introduction("A druid accidentally reincarnates you instead of their",
               "prettier, and much more successful, friend. Who are you?");
  tov_file file(game::kContentName);
  const std::string problem = game::ContentProblem(file, game::content_use::kNewGame);
  if (!problem.empty()) {
    Refusal("A new game cannot begin.", file.file_name, problem);
    return;
  }
  actor* hero = &file.actors.emplace_back();
  CharGen::NewActor(hero, &file);
  party& player = file.parties.front();
  player.members.front() = hero;
  MarkPlayerControlled(player);
  file.RenameFile(game::kSaveName, false);
  Save(&file);
  MainLoop(&file, hero);
}

void ContinueGame() {
  Introduction("Curtains rise and the world watches. Silence. ", "Your destiny awaits.");
  // Where letter case counts, the file opens the "save01" the new game
  // wrote, and saves go back to that same file.
  tov_file file(game::kContinueName);
  const std::string problem = game::ContentProblem(file, game::content_use::kContinue);
  if (!problem.empty()) {
    Refusal("The saved game cannot be continued.", file.file_name, problem);
    return;
  }
  MarkPlayerControlled(file.parties.front());
  MainLoop(&file, &file.actors.back());
}

void MainLoop(tov_file* file, actor*) {
  party foes;
  for (;;) {
    rng::Seed(static_cast<unsigned int>(wall_clock::Now()));
    foes = file->parties[game::EnemyPosition(rng::Draw(), file->parties.size())];
    party& player = file->parties.front();
    RestoreAll(player);
    RestoreAll(foes);
    Save(file);
    battle fight;
    fight.allies = &player;
    fight.foes = &foes;
    fight.Battle();
  }
}

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
