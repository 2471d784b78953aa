// The whole game as a player meets it: the built binary on a pseudo-terminal,
// in a working directory of its own holding a copy of the content file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/pty_session.h"

namespace {

namespace fs = std::filesystem;
using test_support::ExitedWith;
using test_support::kBlankHeader;
using test_support::kRule;
using test_support::kTitlePrompt;
using test_support::LineModeWithEcho;
using test_support::PtySession;
using test_support::Spaces;
using test_support::TempDir;

constexpr double kTimeout = 15.0;
const std::string kNameCharacter = "Tamsin";

long EntriesBesideRecordings(const fs::path& data) {
  long entries = 0;
  for (const auto& entry : fs::directory_iterator(data)) entries += entry.path().filename() != "recordings";
  return entries;
}

// A data file of the directory's data/, loaded as the game would.
std::unique_ptr<tov_file> Load(const std::string& directory, const std::string& base_name) {
  return data_file_test::OpenIn(directory + "/data/", base_name);
}

class GameTest : public ::testing::Test {
 protected:
  fs::path Data() const { return fs::path(dir_.path()) / "data"; }

  void Start(const test_support::PtyOptions& options = {}) {
    session_ = std::make_unique<PtySession>(dir_.path(), options);
    ASSERT_TRUE(session_->started());
    ASSERT_TRUE(session_->WaitFor(kTitlePrompt, kTimeout)) << session_->Screen();
  }

  // Sends a line once the output so far holds `prompt`; the output is
  // cleared first, so each prompt is looked for in what came after the
  // previous line.
  void Answer(const std::string& prompt, const std::string& line) {
    ASSERT_TRUE(session_->WaitFor(prompt, kTimeout)) << "waiting for " << prompt << " in\n" << session_->Screen();
    session_->ClearOutput();
    session_->Send(line);
  }

  // Presses a key once the program waits for one; the output is cleared.
  void PressKey() {
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout)) << session_->Screen();
    session_->ClearOutput();
    session_->Send("k");
  }

  // From the title through every creation screen to the end of the review:
  // a female Nimisum warrior of Temperance and Sloth.
  void CreateCharacter(const std::string& review_answer = "4\n") {
    session_->ClearOutput();
    session_->Send("n\n");
    ASSERT_TRUE(session_->WaitFor("Who are you?", kTimeout)) << session_->Screen();
    ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
    intro_ = session_->Screen();
    PressKey();
    ASSERT_TRUE(session_->WaitFor("What is your name?\n\t  ", kTimeout)) << session_->Screen();
    name_screen_ = session_->Screen();
    Answer("What is your name?\n\t  ", kNameCharacter + "\n");
    Answer("1) Female\n\t  ", "f\n");
    ASSERT_TRUE(session_->WaitFor("6) Skink\n\t  ", kTimeout)) << session_->Screen();
    race_list_ = session_->Screen();
    Answer("6) Skink\n\t  ", "0\n");
    Answer("1) Yes.\n\t  ", "1\n");
    ASSERT_TRUE(session_->WaitFor("Custom\n\t  ", kTimeout)) << session_->Screen();
    career_list_ = session_->Screen();
    Answer("Custom\n\t  ", "1\n");
    Answer("1) Yes.\n\t  ", "1\n");
    Answer("6) Humility\n\t  ", "0\n");
    Answer("1) Yes.\n\t  ", "1\n");
    Answer("6) Lust\n\t  ", "0\n");
    Answer("1) Yes.\n\t  ", "1\n");
    ASSERT_TRUE(session_->WaitFor("4) Complete\n\t  ", kTimeout)) << session_->Screen();
    review_ = session_->Screen();
    Answer("4) Complete\n\t  ", review_answer);
  }

  // Plays until `reports` key waits have passed and the next command is
  // asked for: the hero attacks the first foe, everyone else defends. What
  // the key waits showed is kept in reports_.
  void PlayRounds(int reports) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    for (;;) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << session_->Screen();
      const std::string screen = session_->Screen();
      const bool prompt_last = screen.size() >= 4 && screen.compare(screen.size() - 4, 4, "\n\t  ") == 0;
      if (prompt_last && screen.find("2) Defend\n\t  ") != std::string::npos) {
        if (reports <= 0) return;
        const bool hero = screen.find("Command for " + kNameCharacter + ":") != std::string::npos;
        session_->ClearOutput();
        session_->Send(hero ? "0\n" : "2\n");
      } else if (prompt_last && screen.find("Target:\n\t  ") != std::string::npos) {
        session_->ClearOutput();
        session_->Send("0\n");
      } else if (session_->WaitForKeyWait(0.05)) {
        session_->Drain(0.1);
        reports_ += session_->Screen();
        PressKey();
        // Until the game has taken the key the terminal still shows the key
        // wait; the next screen's clear shows it has.
        ASSERT_TRUE(session_->WaitFor("\n", kTimeout));
        --reports;
      } else {
        session_->WaitFor("\n\t  ", 0.05);
      }
    }
  }

  std::string intro_, name_screen_, race_list_, career_list_, review_, reports_;
  TempDir dir_;
  std::unique_ptr<PtySession> session_;
};

