#!/usr/bin/env python3
"""Refuses screen code that names the world outside the simulation lock.

The turn thread changes the world under the simulation lock while the
window thread draws and answers clicks; a screen that reads the world
without the lock reads it half changed. Screen code takes the lock with the
one guard the game has for it,

    plat::CriticalSectionLock lock(g_simulationLock);

at the top of the walk, and every use of the world in code that runs on the window thread (src/screens,
src/ui, src/shell, src/net_game and src/editor, their tests aside) lies
inside a block where that guard was taken before it. The world is followed
through the names bound to it (`World& w = g_world`, a lambda's
`[&w = g_world]`); a function's World parameter is the caller's to lock,
where it names the world; and no screen, panel or file-scope variable keeps
a World pointer or reference across frames. A line may say why it needs no
lock with a `// world-lock: REASON` comment (start-up, shut-down, a
dispatcher whose cases lock for themselves). The lock is re-entrant, so a helper called by a locked walk
takes the guard again at no risk. A lambda's body runs later, so a guard
taken around the lambda does not cover it.

Nothing goes to the peers while the simulation lock is held: every send
in src/ goes through the network's outbox (src/net/held_sends.cpp), which
holds a send made under the lock until the lock is let go, so no other
code calls a peer's SendTo.

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

# The folders whose code runs on the window thread, beside the turn thread,
# the computer players and the network's threads.
FOLDERS = ('src/screens', 'src/ui', 'src/shell', 'src/net_game', 'src/editor')

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
    folders: tuple = FOLDERS                       # where in the tree it looks


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


# A name bound to the world: `World& w = g_world`, `const auto& w = g_world`,
# `World* w = &g_world`, or a lambda's `[&w = g_world]`.
ALIAS = re.compile(r'(?:\b(?:const\s+)?(?:World|auto)\s*[&*]\s*(\w+)\s*[={]\s*&?\s*g_world\b)'
                   r'|(?:[\[,]\s*&?\s*(\w+)\s*=\s*&?\s*g_world\b)')
# A function parameter that is the world: the caller names g_world (or its
# own alias) where it calls, and that use is checked there.
PARAM = re.compile(r'\b(?:const\s+)?World\s*[&*]\s*(\w+)\s*(?=[,)=])')
# A member or a variable at file scope that keeps the world across frames.
KEPT = re.compile(r'\b(?:const\s+)?World\s*[&*]\s*(?:const\s+)?\w+\s*(?:=[^;{}]*|\{[^;{}]*\})?;')
# Where a kept reference lasts beyond one walk: file scope, a namespace, or
# a class that derives from another (screens, panels, controls). A plain
# aggregate handed down one walk (a visitor's context) lasts only as long
# as the walk.
TYPE_HEAD = re.compile(r'(?:\b(?:class|struct)\s+\w+(?:\s+final)?\s*:[^;{}()]*|\bnamespace\b[^;{}()]*'
                       r'|\bextern\s+"C"\s*)$')
FUNCTION_HEAD = re.compile(r'\)\s*(?:const\s*)?(?:noexcept\s*)?(?:override\s*)?(?:final\s*)?'
                           r'(?:->\s*[\w:<>,\s*&]+?)?\s*(?::[^;{}]*)?$')


def is_test_code(path, text):
    # Test code (a test file, or a fixture that brings in the test
    # framework) sets the world up before any thread runs.
    return not is_screen_file(path) or re.search(r'#include\s*<gtest/', text)


EXCUSED = re.compile(r'//\s*world-lock:\s*\w')


def parameter_list(head):
    """The last parenthesised list in a block's head: a function's or a
    lambda's parameters."""
    close = head.rfind(')')
    if close < 0:
        return ''
    depth = 0
    for i in range(close, -1, -1):
        if head[i] == ')':
            depth += 1
        elif head[i] == '(':
            depth -= 1
            if depth == 0:
                return head[i:close + 1]
    return ''


