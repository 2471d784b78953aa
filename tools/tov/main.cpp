// tov: the content author's tool for the game's data files.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "check.h"
#include "json_build.h"
#include "json_dump.h"
#include "tov_scan.h"
#include "tov_write.h"

namespace {

constexpr int kSound = 0;
constexpr int kProblems = 1;
constexpr int kUsage = 2;

const char* const kMainHelp =
    "tov - inspect, check and build the game's .tov data files\n"
    "\n"
    "Usage:\n"
    "  tov dump FILE.tov                print the whole data file as JSON\n"
    "  tov build FILE.json -o FILE.tov  write a data file from such JSON\n"
    "  tov check FILE.tov|FILE.json     report every problem the game would meet\n"
    "  tov --help                       this text\n"
    "  tov COMMAND --help               what COMMAND does, in detail\n"
    "\n"
    "The content the game ships with is content/core.json; build it into\n"
    "\"data/Core Data.tov\" to change what a new game offers.\n"
    "\n"
    "Exit status: 0 done (for check: the file is sound), 1 the file has\n"
    "problems or could not be read or written, 2 the command line is wrong.\n";

const char* const kDumpHelp =
    "Usage: tov dump FILE.tov\n"
    "\n"
    "Prints the whole data file as JSON on standard output:\n"
    "  header    title, author, description and the date it was written\n"
    "  races     id, name, description, playable, virtue, vice, modifiers\n"
    "  careers   id, name, description, playable, modifiers\n"
    "  actors    id, name, female, player_controlled, race_id and race,\n"
    "            career_id and career, virtue, vice, stats, elements\n"
    "  parties   id, name, shared_members, members (each id and name)\n"
    "\n"
    "Stat values are given as {\"raw\": 384, \"points\": 1.5}: raw is the stored\n"
    "8.8 fixed-point number (256 is one point). Virtues and vices are given by\n"
    "name (a number outside 0 to 6 stays a number). Beside every reference by\n"
    "identifier stands the name of the record the game resolves it to.\n"
    "Elements are the stored bytes: 128 is 100%.\n"
    "\n"
    "tov build turns this JSON back into the same file, byte for byte but the\n"
    "date. A file the game could not read to its end is refused (exit 1); run\n"
    "tov check on it to see why.\n";

const char* const kBuildHelp =
    "Usage: tov build FILE.json -o FILE.tov\n"
    "\n"
    "Writes a data file from JSON in the form tov dump prints, through the\n"
    "game's own writer. Besides that form it accepts:\n"
    "  - stat values as plain points: \"strength\": 1.5 (steps of 1/256);\n"
    "  - virtues and vices by name in any letter case;\n"
    "  - references by name alone: \"race\": \"Goblin\" without \"race_id\",\n"
    "    and party members as bare identifiers or {\"name\": ...};\n"
    "  - no \"id\" (a record's identifier is its position), no \"date\" (the\n"
    "    file is stamped with today's), no wound or growth (0), and no\n"
    "    playable, female, player_controlled or shared_members (false).\n"
    "When both an identifier and a name are given, the identifier decides;\n"
    "a name that does not match is reported as a note.\n"
    "\n"
    "Nothing is written when the JSON has any problem tov check would report;\n"
    "they are listed on standard error and the exit status is 1.\n";

const char* const kCheckHelp =
    "Usage: tov check FILE.tov\n"
    "       tov check FILE.json\n"
    "\n"
    "Reports every problem a player would otherwise meet in the game, one per\n"
    "line: the file, where (byte offset, section and record for .tov; JSON\n"
    "path for .json), and what is wrong:\n"
    "  - a wrong magic or format version, a header or record cut short;\n"
    "  - header length, record size or section length fields that disagree\n"
    "    with the records; unknown section tags; sections out of order;\n"
    "  - identifiers that are not the record's position;\n"
    "  - references to races, careers or actors that do not exist (the game\n"
    "    falls back to the first record, or has none to fall back to);\n"
    "  - virtue or vice numbers outside 0 to 6;\n"
    "  - parties of more than 250 members; no player's party, or one without\n"
    "    members; no enemy party, or one without members; no playable race;\n"
    "  - for .json: anything that keeps tov build from storing it as given.\n"
    "Notes that do not count as problems are marked \"note:\".\n"
    "\n"
    "Exit status: 0 the file is sound, 1 it has problems, 2 usage error.\n";

int Usage(const std::string& message, const char* help) {
  std::cerr << "tov: " << message << "\n\n" << help;
  return kUsage;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

int Help(const char* text) {
  std::cout << text;
  return kSound;
}

bool Load(const std::string& path, std::string& bytes) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    std::cerr << "tov: cannot read \"" << path << "\": " << std::strerror(errno) << "\n";
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    std::cerr << "tov: cannot read \"" << path << "\": not a regular file\n";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) {
    std::cerr << "tov: cannot read \"" << path << "\": " << std::strerror(errno) << "\n";
    return false;
  }
  return true;
}

