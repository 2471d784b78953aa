// The recording file form, the recordings folder and the screen comparison
// a replay makes, in process.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/recorder.h"
#include "platform/recording.h"
#include "platform/recording_store.h"
#include "replay/screen_check.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using recording::fault;
using test_support::ReadFile;
using test_support::TempDir;

// 2026-12-08T07:00:00 UTC.
constexpr std::time_t kMorning = 1796713200;
// 2000-01-01T00:00:00 UTC, before any run of these tests.
constexpr std::time_t kLongAgo = 946684800;

std::string AllBytes() {
  std::string bytes;
  for (int code = 0; code < 256; ++code) bytes += static_cast<char>(code);
  return bytes;
}

recording::header SomeHeader() {
  recording::header head;
  head.timestamp = kMorning;
  head.title = "OSSIVAR 0.1.2 \xe9t\xc3\xa9";
  head.version = "0.1.2";
  head.terminal = {true, false, true, 132, 43};
  head.files = {{"Core Data.tov", AllBytes() + AllBytes()}, {"save01.tov", ""}, {"caf\xe9.tov", "x"}};
  return head;
}

std::vector<recording::event> SomeEvents() {
  return {{0, recording::kOutput, ""},
          {1, recording::kInput, AllBytes()},
          {1234567, recording::kClock, "1796713200"},
          {3600000001, recording::kResize, "100x30"},
          {3600000002, recording::kOutput, AllBytes()}};
}

std::string File(const recording::header& head, const std::vector<recording::event>& events) {
  std::string file = recording::HeaderLine(head);
  for (const recording::event& happened : events) file += recording::EventLine(happened);
  return file;
}

// The reading of `file`, whose verdict must be `expected`.
recording::contents ReadAs(const std::string& file, fault expected) {
  recording::contents read;
  const recording::verdict verdict = recording::Read(file, &read);
  EXPECT_EQ(verdict.kind, expected) << verdict.reason << "\n" << file.substr(0, 200);
  EXPECT_EQ(verdict.reason.find('\n'), std::string::npos);
  EXPECT_EQ(verdict.reason.empty(), expected == fault::kNone);
  return read;
}

// What was read, written again: the same lines when nothing was lost.
std::string Again(const recording::contents& read) { return File(read.head, read.events); }

TEST(RecordingFile, EverythingWrittenIsReadBack) {
  const std::string file = File(SomeHeader(), SomeEvents());
  const recording::contents read = ReadAs(file, fault::kNone);
  EXPECT_EQ(Again(read), file);
  EXPECT_EQ(read.head.title, SomeHeader().title);
  EXPECT_EQ(read.head.files[0].bytes, SomeHeader().files[0].bytes);
  EXPECT_EQ(read.events[1].data, AllBytes());
  // What players read: one line each, the fixed size and the version.
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 6);
  EXPECT_EQ(file.rfind("{\"version\": 2, \"width\": 80, \"height\": 24, \"timestamp\": 1796713200,", 0), 0u);
  EXPECT_NE(file.find("[3600.000001, \"r\", \"100x30\"]\n"), std::string::npos);

  recording::header unknown_size = SomeHeader();
  unknown_size.terminal = {};
  const std::string plain = recording::HeaderLine(unknown_size);
  EXPECT_EQ(Again(ReadAs(plain, fault::kNone)), plain);
}

TEST(RecordingFile, OtherWritersTimesAreRead) {
  const std::string header = recording::HeaderLine(SomeHeader());
  const recording::contents read =
      ReadAs(header + "[2, \"o\", \"a\"]\n[2.5, \"o\", \"b\"]\n[1e1, \"o\", \"c\"]\n[0.0000019, \"o\", \"d\"]\n",
             fault::kNone);
  ASSERT_EQ(read.events.size(), 4u);
  EXPECT_EQ(read.events[0].microseconds, 2000000);
  EXPECT_EQ(read.events[1].microseconds, 2500000);
  EXPECT_EQ(read.events[2].microseconds, 10000000);
  EXPECT_EQ(read.events[3].microseconds, 1);
  for (const char* wrong : {"-1", "99999999999999", "99999999999999.5", "1e14", "\"1\""}) {
    ReadAs(header + "[" + wrong + ", \"o\", \"a\"]\n[1, \"o\", \"b\"]\n", fault::kDamaged);
  }
}

