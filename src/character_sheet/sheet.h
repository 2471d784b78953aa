#ifndef OSSIVAR_CHARACTER_SHEET_SHEET_H
#define OSSIVAR_CHARACTER_SHEET_SHEET_H

#include "model/actor.h"

// The character sheet: the top of every creation screen and of the battle
// screen that asks an ally for a command.
namespace CharGen {

// Section bits of the character sheet header.
constexpr unsigned char kSheetName = 1;      // name and sex
constexpr unsigned char kSheetRace = 2;      // race name; with the career bit, the stats
constexpr unsigned char kSheetCareer = 4;    // career name; with the race bit, the stats
constexpr unsigned char kSheetAspects = 8;   // elements, virtue and vice
constexpr unsigned char kSheetAll = 255;

// The lines the header takes on the screen: four and the rule.
constexpr int kHeaderLines = 5;

// Clears the screen and draws the four-line sheet of `a` and a rule. A
// section left out of `sections`, or one whose record the actor does not
// have yet, is drawn as blanks of its width so the other columns stay put.
void Header(actor* a, const unsigned char& sections);

}  // namespace CharGen

#endif