void Print(std::ostream& out, const std::string& file, const tov::problem& p, const char* kind = "") {
  out << file << ": ";
  if (!p.where.empty()) out << p.where << ": ";
  out << kind << p.what << "\n";
}

void PrintAll(std::ostream& out, const std::string& file, const tov::problems& list, const char* kind = "") {
  for (const tov::problem& p : list) Print(out, file, p, kind);
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

int Dump(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Help(kDumpHelp);
  if (args.size() != 1) return Usage("dump takes one data file", kDumpHelp);
  const std::string& path = args[0];
  std::string bytes;
  if (!Load(path, bytes)) return kProblems;
  const tov_scan::result scan = tov_scan::Scan(bytes);
  if (!scan.accepted || !scan.complete) {
    PrintAll(std::cerr, path, scan.problems);
    std::cerr << "tov: \"" << path << "\" cannot be read to its end; nothing dumped\n";
    return kProblems;
  }
  PrintAll(std::cerr, path, scan.problems, "warning: ");
  std::cout << json_dump::Format(json_dump::Content(scan.file));
  return kSound;
}

// Problems first of the form, then, once the form is sound, of the content.
tov::problems JsonProblems(const json_build::result& read) {
  if (!read.problems.empty()) return read.problems;
  return check::Content(read.file);
}

int Build(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Help(kBuildHelp);
  std::string input;
  std::string output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" || args[i] == "--output") {
      if (i + 1 == args.size()) return Usage(args[i] + " needs the file to write", kBuildHelp);
      if (!output.empty()) return Usage("give only one -o", kBuildHelp);
      output = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage("unknown option " + args[i], kBuildHelp);
    } else if (!input.empty()) {
      return Usage("build takes one JSON file", kBuildHelp);
    } else {
      input = args[i];
    }
  }
  if (input.empty()) return Usage("build needs a JSON file", kBuildHelp);
  if (output.empty()) return Usage("build needs -o FILE.tov", kBuildHelp);
  if (!EndsWith(output, ".tov")) return Usage("the output \"" + output + "\" must end in .tov", kBuildHelp);
  std::string text;
  if (!Load(input, text)) return kProblems;
  const json_build::result read = json_build::Read(text);
  const tov::problems found = JsonProblems(read);
  PrintAll(std::cerr, input, read.notes, "note: ");
  if (!found.empty()) {
    PrintAll(std::cerr, input, found);
    std::cerr << "tov: \"" << input << "\" has " << found.size() << " problem" << (found.size() == 1 ? "" : "s")
              << "; \"" << output << "\" not written\n";
    return kProblems;
  }
  std::string error;
  if (!tov_write::Write(read.file, output, error)) {
    std::cerr << "tov: cannot write \"" << output << "\": " << error << "\n";
    return kProblems;
  }
  std::cout << "wrote " << output << "\n";
  return kSound;
}

int Check(const std::vector<std::string>& args) {
  if (WantsHelp(args)) return Help(kCheckHelp);
  if (args.size() != 1) return Usage("check takes one file", kCheckHelp);
  const std::string& path = args[0];
  const bool is_json = EndsWith(path, ".json");
  if (!is_json && !EndsWith(path, ".tov")) {
    return Usage("cannot tell what \"" + path + "\" is: name it .tov or .json", kCheckHelp);
  }
  std::string bytes;
  if (!Load(path, bytes)) return kProblems;
  tov::problems found;
  if (is_json) {
    const json_build::result read = json_build::Read(bytes);
    found = JsonProblems(read);
    PrintAll(std::cout, path, read.notes, "note: ");
  } else {
    const tov_scan::result scan = tov_scan::Scan(bytes);
    found = scan.problems;
    if (scan.accepted) {
      const tov::problems more = check::Content(scan.file);
      found.insert(found.end(), more.begin(), more.end());
    }
  }
  PrintAll(std::cout, path, found);
  if (found.empty()) {
    std::cout << path << ": sound\n";
    return kSound;
  }
  std::cout << path << ": " << found.size() << " problem" << (found.size() == 1 ? "" : "s") << "\n";
  return kProblems;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> all(argv + 1, argv + argc);
  if (all.empty()) return Usage("no command given", kMainHelp);
  const std::string& command = all[0];
  const std::vector<std::string> args(all.begin() + 1, all.end());
  if (command == "--help" || command == "-h" || command == "help") {
    if (args.empty()) return Help(kMainHelp);
    if (args.size() == 1 && args[0] == "dump") return Help(kDumpHelp);
    if (args.size() == 1 && args[0] == "build") return Help(kBuildHelp);
    if (args.size() == 1 && args[0] == "check") return Help(kCheckHelp);
    return Usage("no help on \"" + (args.empty() ? std::string() : args[0]) + "\"", kMainHelp);
  }
  if (command == "dump") return Dump(args);
  if (command == "build") return Build(args);
  if (command == "check") return Check(args);
  return Usage("unknown command \"" + command + "\"", kMainHelp);
}