TEST_F(GameTest, ANewGameRunsFromTheTitleToTheFirstBattleAndSaves) {
  ASSERT_TRUE(dir_.CopyCoreData());
  const std::string core_before = test_support::ReadFile(Data() / "Core Data.tov");
  Start();
  CreateCharacter();

  EXPECT_EQ(intro_, "n\n\n" + std::string(11, '\n') + Spaces(13) +
                        "A druid accidentally reincarnates you instead of their\n" + Spaces(11) +
                        "prettier, and much more successful, friend. Who are you?" + std::string(11, '\n'));
  EXPECT_EQ(name_screen_, std::string(1, '\n') + kBlankHeader + kRule + "\n\tWhat is your name?\n\t  ");
  EXPECT_NE(race_list_.find("\n\tWhat race are you?\n\t  0) Nimisum\n\t  1) Protosum\n"), std::string::npos);
  EXPECT_EQ(race_list_.find("Goblin"), std::string::npos);
  EXPECT_NE(career_list_.find("\n\t  1) Warrior\n"), std::string::npos);
  EXPECT_NE(career_list_.find("\n\t  \n\t  15) Custom\n\t  "), std::string::npos) << career_list_;
  EXPECT_EQ(career_list_.find("Janitor"), std::string::npos);
  EXPECT_NE(review_.find("NAME    Tamsin                 SEX  F"), std::string::npos) << review_;
  EXPECT_NE(review_.find("CAREER  Warrior"), std::string::npos);
  EXPECT_NE(review_.find(" Temperance/Sloth"), std::string::npos);

  ASSERT_TRUE(session_->WaitFor("Command for Tamsin:\n\t  0) Attack\n\t  1) Cast\n\t  2) Defend\n\t  ", kTimeout))
      << session_->Screen();
  const std::string command = session_->Screen();
  EXPECT_NE(command.find("        Player                             Goblins"), std::string::npos) << command;
  EXPECT_NE(command.find("\n          Tamsin          HP"), std::string::npos);

  ASSERT_TRUE(fs::exists(Data() / "save01.tov"));
  const auto save = Load(dir_.path(), "save01");
  ASSERT_EQ(save->open_result, tov_file::kAccepted);
  ASSERT_FALSE(save->parties.empty());
  const party& player = save->parties.front();
  ASSERT_EQ(player.members.size(), 4u) << "the new character takes the first slot; the others stay";
  const actor* hero = player.members[0];
  EXPECT_EQ(hero->name.str(), "Tamsin");
  EXPECT_TRUE(hero->female);
  EXPECT_TRUE(hero->player_controlled);
  ASSERT_NE(hero->race, nullptr);
  EXPECT_EQ(hero->race->name.str(), "Nimisum");
  ASSERT_NE(hero->career, nullptr);
  EXPECT_EQ(hero->career->name.str(), "Warrior");
  EXPECT_EQ(hero, &save->actors.back()) << "the character is the last actor of the save";

  const auto core = Load(dir_.path(), "Core Data");
  ASSERT_EQ(core->parties.front().members.size(), 4u);
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(player.members[i]->name.str(), core->parties.front().members[i]->name.str());
  }
  EXPECT_EQ(test_support::ReadFile(Data() / "Core Data.tov"), core_before);
  for (const auto& entry : fs::directory_iterator(Data())) {
    EXPECT_NE(entry.path().filename().string().front(), '~') << entry.path();
  }
}

