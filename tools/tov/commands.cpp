#include "commands.h"

#include <filesystem>
#include <sstream>

#include "check.h"
#include "help.h"
#include "json_build.h"
#include "json_dump.h"
#include "platform/file_store.h"
#include "tov_scan.h"
#include "warnings.h"

namespace commands {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

// Problems first of the form, then, once the form is sound, of the content.
tov::problems JsonProblems(const json_build::result& read) {
  if (!read.problems.empty()) return read.problems;
  return check::Content(read.file);
}

class session {
 public:
  session(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  int Run(const std::vector<std::string>& all) {
    if (all.empty()) return Usage("no command given", help::kMain);
    const std::string& command = all[0];
    const std::vector<std::string> args(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help") {
      if (args.empty()) return Help(help::kMain);
      if (args.size() == 1 && args[0] == "dump") return Help(help::Dump());
      if (args.size() == 1 && args[0] == "build") return Help(help::kBuild);
      if (args.size() == 1 && args[0] == "check") return Help(help::kCheck);
      return Usage("no help on \"" + (args.empty() ? std::string() : args[0]) + "\"", help::kMain);
    }
    if (command == "dump") return Dump(args);
    if (command == "build") return Build(args);
    if (command == "check") return Check(args);
    return Usage("unknown command \"" + command + "\"", help::kMain);
  }

 private:
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
    if (error) {
      err_ << "tov: cannot read \"" << path << "\": " << error.message() << "\n";
      return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
      err_ << "tov: cannot read \"" << path << "\": not a regular file\n";
      return false;
    }
    const file_store::outcome read = file_store::ReadWhole(path, bytes);
    if (!read.ok()) {
      err_ << "tov: cannot read \"" << path << "\": " << read.words << "\n";
      return false;
    }
    return true;
  }

  // Through a temporary file beside it, so an existing file is replaced
  // only by a complete one.
  bool Save(tov_file& file, const std::string& path) {
    std::ostringstream bytes;
    file_store::outcome done;
    if (!file.Write(bytes, true)) {
      done.words = file.write_error;
    } else {
      done = file_store::Replace(path, file_store::TemporaryBeside(path), bytes.str());
    }
    if (done.words.empty()) return true;
    err_ << "tov: cannot write \"" << path << "\": " << done.words << "\n";
    return false;
  }

  static void Print(std::ostream& to, const std::string& file, const tov::problems& list, const char* kind = "") {
    for (const tov::problem& p : list) {
      to << file << ": ";
      if (!p.where.empty()) to << p.where << ": ";
      to << kind << p.what << "\n";
    }
  }

  int Dump(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Help(help::Dump());
    if (args.size() != 1) return Usage("dump takes one data file", help::Dump());
    const std::string& path = args[0];
    std::string bytes;
    if (!Load(path, bytes)) return kProblems;
    const tov_scan::result scan = tov_scan::Scan(bytes);
    if (!scan.accepted || !scan.complete) {
      Print(err_, path, scan.problems);
      err_ << "tov: \"" << path << "\" cannot be read to its end; nothing dumped\n";
      return kProblems;
    }
    Print(err_, path, scan.problems, "warning: ");
    out_ << json_dump::Format(json_dump::Content(scan.file));
    return kSound;
  }

  int Build(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Help(help::kBuild);
    std::string input;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i] == "-o" || args[i] == "--output") {
        if (i + 1 == args.size()) return Usage(args[i] + " needs the file to write", help::kBuild);
        if (!output.empty()) return Usage("give only one -o", help::kBuild);
        output = args[++i];
      } else if (!args[i].empty() && args[i][0] == '-') {
        return Usage("unknown option " + args[i], help::kBuild);
      } else if (!input.empty()) {
        return Usage("build takes one JSON file", help::kBuild);
      } else {
        input = args[i];
      }
    }
    if (input.empty()) return Usage("build needs a JSON file", help::kBuild);
    if (output.empty()) return Usage("build needs -o FILE.tov", help::kBuild);
    if (!EndsWith(output, ".tov")) return Usage("the output \"" + output + "\" must end in .tov", help::kBuild);
    std::string text;
    if (!Load(input, text)) return kProblems;
    const json_build::result read = json_build::Read(text);
    const tov::problems found = JsonProblems(read);
    Print(err_, input, read.notes, "note: ");
    if (!found.empty()) {
      Print(err_, input, found);
      err_ << "tov: \"" << input << "\" has " << Count(found.size(), "problem") << "; \"" << output
           << "\" not written\n";
      return kProblems;
    }
    if (!Save(*read.file.file, output)) return kProblems;
    out_ << "wrote " << output << "\n";
    return kSound;
  }

  int Check(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return Help(help::kCheck);
    if (args.size() != 1) return Usage("check takes one file", help::kCheck);
    const std::string& path = args[0];
    const bool is_json = EndsWith(path, ".json");
    if (!is_json && !EndsWith(path, ".tov")) {
      return Usage("cannot tell what \"" + path + "\" is: name it .tov or .json", help::kCheck);
    }
    std::string bytes;
    if (!Load(path, bytes)) return kProblems;
    tov::problems found;
    tov::problems warned;
    if (is_json) {
      const json_build::result read = json_build::Read(bytes);
      found = JsonProblems(read);
      Print(out_, path, read.notes, "note: ");
      if (read.problems.empty()) warned = warnings::Find(read.file);
    } else {
      const tov_scan::result scan = tov_scan::Scan(bytes);
      found = scan.problems;
      if (scan.accepted) {
        const tov::problems more = check::Content(scan.file);
        found.insert(found.end(), more.begin(), more.end());
        warned = warnings::Find(scan.file);
      }
    }
    Print(out_, path, found);
    Print(out_, path, warned, "warning: ");
    // Warnings are what players miss, not what stops them: the file is
    // still sound with them.
    const std::string also = warned.empty() ? "" : ", " + Count(warned.size(), "warning");
    if (found.empty()) {
      out_ << path << ": sound" << also << "\n";
      return kSound;
    }
    out_ << path << ": " << Count(found.size(), "problem") << also << "\n";
    return kProblems;
  }

  static std::string Count(const std::size_t& n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
  }

  std::ostream& out_;
  std::ostream& err_;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return session(out, err).Run(args);
}

}  // namespace commands
