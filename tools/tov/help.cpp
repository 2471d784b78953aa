#include "help.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "data_file/sections.h"
#include "field_walk.h"
#include "json_form.h"

namespace help {

std::string Main() {
  return "tov - inspect, check and build the game's .tov data files\n"
         "\n"
         "Usage:\n"
         "  tov dump FILE.tov                print the whole data file as JSON\n"
         "  tov build FILE.json -o FILE.tov  write a data file from such JSON\n"
         "  tov check FILE.tov|FILE.json     report every problem the game would meet\n"
         "  tov arena FILE.tov [OPTIONS]     fight the content against itself\n"
         "  tov --help                       this text\n"
         "  tov COMMAND --help               what COMMAND does, in detail\n"
         "\n"
         "The content the game ships with is content/core.json; build it into\n"
         "\"data/Core Data.tov\" to change what a new game offers.\n"
         "\n"
         "Exit status: 0 done (for check: the file is sound), 1 the file has\n"
         "problems or could not be read or written, 2 the command line is wrong.\n";
}

namespace {

constexpr std::size_t kWidth = 79;

// The items after `line`, as many to a line as fit, the next lines
// starting `indent` spaces in.
std::string Wrap(std::string line, const std::vector<std::string>& items, const std::size_t& indent) {
  std::string out;
  for (const std::string& item : items) {
    if (line.size() > indent && line.size() + 1 + item.size() > kWidth) {
      out += line + "\n";
      line = std::string(indent, ' ');
    }
    line += (line.back() == ' ' ? "" : " ") + item;
  }
  return out + line + "\n";
}

// An object's fields, as dump writes them, wrapped under the first.
std::string FieldLines(const std::string& label, const nlohmann::ordered_json& shape) {
  std::vector<std::string> items;
  for (const auto& field : shape.items()) {
    if (!items.empty() && field.key() == json_form::NameKey(items.back())) {
      items.back() += " and " + field.key();
    } else {
      items.push_back(field.key() + (field.value().is_array() ? " (each id and name)" : ""));
    }
  }
  for (std::size_t i = 0; i + 1 < items.size(); ++i) items[i] += ",";
  std::string line = "  " + label;
  line.resize(12, ' ');
  return Wrap(line, items, 12);
}

std::string RecordFields() {
  std::string out;
  sections::ForEach([&](const auto& section) {
    out += FieldLines(section.about.collection, json_form::Shape().at(section.about.collection).at(0));
  });
  return out;
}

// What the field lists declare of the JSON form: the fields it may leave
// out, with what a fresh record has there, and the lists the game limits.
class declared : public tov::field_walk<declared> {
 public:
  struct optional_field {
    std::string key;
    std::string fresh;
  };
  std::vector<optional_field> optional;
  std::vector<std::string> limits;

  declared(const char* collection, const nlohmann::ordered_json& fresh)
      : collection_(collection), fresh_(&fresh) {}

  template <typename Value>
  void Flag(const char* key, const Value&, const presence& given) {
    Optional(key, given);
  }
  void Points(const char* key, const unsigned short&, const presence& given) { Optional(key, given); }
  void References(const char* key, const std::vector<std::uint32_t>&, const record_kind&,
                  const std::size_t& most) {
    limits.push_back(std::string(collection_) + " of more than " + std::to_string(most) + " " + key);
  }
  template <class Fields>
  void Group(const char* key, Fields&& fields) {
    const nlohmann::ordered_json* outer = fresh_;
    fresh_ = &fresh_->at(key);
    fields(*this);
    fresh_ = outer;
  }

 private:
  void Optional(const char* key, const presence& given) {
    if (given == presence::kRequired) return;
    const nlohmann::ordered_json& value = fresh_->at(key);
    // A stat value reads best in points.
    const nlohmann::ordered_json& shown = value.is_object() ? value.at("points") : value;
    char number[32];
    std::snprintf(number, sizeof number, "%g", shown.is_number() ? shown.get<double>() : 0.0);
    optional.push_back({key, shown.is_number() ? number : shown.dump()});
  }