TEST_F(GameTest, BattleRoundsThenCtrlCThenContinueFindsTheSameCharacter) {
  ASSERT_TRUE(dir_.CopyCoreData());
  Start();
  CreateCharacter();
  PlayRounds(3);
  EXPECT_NE(reports_.find("John guards against any attacks.\n"), std::string::npos) << reports_;
  EXPECT_NE(reports_.find("Tamsin "), std::string::npos) << "the hero's attack is reported";

  const auto before = Load(dir_.path(), "save01");
  session_->Send("\x03");
  int status = 0;
  ASSERT_TRUE(session_->WaitExit(kTimeout, &status));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
  EXPECT_TRUE(LineModeWithEcho(*session_));

  Start();
  session_->ClearOutput();
  session_->Send("c\n");
  ASSERT_TRUE(session_->WaitFor("Your destiny awaits.", kTimeout)) << session_->Screen();
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  EXPECT_EQ(session_->Screen(), "c\n\n" + std::string(11, '\n') + Spaces(13) +
                                    "Curtains rise and the world watches. Silence. \n" + Spaces(11) +
                                    "Your destiny awaits." + std::string(11, '\n'));
  PressKey();
  ASSERT_TRUE(session_->WaitFor("Command for Tamsin:", kTimeout)) << session_->Screen();
  const std::string command = session_->Screen();
  EXPECT_NE(command.find("NAME    Tamsin                 SEX  F"), std::string::npos) << command;
  EXPECT_NE(command.find("RACE    Nimisum"), std::string::npos);
  EXPECT_NE(command.find("CAREER  Warrior"), std::string::npos);

  // Continuing saved again before its first battle, losing nothing.
  const auto after = Load(dir_.path(), "save01");
  ASSERT_EQ(after->actors.size(), before->actors.size());
  const actor& was = before->actors.back();
  const actor& is = after->actors.back();
  EXPECT_EQ(is.name.str(), "Tamsin");
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(is.Stat(i)->base, was.Stat(i)->base) << is.Stat(i)->name;
    EXPECT_EQ(is.Stat(i)->get_max(false), was.Stat(i)->get_max(false)) << is.Stat(i)->name;
  }
  EXPECT_EQ(is.strength.growth, was.strength.growth);
  EXPECT_EQ(is.wisdom.growth, was.wisdom.growth);
  EXPECT_EQ(is.agility.growth, was.agility.growth);
}

TEST_F(GameTest, AfterANonNumberAtTheReviewOneEnterAnswersTheName) {
  ASSERT_TRUE(dir_.CopyCoreData());
  Start();
  CreateCharacter("x\n");  // counts 0: the name screen again, its line already used up
  Answer("What is your name?\n\t  ", "\n");
  Answer("1) Female\n\t  ", "f\n");
  ASSERT_TRUE(session_->WaitFor("4) Complete\n\t  ", kTimeout)) << session_->Screen();
  EXPECT_NE(session_->Screen().find("NAME    " + Spaces(21) + "  SEX  F"), std::string::npos) << session_->Screen();
}

TEST_F(GameTest, QuitFromTheTitleWritesNothing) {
  ASSERT_TRUE(dir_.CopyCoreData());
  Start();
  session_->Send("q\n");
  ASSERT_TRUE(session_->WaitFor("Another light vanquished.", kTimeout));
  PressKey();
  int status = 0;
  ASSERT_TRUE(session_->WaitExit(kTimeout, &status));
  EXPECT_TRUE(ExitedWith(status, 0)) << "status " << status;
  EXPECT_EQ(EntriesBesideRecordings(Data()), 1);
}

