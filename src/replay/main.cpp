// ossivar-replay FILE [--files DIR]: plays a recorded run of the game again,
// from its own keys, clock readings and data files, and checks that every
// screen comes out as recorded.
//
// Exit status: 0 exact, 1 a screen differs, 2 no replay (a wrong command,
// a file that is no recording of this game, a folder that cannot be used).

#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/game.h"
#include "platform/file_store.h"
#include "platform/recorder.h"
#include "platform/recording.h"
#include "platform/replay_terminal.h"
#include "replay/screen_check.h"

namespace {

constexpr char kUsage[] = "usage: ossivar-replay FILE [--files DIR]";

recording::contents recorded;
std::string home;        // the working directory the replay was started in
std::string scratch;     // the temporary folder, removed at the end
replay::screen_check* check = nullptr;

[[noreturn]] void Refuse(const std::string& why) {
  std::fprintf(stderr, "ossivar-replay: %s\n", why.c_str());
  std::exit(2);
}

std::string Clock(std::int64_t microseconds) {
  char text[32];
  const long long tenths = microseconds / 100000;
  std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
  return text;
}

[[noreturn]] void End(int status) {
  std::fflush(stdout);
  if (!scratch.empty()) {
    file_store::ChangeDirectory(home);
    file_store::RemoveTree(scratch);
  }
  // The game's own exit is over; nothing else of it is to run.
  std::_Exit(status);
}

[[noreturn]] void Differs(const replay::difference& first) {
  std::printf("Screen %zu of %zu %s, at %s in the recording.\n", first.screen, check->Recorded(),
              first.missing ? "was never drawn by the replay" : "differs", Clock(first.microseconds).c_str());
  std::printf("The first different line, line %zu of the screen:\n  recorded: %s\n  replayed: %s\n", first.line,
              replay::Visible(first.recorded).c_str(), replay::Visible(first.replayed).c_str());
  End(1);
}

// The game ended, at the end of the recorded keys or by quitting.
void Verdict() {
  check->Finish();
  const unsigned battles = game::BattlesBegun();
  std::printf("Replayed %zu screens and %u %s exactly.\n", check->Recorded(), battles,
              battles == 1 ? "battle" : "battles");
  End(0);
}

// The folder the session runs in: `wanted`, which must be new or empty,
// or a temporary one.
std::string Folder(const std::string& wanted) {
  if (wanted.empty()) {
    scratch = file_store::MakeTemporaryDirectory();
    if (scratch.empty()) Refuse("no temporary folder could be made to replay in");
    return scratch;
  }
  if (!file_store::MakeDirectory(wanted)) Refuse("the folder " + wanted + " could not be made");
  if (!file_store::ListNames(wanted).empty()) Refuse("the folder " + wanted + " is not empty");
  return wanted;
}

void PutFiles(const std::string& folder) {
  const std::string data = folder + "/data";
  if (!file_store::MakeDirectory(data)) Refuse("the folder " + data + " could not be made");
  for (const recording::data_file& file : recorded.head.files) {
    const std::string path = data + "/" + file.name;
    const file_store::outcome put = file_store::Replace(path, file_store::TemporaryBeside(path), file.bytes);
    if (!put.ok()) Refuse(path + ": " + put.words);
  }
  if (!file_store::ChangeDirectory(folder)) Refuse("could not work in the folder " + folder);
}

void Load(const std::string& path) {
  std::string bytes;
  const file_store::outcome read = file_store::ReadWhole(path, bytes);
  if (!read.ok()) Refuse(path + ": " + read.words);
  const recording::verdict verdict = recording::Read(bytes, &recorded);
  if (!verdict.ok()) Refuse(path + ": " + verdict.reason);
  if (recorded.head.version != game::Version()) {
    Refuse(path + ": it was recorded by OSSIVAR " + recorded.head.version + ", and this replay is OSSIVAR " +
           game::Version());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string path;
  std::string files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--files" && i + 1 < argc) {
      files = argv[++i];
    } else if (path.empty() && !argument.empty() && argument[0] != '-') {
      path = argument;
    } else {
      Refuse(std::string("unexpected \"") + argument + "\"\n" + kUsage);
    }
  }
  if (path.empty()) Refuse(kUsage);
  Load(path);
  home = file_store::WorkingDirectory();
  PutFiles(Folder(files));

  static replay::screen_check screens(recorded.events, Differs);
  check = &screens;
  recorder::Attach(check);
  replay_terminal::Load(&recorded);
  // Runs after the game's own ways out have drawn their last.
  std::atexit(Verdict);
  Play();
  std::exit(0);
}
