#!/usr/bin/env python3
"""Refuses screen code that names the world outside the simulation lock.

The turn thread changes the world under the simulation lock while the
window thread draws and answers clicks; a screen that reads the world
without the lock reads it half changed. Screen code takes the lock with the
one guard the game has for it,

    plat::CriticalSectionLock lock(g_simulationLock);

at the top of the walk, and every use of g_world in a screen file (src/screens
and src/ui, their tests aside) lies inside a block where that guard was
taken before it. The lock is re-entrant, so a helper called by a locked walk
takes the guard again at no risk. A lambda's body runs later, so a guard
taken around the lambda does not cover it.

Each rule carries its own allowed and refused samples. Before the tree is
checked every rule runs on them, and a refused sample that passes or an
allowed one that is refused stops the check: a rule that cannot refuse is no
check.

Usage: scripts/check-world-locks.py [--samples-only] [ROOT]
Exit status: 0 clean, 1 refused lines in the tree, 2 a rule failed its
samples.
"""
import re
import sys
from dataclasses import dataclass, field
from typing import Callable

import source_checks

FOLDERS = ('src/screens', 'src/ui')

GUARD = re.compile(r'\bplat::CriticalSectionLock\s+\w+\s*[({]\s*g_simulationLock\s*[)}]\s*;')
WORLD = re.compile(r'\bg_world\b')
# What comes just before a lambda body's brace: the capture list, the
# parameters, specifiers and a return type.
LAMBDA_HEAD = re.compile(r'\]\s*(?:\([^()]*(?:\([^()]*\)[^()]*)*\))?\s*(?:mutable\s*|constexpr\s*|noexcept\s*)*'
                         r'(?:->\s*[\w:<>,\s*&]+?)?\s*$')


@dataclass
class Rule:
    name: str
    why: str
    # (file under the root, its text) -> the numbers of the refused lines
    find: Callable[[str, str], list]
    allowed: list = field(default_factory=list)   # (file under the root, text) that must pass
    refused: list = field(default_factory=list)   # (file under the root, text) that must be refused


def is_screen_file(path):
    if not path.startswith(FOLDERS):
        return False
    name = path.rsplit('/', 1)[-1]
    return not re.search(r'_test(?:_\w+)?\.(?:cpp|h)$|_tests?\.h$', name)


