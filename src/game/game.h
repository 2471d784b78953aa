#ifndef OSSIVAR_GAME_GAME_H
#define OSSIVAR_GAME_GAME_H

#include <string>

#include "data_file/play_check.h"

class actor;
class tov_file;

// A whole run of the game: takes the terminal, then the title menu. The
// game's main and the replay both run this.
void Play();

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

// Where each run's recording goes, from the working directory.
extern const char* const kRecordingsFolder;

// Starts recording this run, with the data files it starts from. Without
// a recording the game plays just the same.
void Record();

// The version as "0.1.2", and the battles this run has begun.
std::string Version();
unsigned BattlesBegun();

// Empty when the loaded file can carry a game of that kind; otherwise what
// is wrong with it, worded to follow the file's path ("was not found").
std::string ContentProblem(const tov_file& file, const play_check::use& use);

// The file as the player finds it from the working directory.
std::string DisplayPath(const std::string& base_name);

// The version as the title shows it: the minor number in two digits and
// the patch number in three, so 0.1.2 reads 0.01.002.
std::string TitleVersion(const unsigned& major, const unsigned& minor, const unsigned& patch);
// This build's version in that form.
std::string TitleVersion();

}  // namespace game

#endif
