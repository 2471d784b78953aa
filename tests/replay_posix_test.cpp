// Recordings the built game makes, replayed by the built replay program:
// exact replays, divergences found at the screen that differs, files that
// are refused, and recordings that fail without touching the game.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/recording.h"
#include "support/pty_session.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::ReadFile;
using test_support::TempDir;

const std::string kRound = "0\n0\n0\n0\n0\n0\n0\n0\n";  // each of the four attacks the first enemy
// A new character through every creation screen, then two battle rounds.
const std::string kNewGame = "n\nTamsin\nf\n0\n1\n1\n1\n0\n1\n0\n1\n4\n" + kRound + kRound;

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// Runs `command` in `folder`; what it says is kept in `logs`.
Outcome RunIn(const TempDir& logs, const std::string& folder, const std::string& command) {
  const std::string out = logs.path() + "/out";
  const std::string err = logs.path() + "/err";
  const int status = std::system(("cd '" + folder + "' && " + command + " >'" + out + "' 2>'" + err + "'").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Recordings(const std::string& game) {
  std::vector<std::string> names;
  const fs::path folder = fs::path(game) / "data" / "recordings";
  if (!fs::is_directory(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The game played in a folder of its own from `input`, piped.
class Played {
 public:
  explicit Played(const std::string& input) {
    EXPECT_TRUE(game_.CopyCoreData());
    WriteFile(logs_.path() + "/input", input);
    outcome_ = RunIn(logs_, game_.path(), std::string("'") + OSSIVAR_BINARY + "' <'" + logs_.path() + "/input'");
    EXPECT_EQ(outcome_.exit_code, 0) << outcome_.err;
  }

  const std::string& Folder() const { return game_.path(); }
  const Outcome& Screens() const { return outcome_; }
  std::string Save() const { return ReadFile(game_.path() + "/data/save01.tov"); }

  // The run's recording, read.
  recording::contents Recording() const {
    const std::vector<std::string> names = Recordings(game_.path());
    EXPECT_EQ(names.size(), 1u);
    recording::contents read;
    if (names.empty()) return read;
    EXPECT_TRUE(recording::Read(ReadFile(game_.path() + "/data/recordings/" + names[0]), &read).ok());
    return read;
  }

 private:
  TempDir game_;
  TempDir logs_;
  Outcome outcome_;
};

class Replay : public ::testing::Test {
 protected:
  // The replay of `file`'s bytes, with `options` after its name.
  Outcome ReplayBytes(const std::string& file, const std::string& options = "") {
    WriteFile(logs_.path() + "/replayed.cast", file);
    return RunIn(logs_, logs_.path(), std::string("'") + OSSIVAR_REPLAY_BINARY + "' replayed.cast " + options);
  }

  Outcome ReplayOf(const recording::contents& session) {
    std::string file = recording::HeaderLine(session.head);
    for (const recording::event& happened : session.events) file += recording::EventLine(happened);
    return ReplayBytes(file);
  }

  // The first event of `type` from `from` on whose data holds `text`.
  static std::size_t EventHolding(const recording::contents& session, char type, const std::string& text,
                                  std::size_t from = 0) {
    for (std::size_t i = from; i < session.events.size(); ++i) {
      if (session.events[i].type == type && session.events[i].data.find(text) != std::string::npos) return i;
    }
    return session.events.size();
  }

  // The number of the screen (1 and up) event `last` draws.
  static std::size_t ScreenOf(const recording::contents& session, std::size_t last) {
    if (last >= session.events.size()) return 0;
    return std::count_if(session.events.begin(), session.events.begin() + static_cast<std::ptrdiff_t>(last + 1),
                         [](const recording::event& e) { return e.type == recording::kOutput; });
  }

  static void ExpectDifferenceAt(const Outcome& replayed, std::size_t screen, const std::string& recorded_line) {
    EXPECT_EQ(replayed.exit_code, 1) << replayed.out << replayed.err;
    EXPECT_EQ(replayed.out.rfind("Screen " + std::to_string(screen) + " of ", 0), 0u) << replayed.out;
    EXPECT_NE(replayed.out.find("  recorded: \"" + recorded_line), std::string::npos) << replayed.out;
  }

  static void ExpectRefused(const Outcome& replayed) {
    EXPECT_EQ(replayed.exit_code, 2);
    EXPECT_EQ(replayed.out, "");
    EXPECT_EQ(std::count(replayed.err.begin(), replayed.err.end(), '\n'), 1) << replayed.err;
    EXPECT_EQ(replayed.err.rfind("ossivar-replay: ", 0), 0u) << replayed.err;
  }

  const Played game_{kNewGame};
  TempDir logs_;
};

TEST_F(Replay, ARecordedGameReplaysExactlyAndLeavesTheSameSave) {
  const recording::contents session = game_.Recording();
  const std::size_t screens = ScreenOf(session, session.events.size() - 1);
  const std::string exact = "Replayed " + std::to_string(screens) + " screens and 1 battle exactly.\n";
  const std::string file = ReadFile(game_.Folder() + "/data/recordings/" + Recordings(game_.Folder())[0]);

  const Outcome replayed = ReplayBytes(file, "--files here");
  EXPECT_EQ(replayed.exit_code, 0) << replayed.err;
  EXPECT_EQ(replayed.out, exact);
  const std::string save = ReadFile(logs_.path() + "/here/data/save01.tov");
  EXPECT_FALSE(save.empty());
  EXPECT_EQ(save, game_.Save());
  // The replay records nothing of its own into the player's files.
  EXPECT_EQ(Recordings(game_.Folder()).size(), 1u);

  // Cut short in the middle of its last line, as a kill leaves it.
  const std::size_t last_line = file.rfind('\n', file.size() - 2) + 1;
  const Outcome cut = ReplayBytes(file.substr(0, last_line + (file.size() - last_line) / 2));
  EXPECT_EQ(cut.exit_code, 0) << cut.out << cut.err;
  const bool last_was_screen = session.events.back().type == recording::kOutput;
  EXPECT_EQ(cut.out, "Replayed " + std::to_string(screens - (last_was_screen ? 1 : 0)) +
                         " screens and 1 battle exactly.\n");
}

TEST_F(Replay, AChangedKeyIsFoundAtTheFirstScreenItChanges) {
  recording::contents session = game_.Recording();
  const std::size_t typed = EventHolding(session, recording::kInput, "Tamsin\n");
  ASSERT_LT(typed, session.events.size());
  const std::size_t screen = ScreenOf(session, EventHolding(session, recording::kOutput, "Tamsin", typed));
  std::string& keys = session.events[typed].data;
  keys[keys.find("Tamsin\n") + 5] = 'x';
  ExpectDifferenceAt(ReplayOf(session), screen, "    NAME    Tamsin ");
}

TEST_F(Replay, AChangedClockReadingIsFoundAtTheRoundItSeeded) {
  recording::contents session = game_.Recording();
  // The reading that seeds the first round is the last before its first
  // command; its outcome, every line a "...!", is the first screen it draws.
  std::size_t reading = EventHolding(session, recording::kOutput, "\tCommand for ");
  while (reading > 0 && session.events[reading].type != recording::kClock) --reading;
  ASSERT_EQ(session.events[reading].type, recording::kClock);
  const std::size_t outcome = ScreenOf(session, EventHolding(session, recording::kOutput, "!\r\n", reading));
  session.events[reading].data = std::to_string(std::stoll(session.events[reading].data) + 1);
  ExpectDifferenceAt(ReplayOf(session), outcome, "");
}

TEST_F(Replay, AChangedContentFileIsFoundAtTheFirstScreenShowingTheChange) {
  recording::contents session = game_.Recording();
  ASSERT_FALSE(session.head.files.empty());
  recording::data_file& content = session.head.files[0];
  ASSERT_EQ(content.name, "Core Data.tov");
  const std::size_t name = content.bytes.find("Nimisum");
  ASSERT_NE(name, std::string::npos);
  content.bytes[name] = 'M';
  const std::size_t screen = ScreenOf(session, EventHolding(session, recording::kOutput, "Nimisum"));
  const Outcome replayed = ReplayOf(session);
  ExpectDifferenceAt(replayed, screen, "");
  EXPECT_NE(replayed.out.find("Mimisum"), std::string::npos) << replayed.out;
}

TEST_F(Replay, WhatIsNoRecordingOfThisGameIsRefused) {
  ExpectRefused(ReplayBytes(""));
  ExpectRefused(ReplayBytes("garbage\n[0.1, \"o\", \"x\"]\n"));
  ExpectRefused(ReplayBytes("{\"version\": 2, \"width\": 80, \"height\": 24}\n[0.1, \"o\", \"x\"]\n"));
  recording::contents session = game_.Recording();
  session.head.version = "9.9.9";
  const Outcome newer = ReplayOf(session);
  ExpectRefused(newer);
  EXPECT_NE(newer.err.find("9.9.9"), std::string::npos) << newer.err;
  std::string damaged = recording::HeaderLine(session.head) + "[0.1, \"o\"\n[0.2, \"o\", \"x\"]\n";
  ExpectRefused(ReplayBytes(damaged));
  ExpectRefused(RunIn(logs_, logs_.path(), std::string("'") + OSSIVAR_REPLAY_BINARY + "' missing.cast"));
  ExpectRefused(RunIn(logs_, logs_.path(), std::string("'") + OSSIVAR_REPLAY_BINARY + "'"));
  // The folder for the files must not hold any already.
  ExpectRefused(ReplayBytes(recording::HeaderLine(game_.Recording().head), "--files ."));
}

// The same input played again where no recording can be written: the
// screens before the first battle, which the clock does not draw, are the
// same to the byte.
TEST(RecordingFailures, LeaveTheGameUntouched) {
  const Played recorded(kNewGame);
  const std::string battle = "        Player ";
  const std::string before_battle = recorded.Screens().out.substr(0, recorded.Screens().out.find(battle));
  ASSERT_NE(before_battle.size(), recorded.Screens().out.size());

  TempDir blocked;
  ASSERT_TRUE(blocked.CopyCoreData());
  WriteFile(blocked.path() + "/data/recordings", "in the way");
  TempDir read_only;
  ASSERT_TRUE(read_only.CopyCoreData());
  fs::create_directory(read_only.path() + "/data/recordings");
  fs::permissions(read_only.path() + "/data/recordings", fs::perms::owner_read | fs::perms::owner_exec);
  const bool permissions_hold = geteuid() != 0;  // root writes anyway
  TempDir dangling;
  ASSERT_TRUE(dangling.CopyCoreData());
  fs::create_directory_symlink(dangling.path() + "/gone/recordings", dangling.path() + "/data/recordings");

  TempDir logs;
  WriteFile(logs.path() + "/input", kNewGame);
  for (const TempDir* folder : {&blocked, &read_only, &dangling}) {
    if (folder == &read_only && !permissions_hold) continue;
    SCOPED_TRACE(folder->path());
    const Outcome unrecorded =
        RunIn(logs, folder->path(), std::string("'") + OSSIVAR_BINARY + "' <'" + logs.path() + "/input'");
    EXPECT_EQ(unrecorded.exit_code, 0);
    EXPECT_EQ(unrecorded.err, recorded.Screens().err);
    EXPECT_EQ(unrecorded.out.substr(0, unrecorded.out.find(battle)), before_battle);
    EXPECT_NE(unrecorded.out.find(battle), std::string::npos);
    EXPECT_EQ(ReadFile(folder->path() + "/data/save01.tov").size(), recorded.Save().size());
  }
  EXPECT_EQ(ReadFile(blocked.path() + "/data/recordings"), "in the way");
  if (permissions_hold) {
    EXPECT_TRUE(Recordings(read_only.path()).empty());
  }
  EXPECT_FALSE(fs::exists(dangling.path() + "/gone"));
  fs::permissions(read_only.path() + "/data/recordings", fs::perms::owner_all);
}

// A player on a terminal that changes size: the recording shows what the
// terminal showed, echoed keys and redrawn screens included, and replays.
TEST(TerminalRecording, ShowsWhatThePlayerSawAndReplays) {
  TempDir game;
  ASSERT_TRUE(game.CopyCoreData());
  test_support::PtyOptions options;
  options.term = "xterm";
  test_support::PtySession session(game.path(), options);
  ASSERT_TRUE(session.started());
  std::string shown;  // everything the terminal got
  const auto step = [&](const std::function<void()>& act, const std::string& until) {
    shown += session.Output();
    session.ClearOutput();
    act();
    EXPECT_TRUE(session.WaitFor(until, 10.0)) << until << "\n" << session.Screen();
  };
  const std::string title = test_support::kTitlePrompt;
  const std::string intro = "Who are you?" + std::string(11, '\n');
  step([] {}, title);
  step([&] { session.Resize(100, 30); }, title);
  step([&] { session.Send("n\n"); }, intro);
  ASSERT_TRUE(session.WaitForKeyWait(10.0));
  step([&] { session.Resize(70, 20); }, "This one is 70 by 20.");
  step([&] { session.Resize(80, 24); }, intro);
  step([&] { session.Send("k"); }, "What is your name?\n\t  ");
  step([&] { session.Send("Tamsin\n"); }, "1) Female\n\t  ");
  step([&] { session.Send("f\n"); }, "6) Skink\n\t  ");
  session.SendEof();
  int status = 0;
  ASSERT_TRUE(session.WaitExit(10.0, &status));
  session.Drain(0.05);
  shown += session.Output();

  const std::vector<std::string> names = Recordings(game.path());
  ASSERT_EQ(names.size(), 1u);
  const std::string file = ReadFile(game.path() + "/data/recordings/" + names[0]);
  recording::contents session_read;
  ASSERT_TRUE(recording::Read(file, &session_read).ok());
  EXPECT_TRUE(session_read.head.terminal.input_is_terminal);
  std::string screens;
  std::vector<std::string> sizes;
  for (const recording::event& happened : session_read.events) {
    if (happened.type == recording::kOutput) screens += happened.data;
    if (happened.type == recording::kResize) sizes.push_back(happened.data);
  }
  EXPECT_EQ(screens, shown);
  EXPECT_EQ(sizes, (std::vector<std::string>{"100x30", "70x20", "80x24"}));

  TempDir logs;
  WriteFile(logs.path() + "/played.cast", file);
  const Outcome replayed = RunIn(logs, logs.path(), std::string("'") + OSSIVAR_REPLAY_BINARY + "' played.cast");
  EXPECT_EQ(replayed.exit_code, 0) << replayed.out << replayed.err;
  EXPECT_EQ(replayed.out.rfind("Replayed ", 0), 0u) << replayed.out;
}

TEST(RecordingsFolder, TheNewestTwentyAreKept) {
  TempDir game;
  ASSERT_TRUE(game.CopyCoreData());
  TempDir logs;
  WriteFile(logs.path() + "/input", "q\n");
  std::vector<std::string> made;
  for (int run = 0; run < 22; ++run) {
    const std::vector<std::string> before = Recordings(game.path());
    ASSERT_EQ(RunIn(logs, game.path(), std::string("'") + OSSIVAR_BINARY + "' <'" + logs.path() + "/input'").exit_code,
              0);
    for (const std::string& name : Recordings(game.path())) {
      if (std::find(before.begin(), before.end(), name) == before.end()) made.push_back(name);
    }
    ASSERT_EQ(made.size(), static_cast<std::size_t>(run + 1));
  }
  const std::set<std::string> newest(made.end() - 20, made.end());
  const std::vector<std::string> kept = Recordings(game.path());
  EXPECT_EQ(std::set<std::string>(kept.begin(), kept.end()), newest);
}

}  // namespace
