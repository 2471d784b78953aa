#include "commands.h"

#include <charconv>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>

#include "arena_command.h"
#include "check.h"
#include "help.h"
#include "json_form.h"
#include "platform/file_store.h"
#include "tov_scan.h"

namespace commands {

namespace {

using arguments = std::vector<std::string>;

bool IsHelp(const std::string& word) { return word == "--help" || word == "-h"; }

// Problems of the form first, then, once the file reads well enough, of
// its content.
tov::problems Problems(const tov::loaded& file) {
  tov::problems found = file.problems;
  if (!file.accepted) return found;
  const tov::problems more = check::Content(file);
  found.insert(found.end(), more.begin(), more.end());
  return found;
}

class session {
 public:
  session(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  int Run(const arguments& all) {
    if (all.empty()) return Usage("no command given", help::Main());
    const std::string& name = all[0];
    const arguments args(all.begin() + 1, all.end());
    if (IsHelp(name) || name == "help") {
      if (args.empty()) return Help(help::Main());
      if (args.size() == 1 && Find(args[0])) return Help(Find(args[0])->help());
      return Usage("no help on \"" + args[0] + "\"", help::Main());
    }
    const command* found = Find(name);
    if (!found) return Usage("unknown command \"" + name + "\"", help::Main());
    for (const std::string& a : args) {
      if (IsHelp(a)) return Help(found->help());
    }
    return (this->*found->run)(args);
  }

 private:
  struct command {
    const char* name;
    int (session::*run)(const arguments& args);
    std::string (*help)();
  };

  static const command* Find(const std::string& name) {
    static const command kCommands[] = {{"dump", &session::Dump, help::Dump},
                                        {"build", &session::Build, help::Build},
                                        {"check", &session::Check, help::Check},
                                        {"arena", &session::Arena, help::Arena}};
    for (const command& c : kCommands) {
      if (name == c.name) return &c;
    }
    return nullptr;
  }

  int Usage(const std::string& message, const std::string& text) {
    err_ << "tov: " << message << "\n\n" << text;
    return kUsage;
  }

  int Help(const std::string& text) {
    out_ << text;
    return kSound;
  }

  bool Load(const std::string& path, std::string& bytes) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    std::string why = error ? error.message() : "";
    if (why.empty() && !std::filesystem::is_regular_file(status)) why = "not a regular file";
    if (why.empty()) why = file_store::ReadWhole(path, bytes).words;
    if (why.empty()) return true;
    err_ << "tov: cannot read \"" << path << "\": " << why << "\n";
    return false;
  }

  // Through a temporary file beside it, so an existing file is replaced
  // only by a complete one.
  bool Save(tov_file& file, const std::string& path) {
    std::ostringstream bytes;
    std::string why = file.Write(bytes, true) ? "" : file.write_error;
    if (why.empty()) why = file_store::Replace(path, file_store::TemporaryBeside(path), bytes.str()).words;
    if (why.empty()) return true;
    err_ << "tov: cannot write \"" << path << "\": " << why << "\n";
    return false;
  }

  static void Print(std::ostream& to, const std::string& file, const tov::problems& list,
                    const char* kind = "") {
    for (const tov::problem& p : list) {
      to << file << ": ";
      if (!p.where.empty()) to << p.where << ": ";
      to << kind << p.what << "\n";
    }
  }

  int Dump(const arguments& args) {
    if (args.size() != 1) return Usage("dump takes one data file", help::Dump());
    const std::string& path = args[0];
    std::string bytes;
    if (!Load(path, bytes)) return kProblems;
    const tov::loaded scan = tov_scan::Scan(bytes);
    if (!scan.accepted || !scan.complete) {
      Print(err_, path, scan.problems);
      err_ << "tov: \"" << path << "\" cannot be read to its end; nothing dumped\n";
      return kProblems;
    }
    Print(err_, path, scan.problems, "warning: ");
    out_ << json_form::Format(json_form::Dump(scan));
    return kSound;
  }

