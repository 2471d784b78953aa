#ifndef OSSIVAR_PLATFORM_RECORDING_H
#define OSSIVAR_PLATFORM_RECORDING_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The file form of a recording, stated once for the recorder that writes
// it and the replay that reads it: an asciicast version 2 file, so that
// asciinema and the web players show the session as the player saw it.
//
// The first line is the header object: version 2, width 80, height 24,
// the start time, a title, and under "ossivar" what an exact replay needs
// besides the events (the game's version, the terminal the session ran
// in, the data files it started from, Base64). Then one event a line,
// [seconds since the start, type, data]: the players show "o" events and
// pass over the rest. Bytes stand in event data as byte_text makes them,
// so none is lost to JSON.
namespace recording {

// The layout of the "ossivar" header member; a replay reads only its own.
constexpr int kFormat = 1;

// Event types.
constexpr char kOutput = 'o';  // what the terminal showed
constexpr char kInput = 'i';   // what the game read, as one read returned it
constexpr char kResize = 'r';  // the terminal's size changed: "COLUMNSxROWS"
constexpr char kClock = 'c';   // the game read the clock: seconds since 1970

struct terminal_facts {
  bool output_is_terminal = false;
  bool input_is_terminal = false;
  bool escapes = false;
  // 0 when the size was unknown.
  unsigned short columns = 0;
  unsigned short rows = 0;
};

struct data_file {
  std::string name;  // as the folder spells it
  std::string bytes;
};

struct header {
  std::int64_t timestamp = 0;  // the start, seconds since 1970
  std::string title;
  std::string version;  // the game's, as "0.1.2"
  terminal_facts terminal;
  std::vector<data_file> files;
};

struct event {
  std::int64_t microseconds = 0;  // since the start
  char type = kOutput;
  std::string data;  // bytes
};

// Each line with its newline.
std::string HeaderLine(const header& head);
std::string EventLine(const event& happened);

std::string SizeText(unsigned short columns, unsigned short rows);
// False for anything but "COLUMNSxROWS" with both numbers 1 to 65535.
bool ParseSize(std::string_view text, unsigned short* columns, unsigned short* rows);

// What a terminal shows of the game's bytes: each newline as the carriage
// return and line feed the terminal turns it into.
std::string AsShown(std::string_view bytes);
// What a terminal echoing typed keys shows of them: newlines as above,
// other control characters as ^X.
std::string AsEchoed(std::string_view bytes);

struct contents {
  header head;
  std::vector<event> events;
};

enum class fault {
  kNone,
  kNotRecording,  // not an asciicast version 2 file at all
  kNotOurs,       // an asciicast file without what a replay needs
  kOtherFormat,   // our member, but a layout this build does not read
  kDamaged,       // a line before the last is no event, or data is wrong
};

struct verdict {
  fault kind = fault::kNone;
  std::string reason;  // one line, for the player
  bool ok() const { return kind == fault::kNone; }
};

// Reads a whole recording. A last line cut short (a crash or a kill while
// it was written) is left out, not taken for damage.
verdict Read(std::string_view file, contents* out);

}  // namespace recording

#endif