TEST(RecordingFile, ALastLineCutShortIsLeftOutAndDamageElsewhereIsNot) {
  const std::vector<recording::event> events = SomeEvents();
  const std::string whole = File(SomeHeader(), events);
  const std::string last = recording::EventLine(events.back());
  // Cut anywhere in the last line, its newline included.
  for (std::size_t cut = 1; cut <= last.size(); ++cut) {
    const recording::contents read = ReadAs(whole.substr(0, whole.size() - cut), fault::kNone);
    EXPECT_EQ(Again(read), cut == 1 ? whole : whole.substr(0, whole.size() - last.size())) << "cut " << cut;
  }

  std::string broken = whole;
  const std::size_t third_line = broken.find('\n', broken.find('\n') + 1) + 1;
  broken.insert(third_line, "[1, \"o\"\n");
  recording::contents read;
  const recording::verdict verdict = recording::Read(broken, &read);
  EXPECT_EQ(verdict.kind, fault::kDamaged);
  EXPECT_NE(verdict.reason.find("line 3 "), std::string::npos) << verdict.reason;
  ReadAs(whole + "\n" + last, fault::kDamaged);                         // a blank line
  ReadAs(whole + "[1, \"oo\", \"a\"]\n" + last, fault::kDamaged);      // no event type
  ReadAs(whole + "[1, \"o\", 5]\n" + last, fault::kDamaged);           // data not text
  ReadAs(whole + "[1, \"o\", \"a\", 0]\n" + last, fault::kDamaged);    // four members
}

TEST(RecordingFile, ForeignAndDamagedHeadersAreRefused) {
  const std::string ours = recording::HeaderLine(SomeHeader());
  const std::string event = "[0.5, \"o\", \"a\"]\n";
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string header = ours;
    const std::size_t at = header.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return header.replace(at, from.size(), to) + event;
  };
  ReadAs("", fault::kNotRecording);
  ReadAs("hello\n" + event, fault::kNotRecording);
  ReadAs("[0.5, \"o\", \"a\"]\n", fault::kNotRecording);
  ReadAs(replaced("\"version\": 2,", "\"version\": 1,"), fault::kNotRecording);
  ReadAs(ours.substr(0, ours.size() / 2), fault::kNotRecording);
  ReadAs("{\"version\": 2, \"width\": 80, \"height\": 24, \"timestamp\": 1796713200}\n" + event, fault::kNotOurs);
  ReadAs(replaced("\"format\": 1,", "\"format\": 2,"), fault::kOtherFormat);
  ReadAs(replaced("\"format\": 1,", ""), fault::kOtherFormat);
  ReadAs(replaced("\"timestamp\": 1796713200", "\"timestamp\": \"soon\""), fault::kDamaged);
  ReadAs(replaced("\"size\": \"132x43\"", "\"size\": \"132\""), fault::kDamaged);
  ReadAs(replaced("\"escapes\": true", "\"escapes\": 1"), fault::kDamaged);
  ReadAs(replaced("\"files\": {", "\"files\": {\"x.tov\": \"not Base64!\", "), fault::kDamaged);
  // A replay writes the files into its own folder: no name may lead out.
  for (const char* name : {"../x.tov", "..", "data/x.tov", "..\\\\x.tov", "C:x.tov", "", "x\\u0000.tov"}) {
    ReadAs(replaced("\"files\": {", std::string("\"files\": {\"") + name + "\": \"eA==\", "), fault::kDamaged);
  }
}

TEST(RecordingFile, TheTerminalsViewOfBytes) {
  EXPECT_EQ(recording::AsShown("a\nb\n\n"), "a\r\nb\r\n\r\n");
  std::string others = AllBytes();
  others.erase(others.find('\n'), 1);
  EXPECT_EQ(recording::AsShown(others), others);

  EXPECT_EQ(recording::AsEchoed("Tamsin\n"), "Tamsin\r\n");
  EXPECT_EQ(recording::AsEchoed(std::string("\x01\x1b\x7f\t\0z", 6)), "^A^[^?\t^@z");
  const std::string high = AllBytes().substr(0x80);
  EXPECT_EQ(recording::AsEchoed(high), high);
}