  int Build(const arguments& args) {
    std::string input;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "-o" || args[i] == "--output") {
        if (i + 1 == args.size()) return Usage(args[i] + " needs the file to write", help::Build());
        if (!output.empty()) return Usage("give only one -o", help::Build());
        output = args[++i];
      } else if (!args[i].empty() && args[i][0] == '-') {
        return Usage("unknown option " + args[i], help::Build());
      } else if (!input.empty()) {
        return Usage("build takes one JSON file", help::Build());
      } else {
        input = args[i];
      }
    }
    if (input.empty()) return Usage("build needs a JSON file", help::Build());
    if (output.empty()) return Usage("build needs -o FILE.tov", help::Build());
    if (!output.ends_with(".tov"))
      return Usage("the output \"" + output + "\" must end in .tov", help::Build());
    std::string text;
    if (!Load(input, text)) return kProblems;
    const tov::loaded read = json_form::Read(text);
    const tov::problems found = Problems(read);
    Print(err_, input, read.notes, "note: ");
    if (!found.empty()) {
      Print(err_, input, found);
      err_ << "tov: \"" << input << "\" has " << tov::Count(found.size(), "problem") << "; \"" << output
           << "\" not written\n";
      return kProblems;
    }
    if (!read.file->keep_date && !DateFromEnvironment(*read.file)) return kProblems;
    if (!Save(*read.file, output)) return kProblems;
    out_ << "wrote " << output << "\n";
    return kSound;
  }

  // A source without a date takes SOURCE_DATE_EPOCH's day (in UTC, as the
  // reproducible-builds convention has it) so a packaged build does not
  // depend on the day it runs; without it the file is stamped today.
  bool DateFromEnvironment(tov_file& file) {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (epoch == nullptr) return true;
    const std::string digits = epoch;
    std::time_t seconds = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
    const std::tm* day = error == std::errc() && end == digits.data() + digits.size() && !digits.empty()
                             ? std::gmtime(&seconds)
                             : nullptr;
    if (day == nullptr) {
      err_ << "tov: SOURCE_DATE_EPOCH must be a number of seconds since 1970, not \"" << digits << "\"\n";
      return false;
    }
    file.SetDate(*day);
    file.keep_date = true;
    return true;
  }

  int Check(const arguments& args) {
    if (args.size() != 1) return Usage("check takes one file", help::Check());
    const std::string& path = args[0];
    const bool is_json = path.ends_with(".json");
    if (!is_json && !path.ends_with(".tov")) {
      return Usage("cannot tell what \"" + path + "\" is: name it .tov or .json", help::Check());
    }
    std::string bytes;
    if (!Load(path, bytes)) return kProblems;
    const tov::loaded file = is_json ? json_form::Read(bytes) : tov_scan::Scan(bytes);
    const tov::problems found = Problems(file);
    const tov::problems warned = file.accepted ? check::Warnings(file) : tov::problems();
    Print(out_, path, file.notes, "note: ");
    Print(out_, path, found);
    Print(out_, path, warned, "warning: ");
    // Warnings are what players miss, not what stops them: the file is
    // still sound with them.
    const std::string also = warned.empty() ? "" : ", " + tov::Count(warned.size(), "warning");
    if (found.empty()) {
      out_ << path << ": sound" << also << "\n";
      return kSound;
    }
    out_ << path << ": " << tov::Count(found.size(), "problem") << also << "\n";
    return kProblems;
  }

  // A file the arena cannot fight with is a wrong command line: exit 2.
  int Arena(const arguments& args) {
    arena::options how;
    how.seed = static_cast<std::uint64_t>(std::time(nullptr));
    const std::string wrong = arena::Parse(args, how);
    if (!wrong.empty()) return Usage(wrong, help::Arena());
    std::string bytes;
    if (!Load(how.path, bytes)) return kUsage;
    const tov::loaded file = how.path.ends_with(".json") ? json_form::Read(bytes) : tov_scan::Scan(bytes);
    const tov::problems found = Problems(file);
    if (!found.empty()) {
      Print(err_, how.path, found);
      err_ << "tov: \"" << how.path << "\" has " << tov::Count(found.size(), "problem") << "; no battle fought\n";
      return kUsage;
    }
    return arena_command::Run(file, how, out_, err_);
  }

  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return session(out, err).Run(args);
}

}  // namespace commands
