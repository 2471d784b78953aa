#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "data_file/io_file.h"
#include "support/data_file_bytes.h"
#include "support/test_support.h"

namespace {

using test_support::ReadFile;

const std::string kCommitted = std::string(OSSIVAR_SOURCE_DIR) + "/data/Core Data.tov";

// The committed content file is exactly what the tool makes today, but for
// the date it was made on.
TEST(CoreDataTest, ToolRegeneratesTheCommittedFile) {
  test_support::TempDir dir;
  std::filesystem::create_directory(dir.path() + "/data");
  const std::string command = std::string("'") + OSSIVAR_MAKE_CORE_DATA + "' '" + dir.path() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  std::string made = ReadFile(dir.path() + "/data/Core Data.tov");
  const std::string committed = ReadFile(kCommitted);
  ASSERT_GT(committed.size(), 15u);
  ASSERT_EQ(made.size(), committed.size());
  made.replace(7, 3, committed.substr(7, 3));
  EXPECT_TRUE(made == committed) << "data/Core Data.tov is out of date: rebuild it with make_core_data";
}

// What the game relies on in its content file.
TEST(CoreDataTest, HoldsWhatANewGameNeeds) {
  const auto loaded = data_file_test::Load(data_file_test::CoreData());
  const tov_file& file = *loaded;

  ASSERT_EQ(file.open_result, tov_file::kAccepted);
  ASSERT_EQ(file.races.size(), 8u);
  ASSERT_EQ(file.careers.size(), 15u);
  ASSERT_EQ(file.actors.size(), 6u);
  ASSERT_EQ(file.parties.size(), 4u);
  for (std::size_t i = 0; i < file.races.size(); ++i) EXPECT_EQ(file.races[i].playable != 0, i <= 6) << i;
  for (std::size_t i = 0; i < file.careers.size(); ++i) {
    EXPECT_EQ(file.careers[i].playable != 0, i >= 1 && i <= 12) << i;
  }
  EXPECT_EQ(file.races[7].name.str(), "Goblin");
  EXPECT_EQ(file.careers[8].name.str(), "Healer");

  for (const actor& a : file.actors) {
    ASSERT_NE(a.race, nullptr);
    ASSERT_NE(a.career, nullptr);
    EXPECT_EQ(a.race, &file.races[a.race_id]);
    EXPECT_EQ(a.career, &file.careers[a.career_id]);
    EXPECT_FALSE(a.player_controlled);
  }
  EXPECT_EQ(file.actors[5].name.str(), "Scrawny Goblin");

  const party& player = file.parties[0];
  EXPECT_EQ(player.name.str(), "Player");
  EXPECT_TRUE(player.shared_members);
  ASSERT_EQ(player.member_count, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(player.members[i], &file.actors[i]);

  const unsigned char counts[] = {3, 3, 4};
  const std::uint32_t goblins03[] = {5, 5, 5, 5};
  for (int p = 1; p < 4; ++p) {
    const party& goblins = file.parties[p];
    EXPECT_EQ(goblins.name.str(), "Goblins");
    EXPECT_FALSE(goblins.shared_members);
    ASSERT_EQ(goblins.member_count, counts[p - 1]);
    for (const actor* member : goblins.members) EXPECT_GE(member->id, 4u);
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(file.parties[3].members[i]->id, goblins03[i]);
}

}  // namespace