// Installed, the game starts through its launcher from any folder and saves
// into the player's own folder under HOME.
TEST_F(GameTest, TheInstalledLauncherSavesANewGameInThePlayersFolder) {
  const TempDir install;
  std::string log;
  ASSERT_TRUE(test_support::InstallInto(install.path(), &log)) << log;
  setenv("HOME", dir_.path().c_str(), 1);
  unsetenv("XDG_DATA_HOME");
  test_support::PtyOptions launcher;
  launcher.program = install.path() + "/bin/ossivar";
  Start(launcher);
  CreateCharacter();
  ASSERT_TRUE(session_->WaitFor("Command for Tamsin:", kTimeout)) << session_->Screen();
  const fs::path data = fs::path(dir_.path()) / ".local/share/ossivar/data";
  EXPECT_TRUE(fs::exists(data / "save01.tov"));
  EXPECT_TRUE(fs::is_symlink(data / "Core Data.tov"));
  EXPECT_FALSE(fs::exists(Data())) << "nothing is written where it was started";
}

// The refusal of a flow: its introduction, one screen saying what is wrong
// with which file, a key, and the title again.
class RefusalTest : public GameTest {
 protected:
  std::string Refusal(const std::string& letter) {
    session_->ClearOutput();
    session_->Send(letter + "\n");
    if (!session_->WaitForKeyWait(kTimeout)) return "no introduction";
    PressKey();
    if (!session_->WaitFor("title menu.\n", kTimeout) || !session_->WaitForKeyWait(kTimeout)) return session_->Screen();
    const std::string screen = session_->Screen();
    PressKey();
    if (!session_->WaitFor(kTitlePrompt, kTimeout)) return "no title after " + screen;
    return screen;
  }

  // The file by its whole path, what is wrong with it, and what to do.
  std::string Expected(const std::string& what, const std::string& file, const std::string& why) {
    const std::string path = (fs::canonical(Data()) / file).string();
    const std::string advice =
        why == "was not found"
            ? "The game starts from the folder that holds data/, or through\n\tthe installed launcher \"ossivar\"."
            : "To see what is wrong with it, run: tov check \"" + path + "\"";
    return "\n\n\t" + what + "\n\n\t" + path + "\n\t" + why + ".\n\n\t" + advice +
           "\n\n\tPress a key to return to the title menu.\n";
  }
};

TEST_F(RefusalTest, MissingContentAndMissingSaveReturnToTheTitle) {
  fs::create_directory(Data());
  Start();
  EXPECT_EQ(Refusal("n"), Expected("A new game cannot begin.", "Core Data.tov", "was not found"));
  EXPECT_EQ(Refusal("c"), Expected("The saved game cannot be continued.", "Save01.tov", "was not found"));
  // The game goes on at the title and still quits in order.
  session_->ClearOutput();
  session_->Send("q\n");
  ASSERT_TRUE(session_->WaitFor("vanquished.", kTimeout));
  PressKey();
  int status = 0;
  ASSERT_TRUE(session_->WaitExit(kTimeout, &status));
  EXPECT_TRUE(ExitedWith(status, 0));
  EXPECT_EQ(EntriesBesideRecordings(Data()), 0) << "nothing is written";
}

TEST_F(RefusalTest, AFileThatIsNoDataFileIsNamedAsSuch) {
  fs::create_directory(Data());
  std::ofstream(Data() / "Core Data.tov") << "just some text, not a game";
  std::ofstream(Data() / "save01.tov") << "";
  Start();
  EXPECT_EQ(Refusal("n"), Expected("A new game cannot begin.", "Core Data.tov", "is not a data file"));
  EXPECT_EQ(Refusal("C"), Expected("The saved game cannot be continued.", "save01.tov", "is not a data file"));
  EXPECT_EQ(test_support::ReadFile(Data() / "save01.tov"), "");
}

