#include "world_layout.h"

#include <algorithm>

#include "world/text/import_reader.h"

namespace worldgen {

namespace {

bool Int(ImportReader& in, const char* what, int64_t low, int64_t high, int& value) {
  int64_t v = 0;
  if (!in.Int(what, low, high, v)) return false;
  value = static_cast<int>(v);
  return true;
}

RegionSpec* FindRegion(WorldLayout& layout, int number) {
  for (RegionSpec& r : layout.regions)
    if (r.number == number) return &r;
  return nullptr;
}

bool ReadLine(ImportReader& in, WorldLayout& w, const std::string& keyword) {
  const int most = 1 << 15;
  if (keyword == "SEED") {
    uint32_t seed = 0;
    if (!in.Word("seed", seed)) return false;
    w.seed = seed;
  } else if (keyword == "SIZE") {
    if (!Int(in, "width", 8, 4096, w.width) || !Int(in, "height", 8, 4096, w.height)) return false;
    if (w.width % 2) {  // a wrapping map of lowered odd columns needs an even width
      in.FailColumn("width", "must be even");
      return false;
    }
  } else if (keyword == "SEALEVEL") {
    if (!Int(in, "sea level", 0, 1023, w.seaLevel)) return false;
  } else if (keyword == "TERRAINS") {
    for (int& t : w.terrain)
      if (!Int(in, "terrain index", 1, 255, t)) return false;
  } else if (keyword == "CONTINENT") {
    ContinentSpec c{};
    if (!Int(in, "x", 0, most, c.x) || !Int(in, "y", 0, most, c.y) || !Int(in, "x radius", 1, most, c.rx) ||
        !Int(in, "y radius", 1, most, c.ry) || !Int(in, "peak", 0, 2000, c.peak))
      return false;
    w.continents.push_back(c);
  } else if (keyword == "STRAIT") {
    RectSpec r{};
    if (!Int(in, "x from", 0, most, r.x0) || !Int(in, "x to", 0, most, r.x1) || !Int(in, "y from", 0, most, r.y0) ||
        !Int(in, "y to", 0, most, r.y1))
      return false;
    w.straits.push_back(r);
  } else if (keyword == "LAKE") {
    PointSpec p{};
    if (!Int(in, "x", 0, most, p.x) || !Int(in, "y", 0, most, p.y)) return false;
    w.lakes.push_back(p);
  } else if (keyword == "REGION") {
    RegionSpec r;
    if (!Int(in, "region", 1, 31, r.number) || !in.Text("name", r.name) || !Int(in, "capital x", 0, most, r.capitalX) ||
        !Int(in, "capital y", 0, most, r.capitalY) || !Int(in, "technology level", 0, 255, r.techLevel))
      return false;
    if (FindRegion(w, r.number) || (!w.regions.empty() && w.regions.back().number + 1 != r.number)) {
      in.FailColumn("region", "regions must follow each other from 1, each once");
      return false;
    }
    w.regions.push_back(r);
  } else if (keyword == "TOWNS" || keyword == "TOWN") {
    int number = 0;
    if (!Int(in, "region", 1, 31, number)) return false;
    RegionSpec* r = FindRegion(w, number);
    if (!r) {
      in.FailColumn("region", "no REGION line names it before");
      return false;
    }
    if (keyword == "TOWN") {
      TownSpec t;
      t.fixed = true;
      if (!in.Text("name", t.name) || !Int(in, "x", 0, most, t.x) || !Int(in, "y", 0, most, t.y)) return false;
      r->towns.push_back(t);
    } else {
      TextTokenizer& t = in.tokenizer();
      while (t.cursor && *t.cursor && *t.cursor != '\r' && *t.cursor != '\n') {
        TownSpec town;
        if (!in.Text("town", town.name)) return false;
        if (!town.name.empty()) r->towns.push_back(town);
      }
    }
  } else if (keyword == "RANGEBOOST") {
    if (!in.Real("factor", w.rangeBoost) || !in.Real("addend", w.rangeAddend)) return false;
    if (!(w.rangeBoost >= 0.0f && w.rangeBoost <= 100.0f) || !(w.rangeAddend >= 0.0f && w.rangeAddend <= 400.0f)) {
      in.FailColumn("factor", "must be 0 to 100, the addend 0 to 400");
      return false;
    }
  } else if (keyword == "PATROL") {
    if (!Int(in, "every", 0, most, w.patrolEvery)) return false;
  } else if (keyword == "SILO") {
    int number = 0;
    if (!Int(in, "region", 1, 31, number)) return false;
    RegionSpec* r = FindRegion(w, number);
    if (!r) {
      in.FailColumn("region", "no REGION line names it before");
      return false;
    }
    r->silo = true;
  } else if (keyword == "LAUNCHSITE") {
    int number = 0;
    if (!Int(in, "region", 1, 31, number)) return false;
    RegionSpec* r = FindRegion(w, number);
    if (!r) {
      in.FailColumn("region", "no REGION line names it before");
      return false;
    }
    r->launchSite = true;
  } else if (keyword == "AGGRESSION") {
    int number = 0, setting = 0;
    if (!Int(in, "region", 1, 31, number) || !Int(in, "aggressiveness", 0, 3, setting)) return false;
    RegionSpec* r = FindRegion(w, number);
    if (!r) {
      in.FailColumn("region", "no REGION line names it before");
      return false;
    }
    r->aggression = setting;
  } else if (keyword == "FORCE") {
    ForceSpec f;
    if (!Int(in, "region", 1, 31, f.region) || !Int(in, "class", 1, 65535, f.classIndex) ||
        !Int(in, "count", 1, 1000, f.count) || !in.Text("place", f.place))
      return false;
    static const char* const kPlaces[] = {"capital", "border", "front", "airbase", "navalbase", "silo"};
    if (std::none_of(std::begin(kPlaces), std::end(kPlaces), [&](const char* p) { return f.place == p; })) {
      in.FailColumn("place", "\"" + f.place + "\" is not capital, border, front, airbase, navalbase or silo");
      return false;
    }
    if (f.place == "front" && !Int(in, "toward", 1, 31, f.toward)) return false;
    w.forces.push_back(f);
  } else {
    in.Fail("\"" + keyword + "\" is no layout keyword");
    return false;
  }
  return true;
}

}  // namespace

bool ReadWorldLayout(const char* name, WorldLayout& layout, std::string& error) {
  ImportReader in;
  WorldLayout w;
  if (in.Load(name) < 0) {
    error = in.error();
    return false;
  }
  in.NextLine();  // the title
  while (!in.AtEnd()) {
    if (in.LineIsBlank()) {
      in.NextLine();
      continue;
    }
    in.BeginLine();
    std::string keyword;
    if (!in.Text("keyword", keyword) || !ReadLine(in, w, keyword)) {
      error = in.error();
      return false;
    }
    in.NextLine();
  }
  if (w.width == 0 || w.regions.empty()) {
    error = in.path() + ": the layout needs a SIZE line and at least one REGION";
    return false;
  }
  for (const RegionSpec& r : w.regions) {
    if (r.towns.empty() || r.towns.front().fixed) {
      error = in.path() + ": region " + std::to_string(r.number) + " needs a TOWNS line naming its capital first";
      return false;
    }
  }
  layout = std::move(w);
  return true;
}

}  // namespace worldgen
