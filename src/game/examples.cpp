#include "game/examples.h"

namespace examples {

using namespace aspects;

const race human(0, "Nimisum",
                 "Nimisum are the youngest race with soft features and an olive complexion. They spread "
                 "across the central plain within a few generations, building market towns wherever two "
                 "roads meet. Curious and restless, they learn quickly from their elders and forget as "
                 "fast, which makes them fine traders and poor historians of their past.",
                 &kindness, &greed, {256, 512, 512, 768, 768, 512, 512, 256, 256});
const race elf(1, "Protosum",
               "Protosum are tall with a golden complexion defined by sharp features and long ears. They "
               "are the eldest of the peoples and remember it in every gesture. Their cities of white "
               "stone sit high in the northern forest, where they study the stars and the slow turning "
               "of the seasons, and they rarely trust anyone who cannot recite their lineage from "
               "memory.",
               &chastity, &pride, {512, 512, 256, 512, 1024, 512, 512, 0, 512});
const race dwarf(2, "Absum",
                 "With fiery rage and shrieking battlecries, an Absum's presence is twice their stature. "
                 "Short, broad and stubborn, they dig out their halls deep beneath the mountains and guard "
                 "them fiercely. An Absum never forgets a debt or an insult, and will gladly spend a whole "
                 "lifetime repaying either one.",
                 &diligence, &wrath, {768, 256, 256, 768, 256, 1280, 256, 512, 0});
const race clown(3, "Piyat",
                 "Piyat are natural masters of the arcane, and it has a profound effect on their way of "
                 "living. They paint their faces in bright colors, speak in riddles and laugh at things no "
                 "one else can see. Their wandering troupes travel from town to town with wagons full of "
                 "strange instruments, and the locals are never sure whether they have been entertained, "
                 "enchanted or robbed. Most agree it was worth it.",
                 &humility, &gluttony, {256, 768, 256, 768, 1280, 256, 0, 256, 512});
const race furry(4, "Canis",
                 "Canis are the burly, seafaring folk of the western coasts and islands. Thick fur keeps "
                 "them warm on the cold grey waters, and their keen noses find fish, land and trouble long "
                 "before any lookout does. They are loyal to their crews above all else, howl their songs "
                 "at the moon on long voyages, and settle every argument with a wrestling match on deck. "
                 "Ashore, a Canis is loud, generous and always hungry.",
                 &temperment, &lust, {512, 256, 512, 0, 512, 768, 768, 768, 256});
const race harpie(5, "Kiipeto",
                  "E girls. Winged but dislike flying more than necessary. They nest in high towers, gossip "
                  "endlessly, and hoard shiny trinkets from careless travelers.",
                  &charity, &sloth, {256, 512, 512, 256, 0, 256, 1024, 512, 1024});
const race lizzie(6, "Skink",
                  "Live on their own or in small tribes. Very toxic and miserable. Crab in a bucket "
                  "mentality.",
                  &patience, &envy, {256, 256, 768, 256, 512, 0, 768, 1024, 512});
const race goblin(7, "Goblin", "Stinky fodder for adventures to kill.", &diligence, &envy,
                  {256, 128, 384, 256, 512, 512, 256, 768, 256});

const career janitor(0, "Janitor", "This rag technician will sweep you off your feet!",
                     {0, 0, 0, 0, 0, 0, 0, 0, 0});
const career warrior(1, "Warrior", "Big guy.", {1024, 256, 256, 768, 256, 768, 256, 256, 768});
const career archer(2, "Archer", "Arrow go boioioioioing.", {768, 512, 256, 256, 768, 768, 256, 256, 768});
const career agent(3, "Agent", "Bond. James Bond.", {768, 256, 512, 512, 512, 256, 768, 512, 512});
const career berserker(4, "Berserker", "Grahgrghrhgah!", {768, 0, 768, 256, 768, 512, 0, 1024, 512});
const career battlemage(5, "Battlemage", "Strong and powerful.",
                        {768, 768, 0, 256, 768, 512, 256, 256, 1024});
const career mage(6, "Mage", "Magically magical.", {256, 1024, 256, 256, 1024, 256, 512, 512, 512});
const career spellsword(7, "Spellsword", "Enchanted swords with magic.",
                        {512, 768, 256, 512, 768, 512, 512, 512, 256});
const career nightblade(8, "Healer", "Mage specializing in recovery near the front line.",
                        {256, 768, 512, 256, 768, 512, 768, 256, 512});
const career illusionist(9, "Illusionist", "Illusionist.", {0, 768, 768, 0, 1024, 256, 768, 512, 512});
const career thief(10, "Thief", "Sneaky sneaky!", {256, 256, 1024, 256, 256, 256, 768, 768, 768});
const career rogue(11, "Rogue", "Muscle.", {512, 256, 768, 256, 256, 768, 768, 256, 768});
const career spellprobe(12, "Spellprobe", "A touch of magic to open locks.",
                        {256, 512, 768, 256, 256, 256, 512, 768, 1024});
const career gob_warrior(13, "Goblin Warrior", "Grunt.", {384, 256, 256, 768, 512, 768, 512, 256, 256});
const career gob_thief(14, "Goblin Thief", "Yer mum's a troll",
                       {256, 384, 384, 256, 512, 256, 768, 768, 768});

actor bob(0, "Bob", false, &human, &janitor, &kindness, &sloth);
actor john(1, "John", false, &dwarf, &warrior, &diligence, &wrath);
actor herbert(2, "Herbert", false, &clown, &mage, &humility, &lust);
actor janet(3, "Janet", true, &lizzie, &thief, &patience, &greed);
actor goblin01(4, "Tough Goblin", false, &goblin, &gob_warrior, &diligence, &envy);
actor goblin02(5, "Scrawny Goblin", false, &goblin, &gob_thief, &diligence, &envy);

party player(pstr<unsigned char>("Player"), 4, {&bob, &john, &herbert, &janet});
party goblins01(pstr<unsigned char>("Goblins"), 3, {&goblin01, &goblin02, &goblin01});
party goblins02(pstr<unsigned char>("Goblins"), 3, {&goblin02, &goblin01, &goblin02});
party goblins03(pstr<unsigned char>("Goblins"), 4, {&goblin02, &goblin02, &goblin02, &goblin02});

std::vector<const race*> Races() { return {&human, &elf, &dwarf, &clown, &furry, &harpie, &lizzie, &goblin}; }
std::vector<const career*> Careers() {
  return {&janitor,    &warrior,     &archer, &agent, &berserker,  &battlemage,  &mage,     &spellsword,
          &nightblade, &illusionist, &thief,  &rogue, &spellprobe, &gob_warrior, &gob_thief};
}
std::vector<actor*> Actors() { return {&bob, &john, &herbert, &janet, &goblin01, &goblin02}; }
std::vector<party*> Parties() { return {&player, &goblins01, &goblins02, &goblins03}; }

}  // namespace examples