// Continuing would save only the part that was read over the whole save.
TEST_F(RefusalTest, AFileCutShortIsCalledDamagedAndKeptAsItIs) {
  ASSERT_TRUE(dir_.CopyCoreData());
  const std::string whole = test_support::ReadFile(Data() / "Core Data.tov");
  std::ofstream(Data() / "save01.tov", std::ios::binary) << whole.substr(0, whole.size() - 3);
  Start();
  const std::string damaged = "is damaged: the game stopped reading it before its end";
  EXPECT_EQ(Refusal("c"), Expected("The saved game cannot be continued.", "save01.tov", damaged));
  EXPECT_EQ(test_support::ReadFile(Data() / "save01.tov"), whole.substr(0, whole.size() - 3));
}

TEST_F(GameTest, ASaveThatCannotBeWrittenIsShownOnceAndTheGameGoesOn) {
  // A directory where the temporary save file must go stops the write even
  // for root, whom permissions do not stop.
  ASSERT_TRUE(dir_.CopyCoreData());
  fs::create_directory(Data() / "~save01.tov");
  Start();
  CreateCharacter();
  ASSERT_TRUE(session_->WaitFor("next battle.\n", kTimeout)) << session_->Screen();
  ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
  const std::string screen = session_->Screen();
  // The echoed "4", the clear, then the screen with the reason on a line of
  // its own.
  const std::string head = "4\n\n\n\tThe game could not be saved to data/save01.tov:\n\t";
  const std::string tail = ".\n\n\tThe game goes on and saves again before the next battle.\n";
  ASSERT_GT(screen.size(), head.size() + tail.size()) << screen;
  EXPECT_EQ(screen.substr(0, head.size()), head) << screen;
  EXPECT_EQ(screen.substr(screen.size() - tail.size()), tail) << screen;
  const std::string reason = screen.substr(head.size(), screen.size() - head.size() - tail.size());
  EXPECT_EQ(reason.find('\n'), std::string::npos) << reason;
  session_->ClearOutput();
  PressKey();
  // The session loop tries again before the battle and fails again for the
  // same reason, which the player has just been told: no second screen.
  ASSERT_TRUE(session_->WaitFor("Command for Tamsin:", kTimeout)) << session_->Screen();
  EXPECT_EQ(session_->Screen().find("could not be saved"), std::string::npos) << session_->Screen();
  EXPECT_FALSE(fs::exists(Data() / "save01.tov"));
  EXPECT_TRUE(fs::is_empty(Data() / "~save01.tov"));
}

TEST_F(GameTest, EndOfInputEndsTheGameCleanlyAnywhere) {
  ASSERT_TRUE(dir_.CopyCoreData());
  // At the name prompt.
  Start();
  session_->Send("n\n");
  PressKey();
  ASSERT_TRUE(session_->WaitFor("What is your name?\n\t  ", kTimeout)) << session_->Screen();
  session_->SendEof();
  int status = 0;
  ASSERT_TRUE(session_->WaitExit(kTimeout, &status));
  EXPECT_TRUE(ExitedWith(status, 0)) << "status " << status;
  EXPECT_TRUE(LineModeWithEcho(*session_));

  // At a battle command, and during the key wait after a round.
  for (const bool in_key_wait : {false, true}) {
    Start();
    CreateCharacter();
    ASSERT_TRUE(session_->WaitFor("2) Defend\n\t  ", kTimeout)) << session_->Screen();
    if (in_key_wait) {
      for (int ally = 0; ally < 4; ++ally) Answer("2) Defend\n\t  ", "2\n");
      ASSERT_TRUE(session_->WaitForKeyWait(kTimeout));
    }
    session_->SendEof();
    ASSERT_TRUE(session_->WaitExit(kTimeout, &status));
    EXPECT_TRUE(ExitedWith(status, 0)) << "status " << status;
    EXPECT_TRUE(LineModeWithEcho(*session_));
  }
}

}  // namespace
