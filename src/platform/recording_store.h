#ifndef OSSIVAR_PLATFORM_RECORDING_STORE_H
#define OSSIVAR_PLATFORM_RECORDING_STORE_H

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "platform/recording.h"

// The recordings folder: one file a run, named by its start time, the
// newest kKept of them kept.
namespace recording_store {

constexpr std::size_t kKept = 20;

// "2026-12-08T07-00-00.cast" for that start, in UTC: letters, digits and
// hyphens only, as every system allows in a name. `attempt` 2 and up
// tells apart runs started within the same second ("...-2.cast").
std::string FileName(const std::time_t& start, const int& attempt = 1);

// Of the names in the folder, the recordings to remove so that the newest
// `kept` stay, oldest first. Names not made by FileName are never chosen.
std::vector<std::string> Outdated(const std::vector<std::string>& names, const std::size_t& kept);

// What a recording starts from: the game's data files as they are now.
// Each is looked up in `directory` (ending in a separator) as the game
// looks them up, letter case aside; one not there is left out.
std::vector<recording::data_file> CurrentFiles(const std::string& directory,
                                               const std::vector<std::string>& names);

// Starts recording this run into a new file in `folder` (made when
// missing) and attaches it to the recorder; the header's timestamp is
// filled in here. Everything is written by the time the game waits for the
// player, and the rest when the program ends normally. Returns the file's
// path, or "" when there is no recording: then, and whenever a write later
// fails, the game plays on unrecorded and nothing is said.
std::string Begin(const std::string& folder, recording::header head);

}  // namespace recording_store

#endif
