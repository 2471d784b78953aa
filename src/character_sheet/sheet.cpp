#include "character_sheet/sheet.h"

#include <iomanip>
#include <iostream>
#include <string>

#include "console/console_util.h"
#include "console/text_layout.h"

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
