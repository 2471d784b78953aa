#ifndef OSSIVAR_DATA_FILE_IO_FILE_H
#define OSSIVAR_DATA_FILE_IO_FILE_H

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <istream>
#include <ostream>
#include <string>

#include "data_file/frame.h"
#include "model/actor.h"
#include "model/career.h"
#include "model/party.h"
#include "model/pstr.h"
#include "model/race.h"

// A loaded data file: all races, careers, actors and parties of one file,
// and the header it was read with. Records point at each other, so the
// collections only ever grow at the back and never move a record; the
// texts of records read from a file point into the bytes it keeps. A copy
// of a record owns its texts, and still points into these collections.
//
// Read and Write work on bytes in streams; Open, ReadAll, Write(quiet) and
// RenameFile take those bytes from and to <directory><file_name>.tov.
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

  // Results of Open and Read.
  static constexpr int kAccepted = 0;
  static constexpr int kWrongMagic = 1;
  static constexpr int kWrongVersion = 2;
  // Shorter than the whole header.
  static constexpr int kCutShort = 3;
  // It would take more memory than a data file may (see file_reader.h).
  static constexpr int kTooLarge = 4;

  std::deque<race> races;
  std::deque<career> careers;
  std::deque<actor> actors;
  std::deque<party> parties;

  std::string directory;
  std::string file_name;
  unsigned short header_length = 0;
  pstr<unsigned char> title;
  pstr<unsigned char> author;
  pstr<unsigned char> description;
  signed char date[3] = {0, 0, 0};
  // Write stamps the day it writes unless the date is given: a file built
  // from its source must come out the same bytes on any day.
  bool keep_date = false;

  // The header's file form, from offset 0, as a field list
  // (data_file/frame.h) that reading, writing and the tool all walk.
  template <class V>
  void HeaderFields(V& v) {
    HeaderFieldsOf(*this, v);
  }
  template <class V>
  void HeaderFields(V& v) const {
    HeaderFieldsOf(*this, v);
  }

  // What loading found, for callers that must refuse a missing, foreign or
  // damaged file: whether the file could be read, what the header check
  // said, and whether reading stopped before the end of the bytes (a header,
  // section or record cut short, or a section tag it does not know; what it
  // read before stays loaded), with the byte offset where that begins.
  bool file_found = false;
  int open_result = kWrongMagic;
  bool stopped_early = false;
  std::size_t stopped_at = 0;

  // Why the last Write failed (empty after a successful one), and whether
  // it failed for the same lasting reason as the write before, which the
  // player has then been told already.
  std::string write_error;
  bool write_error_repeated = false;

  // Loads nothing and touches no file; the directory is left empty.
  tov_file() = default;
  // Opens and reads <working directory>/data/<base_name>.tov quietly.
  explicit tov_file(const std::string& base_name);
  // Records point into the collections; a copy would point into the original.
  tov_file(const tov_file&) = delete;
  tov_file& operator=(const tov_file&) = delete;

  // Reads a whole data file: the header check (with the results of Open),
  // then every section, resolving references. Returns open_result.
  int Read(std::istream& in, const bool& quiet);
  // Renumbers, stamps today's date (unless keep_date) and writes the whole file. False (and
  // write_error says why) when it cannot be written whole.
  bool Write(std::ostream& out, const bool& quiet);

  // The whole path the file is read from and written to.
  std::string Path() const;

  void DefineCurrentDirectory();
  int Open(const std::string& base_name, const bool& quiet);
  void ReadAll(const bool& quiet);

  // The last record carrying the identifier, else the first record;
  // nullptr when the collection is empty (data_file/id_lookup.h).
  race* FindRace(const std::uint32_t& id);
  career* FindCareer(const std::uint32_t& id);
  actor* FindActor(const std::uint32_t& id);

  // Lets go of the bytes Open read and ReadAll has not used yet.
  void Close();

  // Writes the whole file through a temporary file that replaces the old
  // one only once it is complete. False (and write_error says why) when
  // anything failed; the old file is then left as it was, except when only
  // the final sync of the directory failed after the new file took its place.
  bool Write(const bool& quiet);
  void SetTime();
  // The date bytes of a calendar time already broken down.
  void SetDate(const std::tm& when);
  void SetHeaderLength();
  // Every record's identifier becomes its position; every reference is
  // rewritten so that it still designates the record it did.
  void RestructureIDs();
  void RenameFile(const std::string& new_name, const bool& move_file);

  // The clock SetTime reads; tests replace it to fix the date.
  std::time_t (*clock)() = nullptr;

 private:
  template <class Self, class V>
  static void HeaderFieldsOf(Self& self, V& v) {
    v.Mark("magic", mark{kMagicNumber, 4, 4, kWrongMagic, true});
    // Only the first version byte tells a format this game cannot read.
    v.Mark("version", mark{kFormatVersion, 3, 1, kWrongVersion, false});
    v.Date("date", self.date);
    v.Size("header_length", kSizeOfHeader);
    v.Text("title", self.title);
    v.Text("author", self.author);
    v.Text("description", self.description);
  }

  int ReadBytes(std::string& bytes, const std::string& shown_name, const bool& quiet);
  int ReadHeader(const std::string& bytes, const std::string& shown_name, const bool& quiet);
  // Takes the bytes over: the records' texts point into them.
  void ReadSections(std::string& bytes, const bool& quiet);
  // The whole file into bytes; false, with write_error, when it cannot be.
  bool Serialize(std::string& bytes, const bool& quiet);
  void SerializeRecords(std::string& bytes, const bool& quiet);

  std::string held_;  // what Open read, until ReadAll
  // The bytes of every file read into this one, for as long as records
  // read from them may point into them.
  std::deque<std::string> kept_;
};

#endif
