#ifndef OSSIVAR_CHARACTER_CREATION_CHARGEN_H
#define OSSIVAR_CHARACTER_CREATION_CHARGEN_H

#include "character_sheet/sheet.h"

class tov_file;

namespace CharGen {

// Each creation screen draws the header with the `sections` it is given and returns
// only once its question is answered. Reopened from the review menu, a
// screen first takes back its own earlier effect and leaves the others be.

// Name and sex.
void Name(actor* a, const unsigned char& sections);
// One of the file's playable races.
void Race(actor* a, tov_file* file, const unsigned char& sections);
// One of the file's playable careers, or a custom one built from stat
// tokens, which is appended to the file's careers.
void Career(actor* a, tov_file* file, const unsigned char& sections);
// The actor's own virtue and vice.
void Aspects(actor* a, const unsigned char& sections);
// Reopens any screen until the player chooses Complete.
void Review(actor* a, tov_file* file);
// All four screens in order, then the review; returns `a`.
actor* NewActor(actor* a, tov_file* file);

}  // namespace CharGen

#endif
