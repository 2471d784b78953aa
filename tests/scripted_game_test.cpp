// A whole game from a script, played in process with the clock stopped:
// the title, a new character, battles fought to their end, and Continue.
// Nothing in it depends on the system, so every system must show the same
// screens and write the same saves. The test command checks that across
// systems: with OSSIVAR_SCRIPTED_GAME_OUT set, the results are left in that
// folder; with OSSIVAR_SCRIPTED_GAME_OTHER naming another system's folder,
// they must equal its results, and its save must continue here.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "data_file/io_file.h"
#include "game/game.h"
#include "platform/wall_clock.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Noon, so the date is the same in every time zone within 11 hours.
std::time_t StoppedClock() { return 1796558400; }  // 6 December 2026, 12:00 UTC

// Title, new game, and the creation screens: Tamsin, female, the first
// race and the first career, the first virtue and vice, then Complete.
const std::string kNewGame = "n\nTamsin\nf\n0\n1\n1\n1\n0\n1\n0\n1\n4\n";

// Every command screen attacks, each time the next of four targets, so
// no one keeps hitting a corpse: enough of them for battles to end.
std::string Rounds(int count) {
  std::string rounds;
  for (int i = 0; i < count; ++i) rounds += "0\n" + std::to_string(i % 4) + "\n";
  return rounds;
}

// The game's working directory for one scope, with the clock stopped.
class GameFolder {
 public:
  GameFolder() : before_(fs::current_path()) {
    fs::create_directories(Data());
    previous_clock_ = wall_clock::SetSource(StoppedClock);
    fs::current_path(dir_.path());
  }
  ~GameFolder() {
    fs::current_path(before_);
    wall_clock::SetSource(previous_clock_);
  }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  fs::path Data() const { return fs::path(dir_.path()) / "data"; }

  // Runs the game from the title until the script runs out; what it showed.
  std::string Play(const std::string& script) const {
    test_support::ConsoleCapture console(script);
    try {
      MainMenu();
    } catch (const test_support::EndOfInput&) {
    }
    return console.Output();
  }

 private:
  test_support::TempDir dir_;
  fs::path before_;
  wall_clock::source previous_clock_ = nullptr;
};

struct results {
  std::string new_game_screens;
  std::string new_game_save;
  std::string continue_screens;
  std::string continue_save;
};

void Install(const fs::path& from, const fs::path& to) {
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// A continued game from `save`: the screens, and the save it leaves.
void Continue(const fs::path& save, results* out) {
  GameFolder folder;
  Install(save, folder.Data() / "save01.tov");
  out->continue_screens = folder.Play("c\n" + Rounds(150));
  out->continue_save = test_support::ReadFile(folder.Data() / "save01.tov");
}

results PlayEverything() {
  results played;
  GameFolder folder;
  Install(fs::path(OSSIVAR_SOURCE_DIR) / "data" / "Core Data.tov", folder.Data() / "Core Data.tov");
  played.new_game_screens = folder.Play(kNewGame + Rounds(150));
  played.new_game_save = test_support::ReadFile(folder.Data() / "save01.tov");
  Continue(folder.Data() / "save01.tov", &played);
  return played;
}

void Leave(const fs::path& folder, const results& played) {
  fs::create_directories(folder);
  const std::pair<const char*, const std::string*> files[] = {
      {"new_game_screens.txt", &played.new_game_screens},
      {"new_game_save.tov", &played.new_game_save},
      {"continue_screens.txt", &played.continue_screens},
      {"continue_save.tov", &played.continue_save}};
  for (const auto& [name, bytes] : files) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
  }
}

TEST(ScriptedGameTest, PlaysTheSameEveryTimeAndContinuesItsOwnSave) {
  const results played = PlayEverything();

  // The game got through creation, finished battles, and saved the growth.
  EXPECT_NE(played.new_game_screens.find("Command for Tamsin:"), std::string::npos);
  const bool ended = played.new_game_screens.find("You are victorious!") != std::string::npos ||
                     played.new_game_screens.find("You have been defeated!") != std::string::npos;
  EXPECT_TRUE(ended) << "no battle was fought to its end; give the script more rounds";
  EXPECT_NE(played.continue_screens.find("Your destiny awaits."), std::string::npos);
  EXPECT_NE(played.continue_screens.find("NAME    Tamsin"), std::string::npos)
      << "Continue found the character";
  // Text only ever ends its lines with a newline, on screen and in files.
  EXPECT_EQ(played.new_game_screens.find('\r'), std::string::npos);
  EXPECT_EQ(played.continue_screens.find('\r'), std::string::npos);

  tov_file save;
  std::istringstream bytes(played.new_game_save);
  ASSERT_EQ(save.Read(bytes, true), tov_file::kAccepted);
  EXPECT_FALSE(save.stopped_early);
  ASSERT_FALSE(save.actors.empty());
  EXPECT_EQ(save.actors.back().name.str(), "Tamsin");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(save.date), 3), "\x1a\x0c\x06")
      << "the stopped clock's day";

  // Once more: nothing but the script and the clock decides what happens.
  const results again = PlayEverything();
  EXPECT_TRUE(again.new_game_screens == played.new_game_screens);
  EXPECT_TRUE(again.new_game_save == played.new_game_save);
  EXPECT_TRUE(again.continue_screens == played.continue_screens);
  EXPECT_TRUE(again.continue_save == played.continue_save);

  if (const char* out = std::getenv("OSSIVAR_SCRIPTED_GAME_OUT")) Leave(out, played);
}

// Another system's results must be these, byte for byte, and its save must
// play on here exactly as this system's own save does.
TEST(ScriptedGameTest, AnotherSystemPlayedTheSameAndItsSaveContinuesHere) {
  const char* other = std::getenv("OSSIVAR_SCRIPTED_GAME_OTHER");
  if (other == nullptr) GTEST_SKIP() << "no other system's results to compare with";
  const fs::path theirs(other);
  const results played = PlayEverything();
  EXPECT_TRUE(test_support::ReadFile(theirs / "new_game_screens.txt") == played.new_game_screens);
  EXPECT_TRUE(test_support::ReadFile(theirs / "new_game_save.tov") == played.new_game_save);
  EXPECT_TRUE(test_support::ReadFile(theirs / "continue_screens.txt") == played.continue_screens);
  EXPECT_TRUE(test_support::ReadFile(theirs / "continue_save.tov") == played.continue_save);

  results continued;
  Continue(theirs / "new_game_save.tov", &continued);
  EXPECT_TRUE(continued.continue_screens == played.continue_screens);
  EXPECT_TRUE(continued.continue_save == played.continue_save);
}

}  // namespace
