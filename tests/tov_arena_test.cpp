// tov arena: the content fought against itself, the same for any number of
// jobs, warning about parties that make no fair fight.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/tov_support.h"
#include "tov/arena.h"

namespace {

using namespace tov_support;

const std::string kCore = std::string(OSSIVAR_SOURCE_DIR) + "/data/Core Data.tov";

json Figures(const run_result& r) {
  EXPECT_EQ(r.status, 0) << r.err;
  json figures = json::parse(r.out);
  // All but what depends on the machine.
  for (const char* key : {"jobs", "seconds"}) figures.erase(key);
  return figures;
}

class ArenaTest : public TovTest {
 protected:
  // The shipped content with a new actor `id` (a goblin with these stats,
  // in points) as the only member of party `party`. Secondary stats also
  // take their primaries' values when restored.
  json CoreWith(json world, const int& id, const int& party,
                const std::vector<std::pair<const char*, double>>& stats) {
    json fighter = world["actors"][4];
    fighter["id"] = id;
    fighter["name"] = "Made " + std::to_string(id);
    for (const auto& [stat, points] : stats) {
      fighter["stats"][stat]["base"] = points;
      fighter["stats"][stat]["current"] = points;
    }
    world["actors"].push_back(fighter);
    world["parties"][party]["members"] = json::array({{{"id", id}}});
    return world;
  }

  json Core() {
    const run_result dumped = Tov({"dump", kCore});
    EXPECT_EQ(dumped.status, 0) << dumped.err;
    return json::parse(dumped.out);
  }

