#include "character_creation/chargen.h"

#include <cstdint>
#include <iostream>
#include <string>

#include "character_sheet/record_list.h"
#include "console/text_layout.h"
#include "data_file/io_file.h"
#include "platform/input.h"

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
    WriteList(std::cout, kRaceList, file->races);
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
    WriteList(std::cout, kCareerList, file->careers);
    const std::size_t count = file->careers.size();
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