def unlocked_world_lines(path, text):
    if is_test_code(path, text):
        return []
    code = blank_comments_and_strings(text)
    events = []
    for match in re.finditer(r'[{}]', code):
        events.append((match.start(), 0, match.group(), None))
    for match in GUARD.finditer(code):
        events.append((match.start(), 1, 'guard', None))
    for match in WORLD.finditer(code):
        events.append((match.start(), 2, 'world', None))
    for match in ALIAS.finditer(code):
        events.append((match.end(), 3, 'alias', match.group(1) or match.group(2)))
    events.sort()

    refused = set()

    def line_of(at):
        return code.count('\n', 0, at) + 1

    # One entry a block: whether a guard covers it, the names bound to the
    # world in it, and the world parameters it takes if it is a function's
    # body. A lambda's body runs later, so neither a guard around it nor
    # the enclosing function's parameters cover it.
    scopes = [{'guarded': False, 'aliases': set(), 'params': set(), 'lambda': False}]

    def alias_names():
        names = set()
        for scope in scopes:
            names |= scope['aliases']
        return names

    def parameter_covers(name):
        # A callee's lambdas mostly run before it returns (a visitor, a
        # predicate), so the parameter covers them too; a stored one is
        # caught where the caller names the world.
        return any(name in scope['params'] for scope in scopes)

    last = 0
    def alias_uses(upto):
        # Uses of the aliases between the last event and this one.
        names = alias_names() | {n for sc in scopes for n in sc['params']}
        if not names:
            return
        segment = code[last:upto]
        for name in names:
            for m in re.finditer(r'(?<![\w.>:])' + re.escape(name) + r'\b', segment):
                at = last + m.start()
                if scopes[-1]['guarded']:
                    continue
                if name in alias_names() or not parameter_covers(name):
                    refused.add(line_of(at))

    for at, _, what, name in events:
        alias_uses(at)
        last = at + (len(name) if what == 'alias' else 1 if what in '{}' else 0)
        if what == '{':
            head = code[max(0, at - 300):at]
            is_lambda = bool(LAMBDA_HEAD.search(head))
            params = set()
            if is_lambda:
                params = set(PARAM.findall(head[head.rfind(']'):]))
            elif FUNCTION_HEAD.search(head):
                params = set(PARAM.findall(parameter_list(head)))
            scopes.append({'guarded': False if is_lambda else scopes[-1]['guarded'], 'aliases': set(),
                           'params': params, 'lambda': is_lambda})
        elif what == '}':
            if len(scopes) > 1:
                scopes.pop()
        elif what == 'guard':
            scopes[-1]['guarded'] = True
        elif what == 'alias':
            scopes[-1]['aliases'].add(name)
        elif not scopes[-1]['guarded']:
            refused.add(line_of(at))
    alias_uses(len(code))

    # Kept references: at file scope or in a class, not in a function.
    stack = [True]
    marks = sorted([(m.start(), m.group()) for m in re.finditer(r'[{}]', code)] +
                   [(m.start(), 'kept') for m in KEPT.finditer(code)])
    for at, what in marks:
        if what == '{':
            head = code[max(0, at - 300):at]
            stack.append(bool(TYPE_HEAD.search(head)) and stack[-1])
        elif what == '}':
            if len(stack) > 1:
                stack.pop()
        elif stack[-1]:
            refused.add(line_of(at))
    # A line that says why it needs no lock: start-up and shut-down, or a
    # dispatcher whose cases each lock what they walk.
    lines = text.split('\n')
    return sorted(n for n in refused if not EXCUSED.search(lines[n - 1]))


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
        ('src/screens/common/units/unit_rows.cpp',
         'void Fill(Panel& p, const World& world) {\n  for (const UnitRecord& u : world.units) p.Add(u);\n}\n'
         'void Each(const World& world) {\n  Later([](const World& world) { Use(world.units); });\n}'),
        ('src/editor/editor_file_menu.cpp',
         'void Save() {\n  plat::CriticalSectionLock lock(g_simulationLock);\n  World& w = g_world;\n'
         '  if (w.mapWidth > 0) {\n    Write(w);\n  }\n}'),
        ('src/shell/frames.cpp',
         'struct Frame {\n  int width;\n  void Draw(World& world);\n};\nbool Idle(int mode) { return mode == 0; }'),
        ('src/screens/economy/research/tech_popup.cpp',
         'struct Walk {\n  const World& w;\n  int player;\n};\nvoid Fill(const World& world) { Walk{world, 1}; }'),
        ('src/shell/winmain.cpp',
         'void Init() {\n  WorldInitLocks(g_world);  // world-lock: before any other thread starts\n}'),
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
        ('src/screens/main/map/map_units.cpp',
         'void Draw() {\n  World* w = nullptr;\n  {\n    plat::CriticalSectionLock lock(g_simulationLock);\n'
         '    w = &g_world;\n  }\n  Use(g_world.units);\n}'),
        ('src/screens/military/units/unit_list.cpp',
         'void Fill(List& l) {\n  plat::CriticalSectionLock lock(g_simulationLock);\n  const World& w = g_world;\n'
         '  l.OnTimer([&] { Use(w.units); });\n}'),
        ('src/screens/military/units/unit_list.cpp',
         'void Fill(List& l) {\n  plat::CriticalSectionLock lock(g_simulationLock);\n'
         '  l.OnTimer([&w = g_world] { Use(w.units); });\n}'),
        ('src/ui/panel.h', 'class Panel : public Screen {\n public:\n  void Draw();\n private:\n  World* world_ = nullptr;\n};'),
        ('src/screens/main/bars/title_bar.cpp', 'namespace {\nconst World& kWorld = g_world;\n}'),
        ('src/net_game/net_events.cpp', 'void OnTurnEnd(int code) {\n  if (code == 1) Upkeep(g_world);\n}'),
        ('src/shell/frames.cpp', 'void Idle() {\n  Draw(g_world.mapWidth);\n}'),
        ('src/shell/frames.cpp', 'void Idle() {\n  Draw(g_world.mapWidth);  // world-lock:\n}'),
        ('src/editor/editor_map_input.cpp', 'void Paint(int x) {\n  g_world.cells[x].word = 0;\n}'),
    ],
)