  const char* collection_;
  const nlohmann::ordered_json* fresh_;
};

template <class Record>
declared Declared(const sections::section<Record>& section) {
  static const Record kFresh;
  declared found(section.about.collection, json_form::Shape().at(section.about.collection).at(0));
  kFresh.Fields(found);
  return found;
}

// "no a, b or c (false), and no d (0)": the optional fields by what a
// fresh record has there, each named once.
std::vector<std::string> OptionalWords() {
  std::vector<std::string> fresh;              // each value once
  std::vector<std::vector<std::string>> keys;  // the keys with that value
  sections::ForEach([&](const auto& section) {
    for (const declared::optional_field& field : Declared(section).optional) {
      const std::size_t v =
          static_cast<std::size_t>(std::find(fresh.begin(), fresh.end(), field.fresh) - fresh.begin());
      if (v == fresh.size()) {
        fresh.push_back(field.fresh);
        keys.emplace_back();
      }
      if (std::find(keys[v].begin(), keys[v].end(), field.key) == keys[v].end()) keys[v].push_back(field.key);
    }
  });
  std::vector<std::string> words;
  for (std::size_t v = 0; v < keys.size(); ++v) {
    if (v > 0 && v + 1 == keys.size()) words.push_back("and");
    words.push_back("no");
    for (std::size_t k = 0; k < keys[v].size(); ++k) {
      const std::size_t left = keys[v].size() - k - 1;
      words.push_back(keys[v][k] + (left > 1 ? "," : ""));
      if (left == 1) words.push_back("or");
    }
    words.push_back("(" + fresh[v] + ")" + (v + 1 == keys.size() ? "." : ","));
  }
  return words;
}

std::string Limits() {
  std::string out;
  sections::ForEach([&](const auto& section) {
    for (const std::string& limit : Declared(section).limits) out += limit + "; ";
  });
  return out;
}

}  // namespace

std::string Dump() {
  return "Usage: tov dump FILE.tov\n"
         "\n"
         "Prints the whole data file as JSON on standard output:\n" +
         FieldLines("header", json_form::Shape().at("header")) + RecordFields() +
         "\n"
         "Stat values are given as {\"raw\": 384, \"points\": 1.5}: raw is the stored\n"
         "8.8 fixed-point number (256 is one point). Virtues and vices are given by\n"
         "name (a number outside 0 to 6 stays a number). Beside every reference by\n"
         "identifier stands the name of the record the game resolves it to.\n"
         "Elements are the stored bytes: 128 is 100%.\n"
         "\n"
         "tov build turns this JSON back into the same file, byte for byte. A file\n"
         "the game could not read to its end is refused (exit 1); run tov check\n"
         "on it to see why.\n";
}

std::string Build() {
  return "Usage: tov build FILE.json -o FILE.tov\n"
         "\n"
         "Writes a data file from JSON in the form tov dump prints, through the\n"
         "game's own writer. Besides that form it accepts:\n"
         "  - stat values as plain points: \"strength\": 1.5 (steps of 1/256);\n"
         "  - virtues and vices by name in any letter case;\n"
         "  - references by name alone: \"race\": \"Goblin\" without \"race_id\",\n"
         "    and party members as bare identifiers or {\"name\": ...};\n"
         "  - no \"id\" (a record's identifier is its position), no \"date\" (the\n"
         "    day SOURCE_DATE_EPOCH gives, in UTC, when it is set; otherwise\n" +
         Wrap("    today's),", OptionalWords(), 4) +
         "A date given is kept: the same JSON builds the same bytes on any day.\n"
         "When both an identifier and a name are given, the identifier decides;\n"
         "a name that does not match is reported as a note.\n"
         "\n"
         "Nothing is written when the JSON has any problem tov check would report;\n"
         "they are listed on standard error and the exit status is 1.\n";
}

std::string Check() {
  return "Usage: tov check FILE.tov\n"
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
         "  - " +
         Limits() +
         "no player's party, or one without\n"
         "    members; no enemy party, or one that battles draw without members;\n"
         "    a fighter without race or career; no playable race;\n"
         "  - for .json: anything that keeps tov build from storing it as given.\n"
         "Notes that do not count as problems are marked \"note:\".\n"
         "\n"
         "Warnings, marked \"warning:\", are about what players will never see;\n"
         "the file is still sound with them:\n"
         "  - enemy parties that battles never draw, or hardly ever;\n"
         "  - more playable races or careers than their screen shows at once\n"
         "    below the character sheet.\n"
         "\n"
         "Exit status: 0 the file is sound, 1 it has problems, 2 usage error.\n";
}

std::string Arena() {
  return "Usage: tov arena FILE.tov [--battles N] [--max-rounds N] [--seed S] [--jobs N]\n"
         "                 [--policy random|weakest|defend] [--campaign K] [--json] [--svg FILE]\n"
         "\n"
         "Fights the file's player's party (its first party) against every enemy\n"
         "party battles draw, with the game's own rules, N battles each (default\n"
         "1000), each begun as the game begins one: copies, everyone restored.\n"
         "The player's allies act by a policy: random (the game's random attack,\n"
         "the default), weakest (the living foe with the least Health) or defend\n"
         "(every round). A battle past --max-rounds (default 1000) is won by\n"
         "neither side.\n"
         "\n"
         "--campaign K plays K battles in a row N times, as the game plays them:\n"
         "the enemy drawn, everyone restored, growth carried; it shows the player\n"
         "character's primary stats after each battle (median, 10-90%) and the\n"
         "win rate by battle number.\n"
         "\n"
         "The table gives each enemy party's draw share, the win rate with its 95%\n"
         "interval, rounds, allies standing and growth per battle, then warnings:\n"
         "a party never beaten, one always beaten in a single round, battles past\n"
         "the round limit. --json prints every figure as one JSON object instead;\n"
         "--svg FILE also draws them as a chart.\n"
         "\n"
         "--seed S repeats a run exactly (the seed is always printed; by default\n"
         "it comes from the clock), whatever --jobs (default: one per core).\n"
         "On a terminal a progress bar shows on standard error; Ctrl-C stops and\n"
         "prints the results so far, marked partial.\n"
         "\n"
         "Exit status: 0 done (with or without warnings), 1 the SVG could not be\n"
         "written, 2 a wrong command line or a file that cannot be fought with,\n"
         "130 stopped by Ctrl-C.\n";
}

}  // namespace help
