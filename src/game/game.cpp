#include "game/game.h"

#include <iostream>
#include <string>
#include <cstdio>
#include <string_view>
#include <vector>

#include "character_creation/chargen.h"
#include "combat/battle.h"
#include "console/console_util.h"
#include "data_file/enemy_draw.h"
#include "data_file/io_file.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/recording_store.h"
#include "platform/terminal.h"
#include "platform/wall_clock.h"

namespace game {

const char* const kContentName = "Core Data";
const char* const kSaveName = "save01";
const char* const kContinueName = "Save01";
const char* const kRecordingsFolder = "data/recordings";

namespace {
unsigned battles_begun = 0;
}  // namespace

std::string ContentProblem(const tov_file& file, const play_check::use& use) {
  const std::vector<play_check::problem> problems = play_check::Problems(file, use);
  if (problems.empty()) return "";
  const play_check::problem& first = problems.front();
  switch (first.kind) {
    case play_check::fault::kNotFound:
      return "was not found";
    case play_check::fault::kNotDataFile:
      return "is not a data file";
    case play_check::fault::kWrongVersion:
      return "is written in a format this game cannot read";
    case play_check::fault::kCutShort:
      return "is not a complete data file";
    case play_check::fault::kTooLarge:
      return "is too large for this game to load";
    case play_check::fault::kDamaged:
      return "is damaged: the game stopped reading it before its end";
    case play_check::fault::kNoPlayableRace:
      return "has no playable race";
    case play_check::fault::kNoParties:
      return "has no parties at all";
    case play_check::fault::kNoEnemyParty:
      return "has no enemy party";
    case play_check::fault::kEmptyParty:
    case play_check::fault::kUnfitMember:
      break;
  }
  return first.party == 0 ? "has no one fit to fight in the player's party"
                          : "has an enemy party with no one fit to fight";
}

std::string DisplayPath(const std::string& base_name) { return "data/" + base_name + ".tov"; }

std::string TitleVersion(const unsigned& major, const unsigned& minor, const unsigned& patch) {
  char text[40];
  std::snprintf(text, sizeof text, "%u.%02u.%03u", major, minor, patch);
  return text;
}

std::string Version() {
  return std::to_string(OSSIVAR_VERSION_MAJOR) + "." + std::to_string(OSSIVAR_VERSION_MINOR) + "." +
         std::to_string(OSSIVAR_VERSION_PATCH);
}

unsigned BattlesBegun() { return battles_begun; }

void Record() {
  recording::header head;
  head.title = std::string("OSSIVAR ") + Version();
  head.version = Version();
  head.terminal = terminal::Facts();
  // Both files the title menu may open, as the session found them.
  head.files = recording_store::CurrentFiles(
      "data/", {std::string(kContentName) + ".tov", std::string(kSaveName) + ".tov"});
  recording_store::Begin(kRecordingsFolder, head);
}

std::string TitleVersion() {
  return TitleVersion(OSSIVAR_VERSION_MAJOR, OSSIVAR_VERSION_MINOR, OSSIVAR_VERSION_PATCH);
}

}  // namespace game

namespace {

std::string Spaces(std::string::size_type count) { return std::string(count, ' '); }

void DrawTitle() {
  std::cout << '\n'
            << console::HorizontalLine() << '\n'
            << Spaces(36) << "OSSIVAR\n\n"
            << Spaces(33) << "VER. " << game::TitleVersion() << "\n\n\n"
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

// The whole path, since the player may not know which folder the game took
// for its own; then how to get it right.
void Refusal(const char* what, const tov_file& file, const std::string& problem) {
  console::NewScreen();
  std::cout << "\n\t" << what << "\n\n\t" << file.Path() << "\n\t" << problem << ".\n\n\t";
  if (file.file_found) {
    std::cout << "To see what is wrong with it, run: tov check \"" << file.Path() << '"';
  } else {
    std::cout << "The game starts from the folder that holds data/, or through\n\tthe installed launcher "
                 "\"ossivar\".";
  }
  std::cout << "\n\n\tPress a key to return to the title menu.\n";
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
  const std::string problem = game::ContentProblem(file, play_check::use::kNewGame);
  if (!problem.empty()) {
    Refusal("A new game cannot begin.", file, problem);
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
  const std::string problem = game::ContentProblem(file, play_check::use::kContinue);
  if (!problem.empty()) {
    Refusal("The saved game cannot be continued.", file, problem);
    return;
  }
  MarkPlayerControlled(file.parties.front());
  MainLoop(&file, &file.actors.back());
}

void MainLoop(tov_file* file, actor*) {
  party foes;
  for (;;) {
    rng::Seed(static_cast<unsigned int>(wall_clock::Now()));
    foes = file->parties[enemy_draw::Position(rng::Draw(), file->parties.size())];
    party& player = file->parties.front();
    RestoreAll(player);
    RestoreAll(foes);
    Save(file);
    ++game::battles_begun;
    battle fight;
    fight.allies = &player;
    fight.foes = &foes;
    fight.Battle();
  }
}

void Play() {
  terminal::Start();
  terminal::SizeConsole();
  MainMenu();
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