TEST(RecordingFile, SizesOutsideOneTo65535AreRefused) {
  unsigned short columns = 7;
  unsigned short rows = 7;
  EXPECT_TRUE(recording::ParseSize("65535x1", &columns, &rows));
  EXPECT_EQ(columns, 65535);
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(recording::SizeText(columns, rows), "65535x1");
  for (const char* wrong : {"", "80", "x24", "80x", "0x24", "80x0", "65536x24", "80x65536", "-1x24", "+80x24",
                            " 80x24", "80x24 ", "80X24", "80x24x1", "8.0x24"}) {
    EXPECT_FALSE(recording::ParseSize(wrong, &columns, &rows)) << wrong;
  }
  EXPECT_EQ(columns, 65535);
  EXPECT_EQ(rows, 1);
}

// The zone the test runs in for a while.
class Zone {
 public:
  explicit Zone(const char* zone) {
    if (const char* was = std::getenv("TZ")) {
      saved_ = was;
      had_ = true;
    }
    Set(zone);
  }
  ~Zone() { Set(had_ ? saved_.c_str() : nullptr); }

 private:
  // nullptr: no zone named, the system's own.
  static void Set(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone != nullptr ? zone : "");
    _tzset();
#else
    zone != nullptr ? setenv("TZ", zone, 1) : unsetenv("TZ");
    tzset();
#endif
  }
  std::string saved_;
  bool had_ = false;
};

TEST(RecordingsFolder, NamesAreTheStartInUtc) {
  const Zone far_west("XYZ+11");
  EXPECT_EQ(recording_store::FileName(kMorning), "2026-12-08T07-00-00.cast");
  EXPECT_EQ(recording_store::FileName(kMorning + 3600 * 17 + 59, 2), "2026-12-09T00-00-59-2.cast");
  EXPECT_EQ(recording_store::FileName(0, 10), "1970-01-01T00-00-00-10.cast");
}

TEST(RecordingsFolder, TheNewestAreKeptInTheOrderTheyWereMade) {
  // Three runs in one second, then a run a minute for 19 minutes.
  std::vector<std::string> names = {recording_store::FileName(kMorning, 10), recording_store::FileName(kMorning),
                                    recording_store::FileName(kMorning, 2)};
  for (int minute = 19; minute >= 1; --minute) names.push_back(recording_store::FileName(kMorning + 60 * minute));
  for (const char* foreign : {"notes.cast", "2026-12-08T07-00-00.txt", "2026-12-08T07-00-00-.cast",
                              "2026-12-08T07-00-00-x.cast", "2026-12-08 07-00-00.cast", "1999-01-01T00-00-00",
                              ".cast", "recordings"}) {
    names.push_back(foreign);
  }
  EXPECT_EQ(recording_store::Outdated(names, 20),
            (std::vector<std::string>{"2026-12-08T07-00-00.cast", "2026-12-08T07-00-00-2.cast"}));
  EXPECT_EQ(recording_store::Outdated(names, 21), std::vector<std::string>{"2026-12-08T07-00-00.cast"});
  EXPECT_TRUE(recording_store::Outdated(names, 22).empty());
  EXPECT_EQ(recording_store::Outdated(names, 0).size(), 22u);
  EXPECT_EQ(recording_store::Outdated(names, 0).back(), recording_store::FileName(kMorning + 60 * 19));
}

TEST(RecordingsFolder, BeginRecordsIntoANewFileAndRemovesTheOldest) {
  const TempDir dir;
  const std::string folder = dir.path() + "/recordings";
  fs::create_directory(folder);
  for (int day = 0; day < 21; ++day) std::ofstream(folder + "/" + recording_store::FileName(kLongAgo - 86400 * day));
  std::ofstream(folder + "/notes.cast") << "mine";

  const std::string path = recording_store::Begin(folder, SomeHeader());
  ASSERT_FALSE(path.empty());
  recorder::Output("one\n");
  recorder::Input(std::string("\xff\n", 2));
  recorder::Waiting();
  recorder::Attach(nullptr);

  recording::contents read = ReadAs(ReadFile(path), fault::kNone);
  EXPECT_GT(read.head.timestamp, kLongAgo);
  ASSERT_EQ(read.events.size(), 2u);
  EXPECT_EQ(read.events[0].data, "one\r\n");
  EXPECT_EQ(read.events[1].data, std::string("\xff\n", 2));
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left.size(), 21u);  // the 19 newest, the new one, and notes.cast
  EXPECT_NE(std::find(left.begin(), left.end(), fs::path(path).filename().string()), left.end());
  EXPECT_NE(std::find(left.begin(), left.end(), recording_store::FileName(kLongAgo - 86400 * 18)), left.end());
  EXPECT_EQ(std::find(left.begin(), left.end(), recording_store::FileName(kLongAgo - 86400 * 19)), left.end());
}

