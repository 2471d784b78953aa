#ifndef OSSIVAR_TESTS_SUPPORT_EXAMPLE_WORLD_H
#define OSSIVAR_TESTS_SUPPORT_EXAMPLE_WORLD_H

class tov_file;

namespace test_support {

// Fills an empty data file object with the built-in world as the game
// ships it: every race but the goblins and every career but the janitor
// and the two goblin careers playable, the player's party sharing the
// file's own actors, the goblin parties fought as copies, and the shipped
// header. The file is marked as found and read whole.
void FillWithExampleWorld(tov_file& file);

}  // namespace test_support

#endif
