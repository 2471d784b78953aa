#ifndef OSSIVAR_GAME_GAME_H
#define OSSIVAR_GAME_GAME_H

#include <cstddef>
#include <string>

class actor;
class tov_file;

// The title menu: draws the title screen and acts on the letter read.
// Returns only when the player quits, after the farewell screen.
void MainMenu();

// The flows behind "N" and "C" on the title menu. Each checks its data file
// first; when the file cannot carry a game they show why and return to the
// menu. Once the session has started they never return.
void NewGame();
void ContinueGame();

// One battle after another against randomly drawn enemy parties, saving
// before each. Never returns.
void MainLoop(tov_file* file, actor* character);

// The decisions of the flows, kept apart from the screens.
namespace game {

// The content the game starts from and the save it writes and continues.
extern const char* const kContentName;
extern const char* const kSaveName;
extern const char* const kContinueName;

enum class content_use { kNewGame, kContinue };

// Empty when the loaded file can carry a game of that kind; otherwise what
// is wrong with it, worded to follow the file's path ("was not found").
std::string ContentProblem(const tov_file& file, const content_use& use);

// The enemy party for a draw of 0 to 32767: 1 + draw / 10922, folded onto
// the last party when the file holds fewer.
std::size_t EnemyPosition(const int& draw, const std::size_t& party_count);

// The file as the player finds it from the working directory.
std::string DisplayPath(const std::string& base_name);

}  // namespace game

#endif
