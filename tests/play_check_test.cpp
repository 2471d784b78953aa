// Whether a loaded data file can carry a game, how the game words what
// keeps it from one, and the enemy draw that rule shares with the session.

#include "data_file/play_check.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data_file/enemy_draw.h"
#include "data_file/io_file.h"
#include "game/examples.h"
#include "game/game.h"
#include "support/data_file_bytes.h"
#include "support/example_world.h"
#include "support/test_support.h"

namespace {

using play_check::fault;
using play_check::use;

// "kind" or "kind party" or "kind party.member" for each problem.
std::string Describe(const std::vector<play_check::problem>& problems) {
  static const char* const kNames[] = {"not found",   "not a data file", "wrong version",    "cut short",
                                       "too large",   "damaged",         "no playable race", "no parties",
                                       "empty party", "unfit member",    "no enemy party"};
  std::string out;
  for (const play_check::problem& p : problems) {
    if (!out.empty()) out += "; ";
    out += kNames[static_cast<int>(p.kind)];
    // Appended piece by piece, which g++ -O3 does not take for an overlapping copy.
    if (p.kind == fault::kEmptyParty || p.kind == fault::kUnfitMember) {
      out += ' ';
      out += std::to_string(p.party);
    }
    if (p.kind == fault::kUnfitMember) {
      out += '.';
      out += std::to_string(p.member);
    }
  }
  return out;
}

// A file object starts empty; a test fills it as if read, or reads bytes.
class PlayCheckTest : public ::testing::Test {
 protected:
  void LoadExamples() {
    file_ = std::make_unique<tov_file>();
    test_support::FillWithExampleWorld(*file_);
  }

  std::string Problems(const use& kind = use::kNewGame) {
    return Describe(play_check::Problems(*file_, kind));
  }

  // The built-in world's bytes as the game saves them.
  static std::string WorldBytes() {
    tov_file world;
    test_support::FillWithExampleWorld(world);
    return data_file_test::Save(world);
  }

  std::string ProblemsOfBytes(const std::string& bytes) {
    file_ = data_file_test::Load(bytes);
    file_->file_found = true;  // as the game reads them: from a file that is there
    return Problems();
  }

