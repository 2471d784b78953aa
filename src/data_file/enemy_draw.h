#ifndef OSSIVAR_DATA_FILE_ENEMY_DRAW_H
#define OSSIVAR_DATA_FILE_ENEMY_DRAW_H

#include <cstddef>
#include <vector>

// Which party of a data file the session fights: the parties after the
// player's, drawn by one random number. Kept beside the data file so that
// whatever judges a file's parties asks the same rule the session uses.
namespace enemy_draw {

// The party position for a draw of the random source: 1 + draw / 10922,
// so positions 1 to 3 share nearly every draw and position 4 gets the
// last two. Folded onto the last party when the file holds fewer; 0 when
// it holds no party after the player's.
std::size_t Position(const int& draw, const std::size_t& party_count);

// For each party position, how many of all possible draws pick it.
std::vector<int> Chances(const std::size_t& party_count);

}  // namespace enemy_draw

#endif
