#include "character_creation/chargen.h"

#include <cstdint>
#include <iomanip>
#include <iostream>
#include <string>

#include "console/console_util.h"
#include "console/text_layout.h"
#include "data_file/io_file.h"
#include "platform/input.h"

// ---- Character sheet header ------------------------------------------------

namespace CharGen {
namespace {

void Blanks(const int& count) { std::cout << std::string(static_cast<std::size_t>(count), ' '); }

void StatColumn(const char* label, const stat_base& stat) {
  std::cout << label << std::right << std::setw(3) << stat.get(true);
}

// The element's own operator writes the percentage and "%"; the width
// applies to the number only.
void ElementColumn(const char* label, const element& e) { std::cout << label << std::setw(3) << e; }

// A name written left-aligned in a fixed column.
void NameColumn(const std::string& text, const int& width) {
  std::cout << std::left << std::setw(width) << text << std::right;
}

void FirstLine(const actor& a, const unsigned char& sections) {
  if (sections & kSheetName) {
    std::cout << "    NAME    ";
    NameColumn(Truncate(a.name, 21), 21);
    std::cout << "  SEX  " << (a.female ? 'F' : 'M');
  } else {
    Blanks(41);
  }
  if (sections & kSheetAspects) {
    ElementColumn("           WATER  ", a.elements[0]);
    ElementColumn("  LIGHT  ", a.elements[4]);
  }
  std::cout << '\n';
}

// Lines 2 and 3 share a shape: a record name on the left, three stats in the
// middle, two elements on the right.
void RecordColumn(const char* label, const pstr<unsigned char>* record_name) {
  if (record_name == nullptr) {
    Blanks(25);
    return;
  }
  std::cout << label;
  NameColumn(Truncate(*record_name, 13), 13);
}

void SecondLine(const actor& a, const unsigned char& sections, const bool& show_stats) {
  const bool known = (sections & kSheetRace) && a.race != nullptr;
  RecordColumn("    RACE    ", known ? &a.race->name : nullptr);
  if (show_stats) {
    StatColumn("  STR", a.strength);
    StatColumn("   HP", a.health);
    StatColumn("  AD", a.attack_damage);
  } else {
    Blanks(23);
  }
  if (sections & kSheetAspects) {
    ElementColumn("    WIND   ", a.elements[1]);
    ElementColumn("  DARK   ", a.elements[5]);
  }
  std::cout << '\n';
}

void ThirdLine(const actor& a, const unsigned char& sections, const bool& show_stats) {
  const bool known = (sections & kSheetCareer) && a.career != nullptr;
  RecordColumn("    CAREER  ", known ? &a.career->name : nullptr);
  if (show_stats) {
    StatColumn("  WIS", a.wisdom);
    StatColumn("   EN", a.energy);
    StatColumn("  AC", a.precision);
  } else {
    Blanks(23);
  }
  if (sections & kSheetAspects) {
    ElementColumn("    EARTH  ", a.elements[2]);
    ElementColumn("  ARCANE ", a.elements[6]);
  }
  std::cout << '\n';
}

void FourthLine(const actor& a, const unsigned char& sections, const bool& show_stats) {
  const bool aspects = sections & kSheetAspects;
  if (aspects && a.virtue != nullptr && a.vice != nullptr) {
    std::cout << std::right << std::setw(11) << a.virtue->name << '/';
    NameColumn(a.vice->name, 15);
  } else {
    Blanks(27);
  }
  if (show_stats) {
    StatColumn("AGI", a.agility);
    StatColumn("   AS", a.dexterity);
    StatColumn("  RE", a.reflex);
  } else {
    Blanks(21);
  }
  if (aspects) ElementColumn("    FIRE   ", a.elements[3]);
  std::cout << '\n';
}

}  // namespace

void Header(actor* a, const unsigned char& sections) {
  console::NewScreen();
  // The element numbers take the stream's alignment, and callers expect it
  // right-aligned afterwards whatever the mask.
  std::cout << std::right;
  if (a != nullptr) {
    const bool show_stats = sections & (kSheetRace | kSheetCareer);
    FirstLine(*a, sections);
    SecondLine(*a, sections, show_stats);
    ThirdLine(*a, sections, show_stats);
    FourthLine(*a, sections, show_stats);
  }
  std::cout << console::HorizontalLine();
}

}  // namespace CharGen

// ---- Creation screens --------------------------------------------------------

