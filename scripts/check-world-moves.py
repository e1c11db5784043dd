#!/usr/bin/env python3
"""Checks that a year of the sample scenario keeps moving.

usage: scripts/check-world-moves.py BUILD_DIR [--days N] [--runs N]
       scripts/check-world-moves.py --self-test

Runs BUILD_DIR/game/veldrane-headless for a year of Channel (twice by
default: both runs must print the same day lines) and checks the figures of
the day lines: days with shots after day 90, hexes taken after day 90, wars
declared or ended after day 90, the reserve against the live units on the
last day, the growth of the live units from day 30 to the last day and the
stock weapons the computer regions finished in the year.

Each check has the bound the game aims at and the bound the rules reach
today with the shipped sample data; the script fails below the reached
bound and names what holds the rest back, so that a change that loses
ground fails and one that gains ground shows.
"""
import argparse
import os
import subprocess
import sys

LATE = 90  # "after day 90"


def parse(lines):
    """Day number -> {token: value} of the day lines; the totals line's
    figures under day 0."""
    days = {}
    for line in lines:
        t = line.split()
        if t and t[0] == "totals":
            days[0] = {t[i]: t[i + 1] for i in range(1, len(t) - 1, 2)}
            continue
        if not t or t[0] != "day" or len(t) < 3:
            continue
        fields = {}
        i = 3
        while i + 1 < len(t) and t[i] != "sync":
            fields[t[i]] = t[i + 1]
            i += 2
        days[int(t[1])] = fields
    return days


def number(days, day, token):
    return int(days.get(day, {}).get(token, "0"))


def shot_days_late(days):
    return sum(1 for d, f in days.items() if d > LATE and int(f.get("fired", "0")) > 0)


def shot_days_early(days):
    return sum(1 for d, f in days.items() if 0 < d <= LATE and int(f.get("fired", "0")) > 0)


def wars_in_year(days):
    return int(days.get(0, {}).get("wars", "0"))


def taken_in_year(days):
    return sum(int(f.get("taken", "0")) for d, f in days.items() if d > 0)


def taken_late(days):
    return sum(int(f.get("taken", "0")) for d, f in days.items() if d > LATE)


def regions_changed_late(days):
    """Days after day 90 whose region count differs from the day before:
    the day line's only trace of a war ended by a surrender."""
    changed = 0
    for d in sorted(days):
        if d > LATE and d - 1 in days and days[d].get("regions") != days[d - 1].get("regions"):
            changed += 1
    return changed


def stock_in_year(days):
    return int(days.get(0, {}).get("stock", "0"))


def reserve_share_percent(days):
    last = max(days)
    units = number(days, last, "units")
    return 100 * number(days, last, "reserve") // units if units else 100


def growth_percent(days):
    first = number(days, 30, "units")
    return 100 * number(days, max(days), "units") // first if first else 0


# name, figure, "min", "max" or "info", the game's aim, what the rules reach
# today, and what holds the rest back. An "info" figure is printed and not
# checked: the rules as built keep it at 0 with the sample data, so its
# trace is checked through another figure (see the line it names).
CHECKS = [
    ("days with shots after day 90", shot_days_late, "min", 30, 15,
     "computer regions have no step that sends units toward an enemy: units push on"
     " only next to enemy land and are sent only to calls (defence, combat, capture), so"
     " a war is fought only where its fronts touch"),
    ("hexes taken after day 90", taken_late, "min", 1, 385, "as above"),
    ("surrenders after day 90", regions_changed_late, "info", 1, 0,
     "the later wars take border hexes but reach no capital, so nobody gives in"
     " (see the hexes-after-day-90 check)"),
    ("days with shots on days 1-90", shot_days_early, "min", 20, 18,
     "the war of regions 5 and 6, whose units start in contact"),
    ("hexes taken in the year", taken_in_year, "min", 424, 905, "region 6 falls with its capital"),
    ("wars declared in the year", wars_in_year, "min", 3, 6,
     "declarations weigh the regions' force counts, taken each day"),
    ("stock weapons the computer regions finished", stock_in_year, "min", 1, 40,
     "only the two computer regions with a silo build them, and only as far as its room goes"),
    ("reserve share of live units on the last day (%)", reserve_share_percent, "max", 49, 32,
     "the force budget grows only by recruitment, a few units a region a month"),
    ("live units on the last day against day 30 (%)", growth_percent, "max", 199, 206,
     "production is bound by the bases' production slots and the classes' build work, and"
     " aircraft short of fuel fly home instead of being lost"),
]


