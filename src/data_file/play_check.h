#ifndef OSSIVAR_DATA_FILE_PLAY_CHECK_H
#define OSSIVAR_DATA_FILE_PLAY_CHECK_H

#include <cstddef>
#include <vector>

class tov_file;

// Whether a loaded data file can carry a game. The game's flows refuse a
// file by this rule and the content tool checks files against it, so the
// tool never passes a file the game would refuse.
namespace play_check {

enum class use { kNewGame, kContinue };

enum class fault {
  kNotFound,
  kNotDataFile,     // its first bytes are not a data file's
  kWrongVersion,    // a data file of another format
  kCutShort,        // too short to hold a data file's header
  kTooLarge,        // it would take more memory than a data file may
  kDamaged,         // the reader stopped before the end of the file
  kNoPlayableRace,  // character creation would offer none
  kNoParties,
  kEmptyParty,   // a party a battle needs has no members
  kUnfitMember,  // a member of such a party has no race or career
  kNoEnemyParty,
};

struct problem {
  fault kind;
  std::size_t party = 0;   // for kEmptyParty and kUnfitMember
  std::size_t member = 0;  // for kUnfitMember
};

// Every problem, in the order the game meets them: a file it cannot read
// is only that; the player's party comes before the enemy parties. Empty
// when the file can carry a game of that kind. Enemy parties the session
// never draws are not looked at.
std::vector<problem> Problems(const tov_file& file, const use& kind);

}  // namespace play_check

#endif