  std::unique_ptr<tov_file> file_ = std::make_unique<tov_file>();
};

TEST_F(PlayCheckTest, TheBuiltInWorldCarriesBothKindsOfGame) {
  LoadExamples();
  EXPECT_EQ(Problems(use::kNewGame), "");
  EXPECT_EQ(Problems(use::kContinue), "");
}

// The refusal screen shows the game's words for the first problem after
// the file's path.
TEST_F(PlayCheckTest, AFileTheGameCannotReadIsOnlyThat) {
  EXPECT_EQ(Problems(), "not found");
  EXPECT_EQ(Problems(use::kContinue), "not found");
  EXPECT_EQ(game::ContentProblem(*file_, use::kNewGame), "was not found");
  LoadExamples();
  file_->parties.clear();
  const struct {
    int result;
    const char* problem;
    const char* words;
  } unreadable[] = {
      {tov_file::kWrongMagic, "not a data file", "is not a data file"},
      {tov_file::kWrongVersion, "wrong version", "is written in a format this game cannot read"},
      {tov_file::kCutShort, "cut short", "is not a complete data file"},
      {tov_file::kTooLarge, "too large", "is too large for this game to load"}};
  for (const auto& u : unreadable) {
    file_->open_result = u.result;
    EXPECT_EQ(Problems(), u.problem);
    EXPECT_EQ(game::ContentProblem(*file_, use::kNewGame), u.words);
  }
}

TEST_F(PlayCheckTest, OnlyANewGameNeedsAPlayableRace) {
  LoadExamples();
  for (race& r : file_->races) r.playable = 0;
  EXPECT_EQ(Problems(use::kNewGame), "no playable race");
  EXPECT_EQ(Problems(use::kContinue), "");
}

TEST_F(PlayCheckTest, ThePlayersPartyMustHaveSomeoneToFight) {
  LoadExamples();
  file_->parties.front().RemoveMember(0);
  EXPECT_EQ(Problems(), "") << "three members are still enough";
  while (file_->parties.front().member_count > 0) file_->parties.front().RemoveMember(0);
  EXPECT_EQ(Problems(), "empty party 0");
  EXPECT_EQ(Problems(use::kContinue), "empty party 0");
}

TEST_F(PlayCheckTest, EveryPartyThatCanBeDrawnMustBeAbleToFight) {
  LoadExamples();
  file_->parties.resize(1);
  EXPECT_EQ(Problems(), "no enemy party");
  file_->parties.clear();
  EXPECT_EQ(Problems(), "no parties");

  LoadExamples();
  file_->parties.emplace_back();  // an empty fifth party: position 4 is drawn
  EXPECT_EQ(Problems(), "empty party 4");
  file_->parties.back().AddMember(&examples::goblin01);
  file_->parties.emplace_back();  // a sixth party is never drawn
  EXPECT_EQ(Problems(), "");
}

TEST_F(PlayCheckTest, AFighterWithoutRaceOrCareerIsNamed) {
  LoadExamples();
  actor stray;  // a default actor has neither
  file_->parties[2].shared_members = true;
  file_->parties[2].AddMember(&stray);
  EXPECT_EQ(Problems(), "unfit member 2.3");
  file_->parties[2].RemoveMember(&stray);
  stray.race = &file_->races.front();
  file_->parties.front().AddMember(&stray);
  EXPECT_EQ(Problems(), "unfit member 0.4");
}

TEST_F(PlayCheckTest, AllProblemsComeInTheOrderTheGameMeetsThem) {
  LoadExamples();
  for (race& r : file_->races) r.playable = 0;
  while (file_->parties.front().member_count > 0) file_->parties.front().RemoveMember(0);
  file_->parties[3].RemoveMember(0);
  file_->parties[1] = party();
  EXPECT_EQ(Problems(), "no playable race; empty party 0; empty party 1");
}

TEST_F(PlayCheckTest, AFileTheReaderStoppedInIsDamaged) {
  const std::string whole = WorldBytes();
  ASSERT_GT(whole.size(), 100u);
  EXPECT_EQ(ProblemsOfBytes(whole), "");
  EXPECT_FALSE(file_->stopped_early);

  // Cut inside the last party's member list: the parties all still fight.
  EXPECT_EQ(ProblemsOfBytes(whole.substr(0, whole.size() - 2)), "damaged");
  // A section the game does not know, after everything it needs.
  EXPECT_EQ(ProblemsOfBytes(whole + "ITEM" + std::string(6, '\0')), "damaged");
  // Stray bytes too few for a tag.
  EXPECT_EQ(ProblemsOfBytes(whole + "PA"), "damaged");
  // A count promising one more party than the file holds.
  std::string more = whole;
  const std::size_t parties = more.rfind("PART");
  ASSERT_NE(parties, std::string::npos);
  more[parties + 8] = static_cast<char>(more[parties + 8] + 1);
  EXPECT_EQ(ProblemsOfBytes(more), "damaged");
  // Cut inside the header: not a data file the game can take at all.
  EXPECT_EQ(ProblemsOfBytes(whole.substr(0, 14)), "cut short");
}

TEST_F(PlayCheckTest, TheGameWordsEachProblemToFollowThePath) {
  const auto words = [&](const use& kind = use::kNewGame) { return game::ContentProblem(*file_, kind); };
  LoadExamples();
  EXPECT_EQ(words(), "");
  EXPECT_EQ(words(use::kContinue), "");
  file_->parties.emplace_back();
  EXPECT_EQ(words(), "has an enemy party with no one fit to fight");
  file_->parties.front() = party();
  EXPECT_EQ(words(), "has no one fit to fight in the player's party");
  file_->parties.resize(1);
  file_->parties.front().AddMember(&examples::bob);
  EXPECT_EQ(words(), "has no enemy party");
  file_->parties.clear();
  EXPECT_EQ(words(), "has no parties at all");
  for (race& r : file_->races) r.playable = 0;
  EXPECT_EQ(words(), "has no playable race");
  EXPECT_EQ(words(use::kContinue), "has no parties at all");
  file_->stopped_early = true;
  EXPECT_EQ(words(), "is damaged: the game stopped reading it before its end");
}

TEST(EnemyDrawTest, EachOfThreeEnemyPartiesTakesAThirdAndThePositionStaysInTheFile) {
  const struct {
    int draw;
    std::size_t parties, position;
  } cases[] = {{0, 5, 1},     {10921, 5, 1}, {10922, 5, 2}, {21843, 5, 2}, {21844, 5, 3},
               {32765, 5, 3}, {32766, 5, 4}, {32767, 5, 4}, {32766, 4, 3}, {32767, 4, 3},
               {21844, 3, 2}, {32767, 2, 1}, {0, 2, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(enemy_draw::Position(c.draw, c.parties), c.position) << c.draw << " of " << c.parties;
  }
  for (std::size_t count = 2; count <= 6; ++count) {
    for (int draw = 0; draw <= 32767; draw += 97) EXPECT_LT(enemy_draw::Position(draw, count), count);
  }
}

TEST(EnemyDrawTest, ChancesCountEveryDrawOnce) {
  EXPECT_EQ(enemy_draw::Chances(6), (std::vector<int>{0, 10922, 10922, 10922, 2, 0}));
  EXPECT_EQ(enemy_draw::Chances(4), (std::vector<int>{0, 10922, 10922, 10924}));
  EXPECT_EQ(enemy_draw::Chances(2), (std::vector<int>{0, 32768}));
  EXPECT_EQ(enemy_draw::Chances(0), std::vector<int>{});
}

}  // namespace