def blank_comments_and_strings(text):
    """The text with comments, string and character literals blanked to
    spaces, lines kept where they were."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            end = text.find('\n', i)
            end = n if end < 0 else end
            out.append(' ' * (end - i))
            i = end
        elif text.startswith('/*', i):
            end = text.find('*/', i + 2)
            end = n if end < 0 else end + 2
            out.append(re.sub(r'[^\n]', ' ', text[i:end]))
            i = end
        elif c == 'R' and text.startswith('R"', i):
            match = re.match(r'R"([^(\s]*)\(', text[i:])
            close = ')' + (match.group(1) if match else '') + '"'
            end = text.find(close, i)
            end = n if end < 0 else end + len(close)
            out.append(re.sub(r'[^\n]', ' ', text[i:end]))
            i = end
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c and text[j] != '\n':
                j += 2 if text[j] == '\\' else 1
            out.append(' ' * (min(j + 1, n) - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return ''.join(out)


def unlocked_world_lines(path, text):
    # Test code (a test file, or a fixture that brings in the test
    # framework) sets the world up before any thread runs.
    if not is_screen_file(path) or re.search(r'#include\s*<gtest/', text):
        return []
    code = blank_comments_and_strings(text)
    events = []
    for match in re.finditer(r'[{}]', code):
        events.append((match.start(), match.group()))
    for match in GUARD.finditer(code):
        events.append((match.start(), 'guard'))
    for match in WORLD.finditer(code):
        events.append((match.start(), 'world'))
    events.sort()

    refused = set()
    # One entry a block: whether a guard covers it from here on.
    scopes = [False]
    for at, what in events:
        if what == '{':
            lambda_body = bool(LAMBDA_HEAD.search(code[max(0, at - 300):at]))
            scopes.append(False if lambda_body else scopes[-1])
        elif what == '}':
            if len(scopes) > 1:
                scopes.pop()
        elif what == 'guard':
            scopes[-1] = True
        elif not scopes[-1]:
            refused.add(code.count('\n', 0, at) + 1)
    return sorted(refused)


UNLOCKED_WORLD = Rule(
    name='screen-world-unlocked',
    why='screen code names g_world outside the simulation lock; take '
        'plat::CriticalSectionLock lock(g_simulationLock) at the top of the walk',
    find=unlocked_world_lines,
    allowed=[
        ('src/screens/main/bars/title_bar.cpp',
         'void Refresh(Bar& bar) {\n'
         '  plat::CriticalSectionLock lock(g_simulationLock);\n'
         '  const GameState& state = g_world.gameState;\n'
         '  if (state.currentDay > 0) {\n    bar.day = g_world.gameState.currentDay;\n  }\n}'),
        ('src/screens/economy/policy/policy_panel.cpp',
         '// Reads g_world.players under the caller\'s lock.\n'
         'const char* kTitle = "g_world";\n'
         'int Width(int w) { return w; }'),
        ('src/screens/common/units/unit_header.cpp',
         'void Fill(Panel& p) {\n'
         '  if (!p.open) return;\n'
         '  plat::CriticalSectionLock walking(g_simulationLock);\n'
         '  for (const UnitRecord& u : g_world.units) p.Add(u);\n}'),
        ('src/screens/main/map/map_view.cpp',
         'void Hook() {\n  plat::CriticalSectionLock lock(g_simulationLock);\n'
         '  Each([](int p) { Use(p); });\n  Use(g_world.mapWidth);\n}'),
        ('src/screens/main/map/map_view_test.cpp', 'TEST(MapView, Draws) { g_world.mapWidth = 4; }'),
        ('src/sim/turn_thread.cpp', 'void Step() { g_world.gameState.currentDay += 1; }'),
        ('src/screens/common/local_region_fixture.h',
         '#include <gtest/gtest.h>\nclass LocalTest : public ::testing::Test {\n'
         '  void SetUp() override { g_world.gameState.localPlayer = 2; }\n};'),
    ],
    refused=[
        ('src/screens/main/bars/title_bar.cpp',
         'void Refresh(Bar& bar) {\n  bar.day = g_world.gameState.currentDay;\n}'),
        ('src/screens/diplomacy/deals/deal_editor.cpp',
         'void Refresh(Editor& e) {\n'
         '  {\n    plat::CriticalSectionLock lock(g_simulationLock);\n    e.count = 1;\n  }\n'
         '  for (const Offer& o : g_world.offers) e.Add(o);\n}'),
        ('src/screens/economy/social/social_spending_panels.cpp',
         'void OnControlChange(Panel& p) {\n'
         '  const auto& policy = g_world.localPlayerRecord->displayPolicy;\n'
         '  plat::CriticalSectionLock lock(g_simulationLock);\n  p.Set(policy);\n}'),
        ('src/screens/main/map/map_view.cpp',
         'void Hook() {\n  plat::CriticalSectionLock lock(g_simulationLock);\n'
         '  OnClick([](int x) {\n    Hover(g_world, x);\n  });\n}'),
        ('src/screens/main/map/map_view.cpp',
         'void Hook() {\n  plat::CriticalSectionLock lock(g_simulationLock);\n'
         '  OnClick([&](int x) -> int { return g_world.mapWidth + x; });\n}'),
        ('src/ui/panel_helpers.cpp', 'World& world = g_world;'),
        ('src/screens/diplomacy/areas/hex_area.h',
         'inline int Width() { return g_world.mapWidth; }'),
        ('src/screens/main/map/map_units.cpp',
         'void Draw() {\n  std::lock_guard<plat::CriticalSection> lock(g_otherLock);\n'
         '  Use(g_world.units);\n}'),
    ],
)


RULES = [
    UNLOCKED_WORLD,
]


def check_samples():
    failures = []
    for rule in RULES:
        for path, text in rule.allowed:
            if rule.find(path, text):
                failures.append(f'{rule.name}: allowed sample refused: {path}: {text.splitlines()[0].strip()}')
        for path, text in rule.refused:
            if not rule.find(path, text):
                failures.append(f'{rule.name}: forbidden sample passed: {path}: {text.splitlines()[0].strip()}')
    return failures


def check_tree(root):
    problems = []
    for path, full in source_checks.source_files(root, FOLDERS):
        with open(full, encoding='utf-8', errors='replace') as f:
            text = f.read()
        for rule in RULES:
            for number in rule.find(path, text):
                problems.append(f'{path}:{number}: {rule.why} ({rule.name})')
    return problems


if __name__ == '__main__':
    sys.exit(source_checks.run(sys.argv, 'check-world-locks', check_samples, check_tree,
                               'uses of g_world outside the simulation lock in screen code'))