def run_checks(days, out=sys.stdout):
    """Prints each check and returns the number that fall below what the rules reach."""
    failed = 0
    if 30 not in days or len(days) < LATE + 2:
        print("check-world-moves: too few day lines (%d)" % len(days), file=out)
        return 1
    for name, figure, kind, aim, reached, held in CHECKS:
        value = figure(days)
        if kind == "info":
            print("%-50s %6d  aim >= %d, not checked  (%s)" % (name, value, aim, held), file=out)
            continue
        ok_reached = value >= reached if kind == "min" else value <= reached
        ok_aim = value >= aim if kind == "min" else value <= aim
        mark = "FAILED" if not ok_reached else ("ok" if ok_aim else "held")
        bound = ">=" if kind == "min" else "<="
        line = "%-50s %6d  aim %s %d, reached %s %d  %s" % (name, value, bound, aim, bound, reached, mark)
        if mark == "held":
            line += "  (" + held + ")"
        print(line, file=out)
        failed += 0 if ok_reached else 1
    return failed


def run_runner(build, days):
    game = os.path.join(os.path.abspath(build), "game")
    runner = os.path.join(game, "veldrane-headless")
    if not os.access(runner, os.X_OK):
        sys.exit("check-world-moves: no runner at %s" % runner)
    done = subprocess.run([runner, "--days", str(days), "Channel"], cwd=game, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True, check=False)
    if done.returncode != 0:
        sys.exit("check-world-moves: the runner failed (%d)" % done.returncode)
    return [l for l in done.stdout.splitlines() if l.startswith("day ") or l.startswith("totals ")]


def sample(day_count, fired_after=40, taken_after=40, units30=1000, units_last=1500, reserve_last=400,
           regions_drop_day=0, wars=6, early_shot_days=LATE - 1, taken_early=1000, stock=60):
    """Day lines of a made-up run: shots and 15 hexes taken every day after
    day 90 up to the given counts, one region fewer from regions_drop_day on."""
    lines = []
    for d in range(2, day_count + 2):
        fired = 5 if d <= early_shot_days + 1 or LATE < d <= LATE + fired_after else 0
        taken = 15 if LATE < d <= LATE + taken_after else (taken_early if d == 2 else 0)
        units = units30 if d <= 30 else units30 + (units_last - units30) * (d - 30) // (day_count + 1 - 30)
        reserve = reserve_last if d == day_count + 1 else 0
        regions = 8 if regions_drop_day and d >= regions_drop_day else 9
        lines.append("day %d 2010-03-01 regions %d hexes 1 units %d fired %d taken %d reserve %d sync 0 state 0"
                     % (d, regions, units, fired, taken, reserve))
    lines.append("totals research 8 bought 0 sold 0 built 0 answered 0 wars %d taken %d stock %d"
                 % (wars, taken_early, stock))
    return lines


def self_test():
    """The checks against made-up runs: one that meets every aim, and one
    falling short of what the rules reach in each figure in turn."""
    sink = open(os.devnull, "w")
    good = parse(sample(365, regions_drop_day=200))
    cases = [
        ("meets every aim", good, 0),
        ("every unit in the reserve", parse(sample(365, reserve_last=1500)), 1),
        ("fewer days of fighting late", parse(sample(365, fired_after=10)), 1),
        ("fewer hexes taken late", parse(sample(365, taken_after=10)), 1),
        ("reserve above what the rules reach", parse(sample(365, reserve_last=1300)), 1),
        ("units grow past what the rules reach", parse(sample(365, units_last=3400)), 1),
        ("too few days", parse(sample(60)), 1),
        ("fewer wars than the force counts give", parse(sample(365, wars=2)), 1),
        ("fewer days of fighting early on", parse(sample(365, early_shot_days=10)), 1),
        ("fewer hexes taken", parse(sample(365, taken_early=100)), 1),
        ("no stock weapon finished", parse(sample(365, stock=0)), 1),
    ]
    bad = 0
    for name, days, want in cases:
        got = run_checks(days, sink)
        if got != want:
            print("self-test: %s: %d failed checks, expected %d" % (name, got, want))
            bad += 1
    # Every aim is met by the good sample, and missed by a run with nothing late.
    quiet = parse(sample(365, fired_after=0, taken_after=0))
    if any((f(good) < aim) if k != "max" else (f(good) > aim) for _, f, k, aim, _, _ in CHECKS):
        print("self-test: the good sample misses an aim")
        bad += 1
    if shot_days_late(quiet) or taken_late(quiet) or regions_changed_late(quiet):
        print("self-test: a quiet run counts late fighting")
        bad += 1
    print("self-test: %s" % ("ok" if bad == 0 else "%d failed" % bad))
    return 1 if bad else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("build", nargs="?")
    parser.add_argument("--days", type=int, default=365)
    parser.add_argument("--runs", type=int, default=2)
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    if not args.build:
        parser.error("BUILD_DIR is needed")
    runs = [run_runner(args.build, args.days) for _ in range(max(1, args.runs))]
    for other in runs[1:]:
        if other != runs[0]:
            print("check-world-moves: two runs printed different day lines")
            return 1
    if len([l for l in runs[0] if l.startswith("day ")]) != args.days:
        print("check-world-moves: %d day lines for %d days" % (len(runs[0]), args.days))
        return 1
    failed = run_checks(parse(runs[0]))
    print("check-world-moves: %s" % ("ok" if failed == 0 else "%d checks below what the rules reach" % failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