  std::string Save(const json& world, const std::string& name) {
    WriteFile(Path(name), world.dump());
    return Path(name);
  }
};

TEST_F(ArenaTest, SameSeedSameFiguresForAnyNumberOfJobs) {
  for (const std::vector<std::string>& mode :
       {std::vector<std::string>{"--battles", "150"}, std::vector<std::string>{"--battles", "40", "--campaign", "6"}}) {
    std::vector<std::string> args = {"arena", kCore, "--seed", "99", "--json"};
    args.insert(args.end(), mode.begin(), mode.end());
    std::vector<std::string> one = args;
    one.insert(one.end(), {"--jobs", "1"});
    std::vector<std::string> two = args;
    two.insert(two.end(), {"--jobs", "2"});
    const json a = Figures(Tov(one));
    EXPECT_EQ(a, Figures(Tov(two)));
    EXPECT_EQ(a["seed"], 99);
    EXPECT_FALSE(a["partial"]);
    EXPECT_EQ(a["parties"].size(), 3u);
    // Another seed, other battles.
    args[3] = "100";
    EXPECT_NE(a["parties"], Figures(Tov(args))["parties"]);
  }
}

TEST_F(ArenaTest, FiguresOfTheShippedContent) {
  const json figures = Figures(Tov({"arena", kCore, "--seed", "5", "--battles", "200", "--json"}));
  double share = 0;
  for (const json& p : figures["parties"]) {
    SCOPED_TRACE(p.dump());
    EXPECT_EQ(p["wins"].get<int>() + p["losses"].get<int>() + p["unfinished"].get<int>(), 200);
    EXPECT_DOUBLE_EQ(p["win_rate"].get<double>(), p["wins"].get<double>() / 200);
    EXPECT_LE(p["interval"][0].get<double>(), p["win_rate"].get<double>());
    EXPECT_GE(p["interval"][1].get<double>(), p["win_rate"].get<double>());
    EXPECT_GE(p["mean_rounds"].get<double>(), 1.0);
    share += p["draw_share"].get<double>();
  }
  // The last party also takes the draws past the fourth position.
  EXPECT_DOUBLE_EQ(figures["parties"][0]["draw_share"].get<double>(), 10922.0 / 32768);
  EXPECT_DOUBLE_EQ(share, 1.0);
  EXPECT_EQ(figures["parties"][2]["position"], 3);
  EXPECT_EQ(figures["parties"][0]["name"], "Goblins");
}

TEST_F(ArenaTest, CampaignGrowthCarriesAndEveryBattleStartsRestored) {
  const json figures =
      Figures(Tov({"arena", kCore, "--seed", "3", "--battles", "60", "--campaign", "8", "--json"}));
  const json& steps = figures["campaign"];
  ASSERT_EQ(steps.size(), 8u);
  for (const char* stat : {"strength", "wisdom", "agility"}) {
    for (std::size_t b = 1; b < steps.size(); ++b) {
      EXPECT_GE(steps[b][stat]["median"], steps[b - 1][stat]["median"]) << stat << " " << b;
      EXPECT_LE(steps[b][stat]["p10"], steps[b][stat]["median"]);
      EXPECT_GE(steps[b][stat]["p90"], steps[b][stat]["median"]);
    }
  }
  EXPECT_GT(steps[7]["wisdom"]["median"], steps[0]["wisdom"]["median"]);
  // Fought wounded or dead, later battles would be lost; restored, the
  // player's party wins them as it wins the first.
  for (const json& step : steps) EXPECT_GT(step["win_rate"].get<double>(), 0.9) << step.dump();
  int battles = 0;
  for (const json& p : figures["parties"]) battles += p["wins"].get<int>() + p["losses"].get<int>();
  EXPECT_EQ(battles, 60 * 8);
}

TEST_F(ArenaTest, PoliciesChooseAsTheySay) {
  json world = Core();
  auto made = [](const char* name, double health) {
    auto a = std::make_unique<actor>();
    a->name = pstr<unsigned char>(name);
    a->health.base = a->health.current = static_cast<unsigned short>(health * 256);
    return a;
  };
  auto hero = made("Hero", 10);
  auto strong = made("Strong", 9);
  auto dead = made("Dead", 0);
  auto weak = made("Weak", 3);
  auto weak_too = made("Weak too", 3);
  party allies{pstr<unsigned char>("Us"), 1, {hero.get()}};
  party foes{pstr<unsigned char>("Them"), 4, {strong.get(), dead.get(), weak.get(), weak_too.get()}};
  class fight_only : public combat::engine {
   protected:
    void Command(actor*, motive&) override {}
  } fight;
  rng::generator draws(11);
  fight.draws = &draws;
  fight.allies = &allies;
  fight.foes = &foes;

  const motive weakest = arena::Choice(arena::policy::kWeakest, fight, hero.get());
  EXPECT_EQ(weakest.action, motive::kAttack);
  EXPECT_EQ(weakest.target, weak.get());  // the first of equals, never the dead
  EXPECT_EQ(weakest.target_index, 2);
  const motive guard = arena::Choice(arena::policy::kDefend, fight, hero.get());
  EXPECT_EQ(guard.action, motive::kDefend);
  EXPECT_EQ(guard.target, hero.get());
  // The game's random attack: one draw, dead foes included.
  rng::generator same(11);
  for (int i = 0; i < 40; ++i) {
    const motive m = arena::Choice(arena::policy::kRandom, fight, hero.get());
    const std::size_t expected = combat::DrawnPosition(same.Draw(), 4);
    EXPECT_EQ(m.target_index, static_cast<int>(expected));
    EXPECT_EQ(m.target, foes.members[expected]);
  }
}

TEST_F(ArenaTest, WarnsAboutUnfairParties) {
  // A giant at position 3, and at position 1 one whom any blow fells.
  json world = CoreWith(Core(), 6, 3, {{"health", 100}, {"attack_damage", 100}, {"reflex", 100}});
  world = CoreWith(world, 7, 1, {{"strength", 0}, {"agility", 0}, {"health", 0.046875}, {"reflex", 0}});
  const std::string path = Save(world, "unfair.json");
  const run_result r = Tov({"arena", path, "--seed", "1", "--battles", "100"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find(path + ": $.parties[3] \"Goblins\": warning: enemy party at position 3 is never beaten by "
                              "the player's party in 100 battles\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(path + ": $.parties[1] \"Goblins\": warning: enemy party at position 1 is beaten in a "
                              "single round in every one of 100 battles\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find("position 2"), std::string::npos) << r.out;

  // Harmless foes against guards who never strike: no end.
  const std::string endless = Save(CoreWith(Core(), 6, 2, {{"strength", 0}, {"wisdom", 0}, {"attack_damage", 0}}), "endless.json");
  const run_result d =
      Tov({"arena", endless, "--seed", "1", "--battles", "20", "--policy", "defend", "--max-rounds", "30"});
  EXPECT_EQ(d.status, 0) << d.err;
  EXPECT_NE(d.out.find("warning: enemy party at position 2: 20 of 20 battles ran past the limit of 30 rounds, "
                       "won by neither side\n"),
            std::string::npos)
      << d.out;
}

TEST_F(ArenaTest, BadFilesAndOptions) {
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"arena"}, "tov: arena needs a data file\n\nUsage: tov arena"},
      {{"arena", kCore, "--battles", "0"}, "tov: --battles takes a whole number from 1 to 1000000000, not \"0\""},
      {{"arena", kCore, "--jobs", "x"}, "tov: --jobs takes a whole number from 1 to 1024, not \"x\""},
      {{"arena", kCore, "--policy", "smart"}, "tov: --policy is random, weakest or defend, not \"smart\""},
      {{"arena", kCore, "--seed"}, "tov: --seed needs a value"},
      {{"arena", kCore, "--fast"}, "tov: unknown option --fast"},
      {{"arena", kCore, kCore}, "tov: arena takes one data file"},
      {{"arena", "/no/such/file.tov"}, "tov: cannot read \"/no/such/file.tov\""},
  };
  for (const auto& c : cases) {
    const run_result r = Tov(c.args);
    EXPECT_EQ(r.status, 2) << c.err;
    EXPECT_EQ(r.err.substr(0, c.err.size()), c.err) << r.err;
    EXPECT_EQ(r.out, "");
  }

  // A damaged file: tov check's words.
  crafted spoilt;
  std::string bytes = spoilt.Bytes();
  bytes[0] = 'I';
  WriteFile(Path("spoilt.tov"), bytes);
  const run_result damaged = Tov({"arena", Path("spoilt.tov")});
  EXPECT_EQ(damaged.status, 2);
  EXPECT_NE(damaged.err.find(Path("spoilt.tov") + ": byte 0: not a data file"), std::string::npos) << damaged.err;

  // No enemy party.
  json world = Core();
  world["parties"] = json::array({world["parties"][0]});
  const run_result alone = Tov({"arena", Save(world, "alone.json")});
  EXPECT_EQ(alone.status, 2);
  EXPECT_NE(alone.err.find("enemy part"), std::string::npos) << alone.err;
}

// Every tag closed in order, every '&' an entity: enough of XML's rules
// to catch what a hand-written writer gets wrong.
bool WellFormed(const std::string& text) {
  std::vector<std::string> open;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '&') {
      const std::size_t end = text.find(';', at);
      const std::string entity = end == std::string::npos ? "" : text.substr(at, end - at + 1);
      if (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;") return false;
    }
    if (text[at] != '<') continue;
    const std::size_t end = text.find('>', at);
    if (end == std::string::npos) return false;
    const std::string tag = text.substr(at + 1, end - at - 1);
    at = end;
    if (tag.front() == '?') continue;
    if (tag.find('<') != std::string::npos) return false;
    if (tag.back() == '/') continue;
    const std::string name = tag.substr(tag.front() == '/' ? 1 : 0, tag.find_first_of(" /", 1) - (tag.front() == '/' ? 1 : 0));
    if (tag.front() != '/') {
      open.push_back(name);
    } else if (open.empty() || open.back() != name) {
      return false;
    } else {
      open.pop_back();
    }
  }
  return open.empty();
}

TEST_F(ArenaTest, SvgIsWellFormed) {
  json world = Core();
  world["parties"][2]["name"] = "Orcs & <Trolls> \"Inc\"";
  const std::string path = Save(world, "named.json");
  const std::string svg = Path("chart.svg");
  const run_result r =
      Tov({"arena", path, "--seed", "2", "--battles", "20", "--campaign", "4", "--svg", svg});
  ASSERT_EQ(r.status, 0) << r.err;
  std::ifstream in(svg, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_TRUE(WellFormed(text.str())) << text.str();
  EXPECT_NE(text.str().find("Orcs &amp; &lt;Trolls&gt; &quot;Inc&quot;"), std::string::npos);
  EXPECT_NE(text.str().find("<polyline"), std::string::npos);  // the campaign's curves
  EXPECT_FALSE(WellFormed("<svg><g></svg></g>"));
  EXPECT_FALSE(WellFormed("<svg>a & b</svg>"));
}

}  // namespace
