#ifndef OSSIVAR_DATA_FILE_IO_FILE_H
#define OSSIVAR_DATA_FILE_IO_FILE_H

#include <cstdint>
#include <ctime>
#include <deque>
#include <fstream>
#include <string>

#include "model/actor.h"
#include "model/career.h"
#include "model/party.h"
#include "model/pstr.h"
#include "model/race.h"

// A loaded data file: all races, careers, actors and parties of one file in
// the data directory, and the header it was read with. Records point at
// each other, so the collections only ever grow at the back and never move
// a record.
class tov_file {
 public:
  static const char kMagicNumber[4];
  static const char kFormatVersion[4];
  static const char kFileExtension[5];
  static const char kTagRace[4];
  static const char kTagParty[4];
  static const char kTagItem[4];
  static const char kTagCareer[4];
  static const char kTagActor[4];

  // Results of Open.
  static constexpr int kAccepted = 0;
  static constexpr int kWrongMagic = 1;
  static constexpr int kWrongVersion = 2;

  std::deque<race> races;
  std::deque<career> careers;
  std::deque<actor> actors;
  std::deque<party> parties;

  std::string directory;
  std::ifstream in_stream;
  std::ofstream out_stream;
  std::string file_name;
  unsigned short header_length = 0;
  pstr<unsigned char> title;
  pstr<unsigned char> author;
  pstr<unsigned char> description;
  signed char date[3] = {0, 0, 0};

  // What loading found, for callers that must refuse a missing or foreign
  // file: whether the file could be opened, and what Open said of it.
  bool file_found = false;
  int open_result = kWrongMagic;
  // The reader stopped before the end of an accepted file: a header or
  // record cut short, or a section tag it does not know. What it read
  // before that stays loaded.
  bool stopped_early = false;

  // Why the last Write failed (empty after a successful one).
  std::string write_error;

  // Opens and reads <working directory>/data/<base_name>.tov quietly.
  explicit tov_file(const std::string& base_name);

  // The whole path the file is read from and written to.
  std::string Path() const;

  void DefineCurrentDirectory();
  int Open(const std::string& base_name, const bool& quiet);
  void ReadAll(const bool& quiet);

  // The last record carrying the identifier, else the first record;
  // nullptr when the collection is empty.
  race* FindRace(const std::uint32_t& id);
  career* FindCareer(const std::uint32_t& id);
  actor* FindActor(const std::uint32_t& id);

  void Close();

  // Writes the whole file through a temporary file that replaces the old
  // one only once it is complete. False (and write_error says why) when
  // anything failed; the old file is then left as it was, except when only
  // the final sync of the directory failed after the new file took its place.
  bool Write(const bool& quiet);
  void SetTime();
  void SetHeaderLength();
  void RestructureIDs();
  void RenameFile(const std::string& new_name, const bool& move_file);

  // The clock SetTime reads; tests replace it to fix the date.
  std::time_t (*clock)() = nullptr;
};

#endif