# The one place that hands messages to a peer; the platform's peer and the
# tests' bare peers aside.
OUTBOX = 'src/net/held_sends.cpp'
PEER_SEND = re.compile(r'(?:->|\.)\s*SendTo\s*\(')


def direct_peer_sends(path, text):
    if path == OUTBOX or path.startswith('src/platform/') or re.search(r'_test\w*\.(?:cpp|h)$|_tests?\.h$', path):
        return []
    if re.search(r'#include\s*<gtest/', text):
        return []
    code = blank_comments_and_strings(text)
    return sorted({code.count('\n', 0, m.start()) + 1 for m in PEER_SEND.finditer(code)})


DIRECT_PEER_SEND = Rule(
    name='peer-send-outside-outbox',
    why='a message goes to a peer past the outbox, which holds sends made under the simulation lock; '
        'call NetPeerSend (net/held_sends.h)',
    find=direct_peer_sends,
    folders=('src',),
    allowed=[
        ('src/net/held_sends.cpp', 'int32_t Go(NetSession& s) { return s.peer->SendTo(0, d, n, 0); }'),
        ('src/net/net_slots.cpp', 'int32_t Send(NetSession& s) {\n  // not peer->SendTo(...)\n'
         '  return NetPeerSend(s, 0, d, n, 0);\n}'),
        ('src/net/net_test_support.h', 'void Send() { peer->SendTo(to, m.data(), m.size(), 0); }'),
        ('src/platform/peer.cpp', 'Status Peer::SendTo(PeerId t, const void* d, size_t n, uint32_t f) { return kOk; }'),
    ],
    refused=[
        ('src/net/net_slots.cpp', 'int32_t Send(NetSession& s) {\n  return s.peer->SendTo(t, d, n, 0);\n}'),
        ('src/net_game/sync_check.cpp', 'void Tell(plat::Peer& p) { p.SendTo(0, d, n, 0); }'),
    ],
)


RULES = [
    UNLOCKED_WORLD,
    DIRECT_PEER_SEND,
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
    for rule in RULES:
        for path, full in source_checks.source_files(root, rule.folders):
            with open(full, encoding='utf-8', errors='replace') as f:
                text = f.read()
            for number in rule.find(path, text):
                problems.append(f'{path}:{number}: {rule.why} ({rule.name})')
    return problems


if __name__ == '__main__':
    sys.exit(source_checks.run(sys.argv, 'check-world-locks', check_samples, check_tree,
                               'uses of g_world outside the simulation lock in screen code, or sends past the outbox'))
