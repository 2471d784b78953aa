#include "game/game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data_file/io_file.h"
#include "game/examples.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using game::content_use;
using game::ContentProblem;

// Every file object starts empty, and the test fills it as if it had been
// read.
class ContentTest : public ::testing::Test {
 protected:
  void SetUp() override { file_ = std::make_unique<tov_file>(); }

  // The built-in world as a loaded file: a player's party and three goblin
  // parties, with the human race playable.
  void LoadExamples() {
    tov_file& f = *file_;
    f.file_found = true;
    f.open_result = tov_file::kAccepted;
    for (const race* r : examples::Races()) f.races.push_back(*r);
    f.races.front().playable = 1;
    for (const career* c : examples::Careers()) f.careers.push_back(*c);
    for (const party* p : examples::Parties()) f.parties.push_back(*p);
  }

  std::string Problem(content_use use = content_use::kNewGame) { return ContentProblem(*file_, use); }

  std::unique_ptr<tov_file> file_;
};

TEST_F(ContentTest, TheBuiltInWorldCarriesBothKindsOfGame) {
  LoadExamples();
  EXPECT_EQ(Problem(content_use::kNewGame), "");
  EXPECT_EQ(Problem(content_use::kContinue), "");
}

TEST_F(ContentTest, AMissingOrForeignFileIsNamedAsSuch) {
  EXPECT_EQ(Problem(), "was not found");
  EXPECT_EQ(Problem(content_use::kContinue), "was not found");
  LoadExamples();
  file_->open_result = tov_file::kWrongMagic;
  EXPECT_EQ(Problem(), "is not a data file");
  file_->open_result = tov_file::kWrongVersion;
  EXPECT_EQ(Problem(), "is written in a format this game cannot read");
}

TEST_F(ContentTest, OnlyANewGameNeedsAPlayableRace) {
  LoadExamples();
  file_->races.front().playable = 0;
  EXPECT_EQ(Problem(content_use::kNewGame), "has no playable race");
  EXPECT_EQ(Problem(content_use::kContinue), "");
}

TEST_F(ContentTest, ThePlayersPartyMustHaveSomeoneToFight) {
  LoadExamples();
  file_->parties.front().RemoveMember(0);
  EXPECT_EQ(Problem(), "") << "three members are still enough";
  while (file_->parties.front().member_count > 0) file_->parties.front().RemoveMember(0);
  EXPECT_EQ(Problem(), "has no one fit to fight in the player's party");
  EXPECT_EQ(Problem(content_use::kContinue), "has no one fit to fight in the player's party");
}

TEST_F(ContentTest, EveryPartyThatCanBeDrawnMustBeAbleToFight) {
  LoadExamples();
  file_->parties.resize(1);
  EXPECT_EQ(Problem(), "has no enemy party");
  file_->parties.clear();
  EXPECT_EQ(Problem(), "has no parties at all");

  LoadExamples();
  file_->parties.resize(4);
  file_->parties.emplace_back();  // an empty fifth party: position 4 is drawn
  EXPECT_EQ(Problem(), "has an enemy party with no one fit to fight");
  file_->parties.back().AddMember(&examples::goblin01);
  file_->parties.emplace_back();  // a sixth party is never drawn
  EXPECT_EQ(Problem(), "");
}

TEST_F(ContentTest, AFighterWithoutRaceOrCareerIsRefused) {
  LoadExamples();
  actor stray;  // a default actor has neither
  file_->parties[2].shared_members = true;
  file_->parties[2].AddMember(&stray);
  EXPECT_EQ(Problem(), "has an enemy party with no one fit to fight");
  file_->parties[2].RemoveMember(&stray);
  stray.race = &file_->races.front();
  file_->parties.front().shared_members = true;
  file_->parties.front().AddMember(&stray);
  EXPECT_EQ(Problem(), "has no one fit to fight in the player's party");
}

TEST(EnemyPositionTest, EachOfThreeEnemyPartiesTakesAThirdOfTheDraws) {
  constexpr std::size_t kFiveParties = 5;
  EXPECT_EQ(game::EnemyPosition(0, kFiveParties), 1u);
  EXPECT_EQ(game::EnemyPosition(10921, kFiveParties), 1u);
  EXPECT_EQ(game::EnemyPosition(10922, kFiveParties), 2u);
  EXPECT_EQ(game::EnemyPosition(21843, kFiveParties), 2u);
  EXPECT_EQ(game::EnemyPosition(21844, kFiveParties), 3u);
  EXPECT_EQ(game::EnemyPosition(32765, kFiveParties), 3u);
  EXPECT_EQ(game::EnemyPosition(32766, kFiveParties), 4u);
  EXPECT_EQ(game::EnemyPosition(32767, kFiveParties), 4u);
}

TEST(EnemyPositionTest, APositionPastTheLastPartyBecomesTheLast) {
  EXPECT_EQ(game::EnemyPosition(32766, 4), 3u);
  EXPECT_EQ(game::EnemyPosition(32767, 4), 3u);
  EXPECT_EQ(game::EnemyPosition(21844, 3), 2u);
  EXPECT_EQ(game::EnemyPosition(32767, 2), 1u);
  EXPECT_EQ(game::EnemyPosition(0, 2), 1u);
  // Every draw names an existing party.
  for (std::size_t count = 2; count <= 6; ++count) {
    for (int draw = 0; draw <= 32767; draw += 97) EXPECT_LT(game::EnemyPosition(draw, count), count);
  }
}

}  // namespace
