#include "model/aspect.h"

namespace aspects {

// Constant-initialised, so other modules' static content can use them.
constinit const aspect temperment{
    "Temperance",
    "Moderation is the essence of temperance. It is the mastery of desire. Like water, taking enough "
    "provides life, while overindulgence drowns you.",
    0, 3};
constinit const aspect charity{
    "Charity",
    "Charity is justice of the needy. It is what can be achieved rather than what can be given. The "
    "virtue of wind, it is filling the sails of the destitute to reach new heights.",
    1, 2};
constinit const aspect diligence{
    "Diligence",
    "Diligence is careful persistence. It is the virtue of earth, and the power to level mountains "
    "with raindrops or grow a magnificent tree from a tiny seed.",
    2, 0};
constinit const aspect kindness{
    "Kindness",
    "Kindness is helpfulness toward others without expected compensation. It is the virtue of Fire: "
    "heating our meals and homes, and the conjured warmth in our hearts. The gentle paragon gives "
    "until nothing remains; like a flame that burns itself out.",
    3, 5};
constinit const aspect chastity{
    "Chastity", "Chastity is purity. It is the virtue of light that shines upon us all.", 4, 6};
constinit const aspect patience{
    "Patience",
    "Patience is the mastery over desire. It is the virtue of the dark which forever lurks, biding "
    "its time to shine.",
    5, 1};
constinit const aspect humility{
    "Humility",
    "Humility is the understanding of ones place in the greater workings of the world. It is the "
    "virtue of the arcane, suggesting a clairvoyant sight of the world others cannot see.",
    6, 4};

constinit const aspect sloth{
    "Sloth",
    "Sloth is the failure to act. It allows fate to control you and is the vice of water, slipping "
    "between your fingers.",
    0, 2};
constinit const aspect wrath{
    "Wrath", "Wrath is failure to control ones emotions. It is the vice of wind, rampaging aimlessly.", 1, 5};
constinit const aspect greed{
    "Greed",
    "Greed is the insatiable desire for personal gain. It is the vice of earth that inches across "
    "the world, consuming all.",
    2, 1};
constinit const aspect gluttony{"Gluttony",
                                "Gluttony is the inability to stop consuming. It is the vice of fire.", 3, 0};
constinit const aspect pride{
    "Pride", "Pride is the overvalue of ones self. It is the vice of light that steals all attention.", 4, 6};
constinit const aspect envy{
    "Envy",
    "Envy is the desire for what others possessions and achievements. It is the the vice of "
    "darkness vying in the corner.",
    5, 3};
constinit const aspect lust{
    "Lust", "Lust is the insatiable obsession over something. It is the vice of the arcane.", 6, 4};

const aspect* FindVirtue(const int& number) {
  static const aspect* const kVirtues[] = {&temperment, &charity,  &diligence,
                                           &kindness,   &chastity, &patience};
  return number >= 0 && number < 6 ? kVirtues[number] : &humility;
}

const aspect* FindVice(const int& number) {
  static const aspect* const kVices[] = {&sloth, &wrath, &greed, &gluttony, &pride, &envy};
  return number >= 0 && number < 6 ? kVices[number] : &lust;
}

const aspect* Find(const aspect_kind& kind, const int& number) {
  return kind == aspect_kind::kVirtue ? FindVirtue(number) : FindVice(number);
}

}  // namespace aspects
