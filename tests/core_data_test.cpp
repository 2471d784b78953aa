// The shipped content: content/core.json is its source, data/Core Data.tov
// what tov builds from it, and both are the built-in world, so the built-in
// world's every value is checked against the author's source here.

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "data_file/io_file.h"
#include "game/examples.h"
#include "support/data_file_bytes.h"
#include "support/example_world.h"
#include "support/test_support.h"
#include "tov/commands.h"

namespace {

using data_file_test::ExpectSameButDate;
using test_support::ReadFile;

const std::string kSource = std::string(OSSIVAR_SOURCE_DIR) + "/content/core.json";

TEST(CoreDataTest, TheSourceBuildsTheCommittedFile) {
  test_support::TempDir dir;
  const std::string built = dir.path() + "/Core Data.tov";
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(commands::Run({"check", kSource}, out, err), commands::kSound) << out.str();
  ASSERT_EQ(commands::Run({"build", kSource, "-o", built}, out, err), commands::kSound) << err.str();
  data_file_test::ExpectSameBytes(data_file_test::CoreData(), ReadFile(built),
                    "data/Core Data.tov is out of date: rebuild it from content/core.json (target core_data)");
}

TEST(CoreDataTest, TheCommittedFileIsTheBuiltInWorld) {
  tov_file world;
  test_support::FillWithExampleWorld(world);
  ExpectSameButDate(data_file_test::CoreData(), data_file_test::Save(world),
                    "content/core.json no longer holds the built-in world");
}

// The built-in world's janitor is what a career is before anything is read.
TEST(CoreDataTest, TheJanitorIsTheDefaultCareer) {
  EXPECT_EQ(test_support::FileForm(examples::janitor), test_support::FileForm(career()));
}

// What the game relies on in its content file, as it loads it.
TEST(CoreDataTest, HoldsWhatANewGameNeeds) {
  const std::unique_ptr<tov_file> loaded = data_file_test::Load(data_file_test::CoreData());
  const tov_file& file = *loaded;

  ASSERT_EQ(file.open_result, tov_file::kAccepted);
  EXPECT_FALSE(file.stopped_early);
  ASSERT_EQ(file.races.size(), 8u);
  ASSERT_EQ(file.careers.size(), 15u);
  ASSERT_EQ(file.actors.size(), 6u);
  ASSERT_EQ(file.parties.size(), 4u);
  for (const actor& a : file.actors) {
    ASSERT_NE(a.race, nullptr);
    ASSERT_NE(a.career, nullptr);
    EXPECT_EQ(a.race, &file.races[a.race_id]);
    EXPECT_EQ(a.career, &file.careers[a.career_id]);
    EXPECT_FALSE(a.player_controlled);
  }
  const party& player = file.parties[0];
  EXPECT_TRUE(player.shared_members);
  ASSERT_EQ(player.member_count, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(player.members[i], &file.actors[i]);
  for (int p = 1; p < 4; ++p) {
    EXPECT_FALSE(file.parties[p].shared_members);
    for (const actor* member : file.parties[p].members) EXPECT_GE(member->id, 4u);
  }
}

}  // namespace