namespace CharGen {
namespace {

constexpr unsigned short kFillUp = 25600;  // more than any maximum: fills to it
constexpr unsigned short kToken = 256;     // one whole point
constexpr int kSwagTokens = 6;
constexpr int kAuxTokens = 12;
constexpr int kFirstAux = 3;  // Health; the primaries come before it

// The whole points of a modifier.
int Whole(const unsigned short& modifier) { return modifier >> 8; }

void FillAux(actor* a) {
  for (int i = kFirstAux; i < 9; ++i) a->Stat(i)->mod(kFillUp);
}

const char* NameOf(const aspect* which) { return which != nullptr ? which->name : ""; }

void AskConfirmation() {
  std::cout << "\n\n\tIs this correct?\n\t  "
            << "0) No.\n\t  "
            << "1) Yes.\n\t  ";
}

// The race screen reads its answer as a signed number, the career and
// aspects screens as an unsigned one.
bool Confirmed() {
  AskConfirmation();
  return input::ReadInt() == 1;
}

bool ConfirmedUnsigned() {
  AskConfirmation();
  return input::ReadUnsigned() == 1;
}

// Name, description and the nine modifiers of a race or career; the extras
// follow the first two modifier lines (a race's virtue and vice).
template <typename Record>
void Preview(const Record& record, const std::string& first_extra, const std::string& second_extra) {
  const stat_modifiers& m = record.modifiers;
  std::cout << "\n        " << Truncate(record.name, 20) << '\n'
            << Paragraph(record.description, 8, 8, 2, 7) << '\n'
            << "           STR  " << Whole(m[0]) << "          HP   " << Whole(m[3]) << "    AD   " << Whole(m[5])
            << first_extra << '\n'
            << "           WIS  " << Whole(m[1]) << "          EN   " << Whole(m[4]) << "    AC   " << Whole(m[8])
            << second_extra << '\n'
            << "           AGI  " << Whole(m[2]) << "          AS   " << Whole(m[7]) << "    RE   " << Whole(m[6])
            << '\n'
            << std::flush;
}

// The amount rule of the token pools: more than is left spends the rest, a
// take-back beyond what the stat received is ignored.
void SpendTokens(const int& amount, int& tokens, unsigned short& modifier) {
  if (amount > tokens) {
    modifier = static_cast<unsigned short>(modifier + kToken * tokens);
    tokens = 0;
    return;
  }
  if (amount < 0 && static_cast<long long>(kToken) * -static_cast<long long>(amount) > modifier) return;
  modifier = static_cast<unsigned short>(modifier + kToken * amount);
  tokens -= amount;
}

struct pool_entry {
  const char* label;
  int stat;
};

constexpr pool_entry kSwagEntries[] = {{"Strength  ", 0}, {"Wisdom    ", 1}, {"Agility   ", 2}};
constexpr pool_entry kAuxEntries[] = {{"Health         ", 3}, {"Energy         ", 4}, {"Attack Damage  ", 5},
                                      {"Reflex         ", 6}, {"Attack Speed   ", 7}, {"Accuracy       ", 8}};

// Spends one pool on the custom record; returns once the pool is empty and
// the player has said so.
template <std::size_t N>
void SpendPool(actor* a, career& custom, const unsigned char& sections, const char* pool_name, int tokens,
               const pool_entry (&entries)[N]) {
  const int count = static_cast<int>(N);
  for (;;) {
    Header(a, sections);
    std::cout << "\n\tYou have " << tokens << ' ' << pool_name << " tokens.\t\t"
              << std::string(static_cast<std::size_t>(tokens), '*') << '\n';
    for (int k = 0; k < count; ++k) {
      const int projected = (custom.modifiers[entries[k].stat] + a->Stat(entries[k].stat)->get(false)) / 256;
      std::cout << "\n\t  " << k << ") " << entries[k].label << projected;
    }
    if (tokens > 0) {
      std::cout << "\n\t  ";
    } else {
      std::cout << "\n\n\t  " << count << ") Finished?\n\t  ";
    }
    const int choice = input::ReadInt();
    if (choice >= 0 && choice < count) {
      std::cout << "\n\t  Amount: ";
      SpendTokens(input::ReadInt(), tokens, custom.modifiers[entries[choice].stat]);
    } else if (tokens == 0) {
      return;
    }
  }
}

void CustomCareer(actor* a, tov_file* file, const unsigned char& sections) {
  career custom;
  SpendPool(a, custom, sections, "SWAg", kSwagTokens, kSwagEntries);
  FillAux(a);
  SpendPool(a, custom, sections, "aux", kAuxTokens, kAuxEntries);
  // Its position is its identifier; the file never moves it, so the actor
  // may point at it.
  custom.id = static_cast<std::uint32_t>(file->careers.size());
  file->careers.push_back(custom);
  a->PickCareer(&file->careers.back());
}

const aspect* ChooseAspect(actor* a, const unsigned char& sections, const char* const (&entries)[7],
                           const aspect* (*find)(const int&)) {
  for (;;) {
    Header(a, sections);
    std::cout << "\n\tPick your poison:\n\t  ";
    for (int k = 0; k < 7; ++k) std::cout << k << ") " << entries[k] << "\n\t  ";
    const unsigned int choice = input::ReadUnsigned();
    if (choice > 6) continue;
    const aspect* picked = find(static_cast<int>(choice));
    Header(a, sections);
    const pstr<unsigned short> description(picked->description);
    std::cout << "\n\t" << picked->name << '\n'
              << Paragraph(description, 8, 8, 2, 7) << "\n"
              << "\n\tStrengthens: " << elements::kElementNames[picked->strengthens % elements::kElementCount]
              << "\n\tWeakens:     " << elements::kElementNames[picked->weakens % elements::kElementCount] << '\n'
              << std::flush;
    if (ConfirmedUnsigned()) return picked;
  }
}

constexpr const char* kVirtueEntries[7] = {"Temperance", "Charity",  "Diligence", "Kindness",
                                           "Chastity",   "Patience", "Humility"};
constexpr const char* kViceEntries[7] = {"Sloth", "Wrath", "Greed", "Gluttony", "Pride", "Envy", "Lust"};

}  // namespace

void Name(actor* a, const unsigned char& sections) {
  Header(a, sections);
  std::cout << "\n\tWhat is your name?\n\t  ";
  input::DiscardLeftoverNewline();
  const std::string line = input::ReadLine();
  // A zero byte ends the name, as it would end any C text.
  a->name = pstr<unsigned char>(line.c_str());
  std::cout << "\n\tWhat is your sex?\n\t  "
            << "0) Male\n\t  "
            << "1) Female\n\t  ";
  const std::string sex = input::ReadLine();
  a->female = !sex.empty() && (sex[0] == 'F' || sex[0] == 'f' || sex[0] == '1');
}

void Race(actor* a, tov_file* file, const unsigned char& sections) {
  a->UnpickRace();
  for (;;) {
    Header(a, sections);
    std::cout << "\n\tWhat race are you?\n\t  ";
    for (const race& offered : file->races) {
      if (offered.playable) std::cout << offered.ID() << ") " << offered.name << "\n\t  ";
    }
    const int choice = input::ReadInt();
    Header(a, sections);
    const race* picked = file->FindRace(static_cast<std::uint32_t>(choice));
    if (picked == nullptr || !picked->playable) continue;
    Preview(*picked, std::string("        Virtue: ") + NameOf(picked->virtue),
            std::string("          Vice: ") + NameOf(picked->vice));
    if (!Confirmed()) continue;
    a->PickRace(picked);
    FillAux(a);
    return;
  }
}

void Career(actor* a, tov_file* file, const unsigned char& sections) {
  a->UnpickCareer();
  for (;;) {
    Header(a, sections);
    std::cout << "\n\tWhat is your career?\n\t  ";
    for (const career& offered : file->careers) {
      if (offered.playable) std::cout << offered.ID() << ") " << offered.name << "\n\t  ";
    }
    const std::size_t count = file->careers.size();
    std::cout << "\n\t  " << count << ") Custom\n\t  ";
    const unsigned int choice = input::ReadUnsigned();
    if (choice > count) continue;
    if (choice == count) {
      CustomCareer(a, file, sections);
      return;
    }
    Header(a, sections);
    const career* picked = file->FindCareer(choice);
    if (picked == nullptr || !picked->playable) continue;
    Preview(*picked, "", "");
    if (!ConfirmedUnsigned()) continue;
    a->PickCareer(picked);
    FillAux(a);
    return;
  }
}

void Aspects(actor* a, const unsigned char& sections) {
  a->UnpickVirtueVice(a->virtue, a->vice);
  // The virtue counts at once, so declining a vice goes back to the vices
  // only.
  a->virtue = ChooseAspect(a, sections, kVirtueEntries, aspects::FindVirtue);
  a->PickVirtueVice(a->virtue, nullptr);
  a->vice = ChooseAspect(a, sections, kViceEntries, aspects::FindVice);
  a->PickVirtueVice(nullptr, a->vice);
}

void Review(actor* a, tov_file* file) {
  for (;;) {
    Header(a, kSheetAll);
    std::cout << "\n\tIs everything correct?\n\t  "
              << "0) Name and Sex\n\t  "
              << "1) Race\n\t  "
              << "2) Career\n\t  "
              << "3) Aspects of virtue and vice\n\t  "
              << "\n\t  4) Complete\n\t  ";
    switch (input::ReadInt()) {
      case 0:
        Name(a, kSheetAll);
        break;
      case 1:
        Race(a, file, kSheetAll);
        break;
      case 2:
        Career(a, file, kSheetAll);
        break;
      case 3:
        Aspects(a, kSheetAll);
        break;
      case 4:
        return;
      default:
        break;  // not on the menu: draw it again
    }
  }
}

actor* NewActor(actor* a, tov_file* file) {
  Name(a, 0);
  Race(a, file, kSheetName);
  Career(a, file, kSheetName | kSheetRace);
  Aspects(a, kSheetName | kSheetRace | kSheetCareer);
  Review(a, file);
  return a;
}

}  // namespace CharGen
