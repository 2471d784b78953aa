#include "game/game.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "data_file/io_file.h"
#include "game/examples.h"
#include "support/example_world.h"
#include "support/test_support.h"

namespace {

using game::ContentProblem;
using play_check::use;

// Every file object starts empty, and the test fills it as if it had been
// read.
class ContentTest : public ::testing::Test {
 protected:
  void SetUp() override { file_ = std::make_unique<tov_file>(); }

  void LoadExamples() { test_support::FillWithExampleWorld(*file_); }

  std::string Problem(const use& kind = use::kNewGame) { return ContentProblem(*file_, kind); }

  std::unique_ptr<tov_file> file_;
};

// The refusal screen shows the first problem after the file's path.
TEST_F(ContentTest, EachProblemIsWordedToFollowThePath) {
  EXPECT_EQ(Problem(), "was not found");
  LoadExamples();
  EXPECT_EQ(Problem(), "");
  EXPECT_EQ(Problem(use::kContinue), "");
  file_->open_result = tov_file::kWrongMagic;
  EXPECT_EQ(Problem(), "is not a data file");
  file_->open_result = tov_file::kWrongVersion;
  EXPECT_EQ(Problem(), "is written in a format this game cannot read");
  file_->open_result = tov_file::kCutShort;
  EXPECT_EQ(Problem(), "is not a complete data file");
  file_->open_result = tov_file::kTooLarge;
  EXPECT_EQ(Problem(), "is too large for this game to load");
  file_->open_result = tov_file::kAccepted;

  file_->parties.emplace_back();
  EXPECT_EQ(Problem(), "has an enemy party with no one fit to fight");
  file_->parties.front() = party();
  EXPECT_EQ(Problem(), "has no one fit to fight in the player's party");
  file_->parties.resize(1);
  file_->parties.front().AddMember(&examples::bob);
  EXPECT_EQ(Problem(), "has no enemy party");
  file_->parties.clear();
  EXPECT_EQ(Problem(), "has no parties at all");
  for (race& r : file_->races) r.playable = 0;
  EXPECT_EQ(Problem(), "has no playable race");
  EXPECT_EQ(Problem(use::kContinue), "has no parties at all");
  file_->stopped_early = true;
  EXPECT_EQ(Problem(), "is damaged: the game stopped reading it before its end");
}

}  // namespace