TEST(RecordingsFolder, AFolderThatCannotBeMadeMeansNoRecording) {
  const TempDir dir;
  std::ofstream(dir.path() + "/blocker") << "a file";
  EXPECT_EQ(recording_store::Begin(dir.path() + "/blocker/recordings", SomeHeader()), "");
  recorder::Output("still played\n");
  recorder::Clock(5);
  recorder::Waiting();
  EXPECT_EQ(ReadFile(dir.path() + "/blocker"), "a file");
}

// The differences a check reports, thrown out of the replay's way.
[[noreturn]] void Throw(const replay::difference& first) { throw first; }

// What `act` reported; screen 0 for nothing.
template <typename Act>
replay::difference Reported(const Act& act) {
  try {
    act();
  } catch (const replay::difference& first) {
    return first;
  }
  return {};
}

TEST(ScreenCheck, TheFirstDifferentScreenAndLineAreFound) {
  const std::vector<recording::event> recorded = {{10, recording::kOutput, "title\r\n"},
                                                  {20, recording::kInput, "n\n"},
                                                  {30, recording::kOutput, "a\r\nb\r\nc"},
                                                  {40, recording::kOutput, "end"}};
  replay::screen_check same(recorded, Throw);
  const replay::difference none = Reported([&] {
    for (const char* screen : {"title\r\n", "a\r\nb\r\nc", "end", "drawn after the recording stopped"}) {
      same.Take({0, recording::kInput, "keys are not compared"});
      same.Take({0, recording::kOutput, screen});
    }
    same.Finish();
  });
  EXPECT_EQ(none.screen, 0u);
  EXPECT_EQ(same.Compared(), 3u);

  replay::screen_check changed(recorded, Throw);
  changed.Take({0, recording::kOutput, "title\r\n"});
  const replay::difference first = Reported([&] { changed.Take({0, recording::kOutput, "a\r\nB\r\nc"}); });
  EXPECT_EQ(first.screen, 2u);
  EXPECT_EQ(first.microseconds, 30);
  EXPECT_EQ(first.line, 2u);
  EXPECT_EQ(first.recorded, "b");
  EXPECT_EQ(first.replayed, "B");
  EXPECT_FALSE(first.missing);

  replay::screen_check short_of(recorded, Throw);
  short_of.Take({0, recording::kOutput, "title\r\n"});
  const replay::difference missing = Reported([&] { short_of.Finish(); });
  EXPECT_EQ(missing.screen, 2u);
  EXPECT_EQ(missing.microseconds, 30);
  EXPECT_EQ(missing.recorded, "a");
  EXPECT_TRUE(missing.missing);
}

TEST(ScreenCheck, LinesThatDifferInAnyWay) {
  EXPECT_EQ(replay::FirstDifference("a\r\nb", "a\r\nb").line, 0u);
  const replay::difference longer = replay::FirstDifference("a", "a\r\nb");
  EXPECT_EQ(longer.line, 2u);
  EXPECT_EQ(longer.recorded, "");
  EXPECT_EQ(longer.replayed, "b");
  EXPECT_EQ(replay::FirstDifference("a\r\nb\r\n", "a\r\nb").line, 3u);
  EXPECT_EQ(replay::FirstDifference("x\r\ny", "x\ny").line, 1u);
  EXPECT_EQ(replay::FirstDifference("x\r\ny", "x\r\r\ny").line, 1u);

  EXPECT_EQ(replay::Visible("Tamsin \xc3\xa9"), "\"Tamsin \xc3\xa9\"");
  EXPECT_EQ(replay::Visible(std::string("\"\\\x1b[1m\x7f\0", 8)), "\"\\x22\\x5c\\x1b[1m\\x7f\\x00\"");
}

}  // namespace
