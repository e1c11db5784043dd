#!/usr/bin/env python3
"""Refuses includes that break the layering of src/.

The simulation libraries (records, world, net, units, sim, ai) never include
the interface, the screens, the editor, the graphics or sound device or the
shell: where a rule of the simulation touches the interface it calls through
a hook (sim/sim_ui_link.h, world/object_hex.h). The app library and its
graphics and sound sit below the world and include nothing of it or above
it; only the shell (shell/), which starts everything, may. The toolkit
(ui) includes no screen and nothing of the editor: the screens sit above it
and reach it through its hooks.

The simulation is one library in two folders with a direction: sim/ calls
units/, and units/ includes from sim/ only the command and message headers
and the few interfaces named in UNITS_MAY_INCLUDE, each with its reason.

Beyond those layers, a file includes another library's headers only where
its library links that one (src/CMakeLists.txt: a vd_subsystem's DEPS, with
what they link in turn; a library's tests also see its TEST_DEPS). The build
refuses such an include too, but only once it is compiled and with a
missing-file error; this names the library that would have to be linked.
No library links one above it: no DEPS closes a circle, and a lower
library that must reach a higher one calls a hook the higher one installs.
(The build no longer has a vd_cycle_edge; the check still refuses one, so
that bringing it back is a decision seen in review.)

Under src/screens each department (main, frontend, economy, military,
diplomacy, editor) includes from its own folder, from screens/common (what
departments share), from the screens' top (the screen set) and from below,
never from another department: a helper a second department needs moves to
screens/common or the toolkit. The key table (screens/keys) acts on every
screen, as the screen set does, and is no department. What departments
share (screens/common) includes no department at all. CROSS_DEPARTMENT
lists includes that may still cross, each with why; it is empty, and an
entry no longer used is refused too, so it stays that way.

Each rule carries its own allowed and forbidden samples. Before the tree is
checked every rule runs on them, and a forbidden sample that passes or an
allowed one that fails stops the check: a rule that cannot refuse is no
check.

Usage: scripts/check-includes.py [--samples-only] [ROOT]
Exit status: 0 clean, 1 refused includes in the tree, 2 a rule failed its
samples.
"""
import os
import posixpath
import re
import sys
from dataclasses import dataclass, field

import source_checks

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

SIMULATION = ('records', 'world', 'net', 'units', 'sim', 'ai')
INTERFACE = ('ui', 'screens', 'editor', 'app/gfx', 'app/audio', 'shell')
ABOVE_APP = ('world', 'net', 'units', 'sim', 'ai', 'net_game', 'ui', 'screens', 'editor', 'shell')


@dataclass
class Rule:
    name: str
    why: str
    folders: tuple       # folders under src/ the rule applies to, with their subfolders
    forbidden: tuple     # folders under src/ those may not include from
    exempt: tuple = ()   # subfolders of `folders` the rule leaves alone
    allowed: list = field(default_factory=list)    # (file under src/, line) that must pass
    refused: list = field(default_factory=list)    # (file under src/, line) that must be refused
    permitted: dict = field(default_factory=dict)  # headers under `forbidden` that may be included, with why


# What units/ may include from sim/: the commands it counts, posts and runs
# and the messages it sends, and the interfaces below, each with its reason.
UNITS_MAY_INCLUDE = {
    'sim/command_counts.h': 'a unit order counts its two passes as every command does',
    'sim/command_log.h': 'the command log the unit code posts to',
    'sim/command_post.h': 'posting commands',
    'sim/command_executor.h': 'a deployment runs its command on both passes',
    'sim/game_command.h': 'the game command record',
    'sim/unit_command_args.h': 'the unit commands\' arguments',
    'sim/unit_order_args.h': 'the unit order commands\' arguments',
    'sim/relation_command_args.h': 'the relation commands\' arguments',
    'sim/network_command_args.h': 'posting a command as another region',
    'sim/policy_command_args.h': 'the policy commands\' arguments',
    'sim/message_ids.h': 'the message ids',
    'sim/player_messages.h': 'posting messages to the regions',
    'sim/command_test_world.h': 'the tests\' world for running commands',
    'sim/sim_ui_link.h': 'the one interface through which the simulation reaches the screens',
    'sim/relations.h': 'a strike or a mission moves the relations between regions (ResolveRelations, '
                       'ApplyReputationChange), a rule of the diplomacy in sim/',
    'sim/daily/elimination.h': 'destroying a region\'s last unit checks its elimination (CheckElimination)',
    'sim/hex_refresh.h': 'a unit retired on its hex settles the hex\'s slots (UnitHexRefresh), which reads the '
                         'facility costs of sim/',
}

RULES = [
    Rule(
        name='simulation-below-interface',
        why='the simulation reaches the interface through hooks, never by including it',
        folders=SIMULATION,
        forbidden=INTERFACE,
        allowed=[
            ('sim/turn_thread.cpp', '#include "sim/sim_ui_link.h"'),
            ('world/map_file.cpp', '#include "app/log.h"'),
            ('world/text/scenario_def.cpp', '#include "records/player_record.h"'),
            ('net/net_events.cpp', '// #include "ui/screen_manager.h" went with the value passed in'),
            ('net/net_events.cpp', 'struct ScreenManager;  // opaque, as in sim/sim_ui_link.h'),
            ('screens/screen_set.h', '#include "screens/main/bars/title_bar.h"'),
            ('units/unit_step.cpp', '#include "uitext/labels.h"'),
        ],
        refused=[
            ('net/net_events.cpp', '#include "ui/screen_manager.h"'),
            ('sim/daily/elimination.cpp', '#include "screens/main/map/map_view.h"'),
            ('world/text/scenario_def.cpp', '#  include <ui/control.h>'),
            ('units/hex_capture.cpp', '#include "../ui/control.h"'),
            ('records/unit_record.h', '#include "app/gfx/renderer.h"'),
            ('ai/computer_player.cpp', '#include "editor/editor_autosave.h"'),
            ('world/world.h', '\t#include "ui/map_hover.h"'),
            ('sim/game_stop.cpp', '#include "shell/shell.h"'),
        ],
    ),
    Rule(
        name='units-below-sim',
        why='sim/ calls units/; units/ reaches sim/ only through the command and message headers',
        folders=('units',),
        forbidden=('sim',),
        permitted=UNITS_MAY_INCLUDE,
        allowed=[
            ('units/unit_batch.cpp', '#include "sim/command_counts.h"'),
            ('units/step/unit_step.cpp', '#include "sim/message_ids.h"'),
            ('units/combat/unit_fire.cpp', '#include "units/hex_state.h"'),
            ('sim/daily/daily_driver.cpp', '#include "units/step/unit_scheduler.h"'),
            ('units/hex_owner.cpp', '#include "world/capital_hex.h"'),
        ],
        refused=[
            ('units/hex_capture.cpp', '#include "sim/daily/daily_driver.h"'),
            ('units/step/unit_step.cpp', '#include "sim/turn_thread.h"'),
            ('units/unit_batch.cpp', '#include <sim/save_file.h>'),
            ('units/combat/unit_fire.cpp', '#include "../../sim/game_threads.h"'),
        ],
    ),
    Rule(
        name='toolkit-below-screens',
        why='the toolkit knows no screen; the screens install its hooks',
        folders=('ui',),
        forbidden=('screens', 'editor'),
        allowed=[
            ('ui/popups.cpp', '#include "ui/control_tree.h"'),
            ('ui/keyboard.cpp', '#include "sim/sim_ui_link.h"'),
            ('screens/screen_set.h', '#include "screens/frontend/game_menu.h"'),
            ('ui/screen.h', '// the screen set (screens/screen_set.h) holds every screen'),
        ],
        refused=[
            ('ui/key_table.cpp', '#include "screens/frontend/game_menu.h"'),
            ('ui/screen_manager.cpp', '#include "editor/editor_palette.h"'),
            ('ui/mouse.cpp', '#include "screens/screen_set.h"'),
            ('ui/popups.cpp', '#  include <screens/main/bars/title_bar.h>'),
            ('ui/deferred_actions.cpp', '#include "../screens/main/map/map_view.h"'),
        ],
    ),
    Rule(
        name='app-below-world',
        why='app, its graphics and its sound sit below the world; only the shell starts everything',
        folders=('app',),
        forbidden=ABOVE_APP,
        allowed=[
            ('app/gfx/font_file.cpp', '#include "records/le_bytes.h"'),
            ('app/calendar.cpp', '#include "app/calendar.h"'),
            ('app/audio/sound_system.cpp', '#include "platform/audio_device.h"'),
            ('shell/frames.cpp', '#include "world/world.h"'),
            ('app/log.cpp', '#include "worldwide.h"'),
        ],
        refused=[
            ('app/gfx/font_file.cpp', '#include "world/le_bytes.h"'),
            ('app/calendar.cpp', '#include "world/world.h"'),
            ('app/audio/sound_system.cpp', '#include "sim/turn_thread.h"'),
            ('app/settings.cpp', '#include "./../world/text/ui_options.h"'),
            ('app/gfx/renderer.cpp', '#include <ui/screen_manager.h>'),
            ('app/main_window.cpp', '#include "shell/shell.h"'),
            ('app/gfx/renderer.cpp', '#include "net_game/sync_check.h"'),
        ],
    ),
]


# The departments of src/screens, and what they may include besides their own
# folder: what departments share, the screens' top and everything below.
DEPARTMENTS = ('main', 'frontend', 'economy', 'military', 'diplomacy', 'editor')
NOT_DEPARTMENTS = ('common', 'keys')

# Why a department includes another's header: a reason says what the header
# is and where it is to go. No department does now; the samples below keep a
# reason so the rule is still tried with a known crossing.
MAIN_FRAME = ('the main screen (map view, bars, layout, selection, map clicks) that every department\'s '
              'panels dock into and draw over: the frame the panels stand on, not a helper to copy')
CROSS_DEPARTMENT = {}


def department_of(path, folders=DEPARTMENTS):
    """The department (or other folder of `folders`) of src/screens a path
    under src/ lies in, or None."""
    parts = path.split('/')
    if len(parts) >= 3 and parts[0] == 'screens' and parts[1] in folders:
        return parts[1]
    return None


def department_crossing(source, line):
    """(department, header) where the line of the file includes another
    department's header, or None. What departments share includes none."""
    own = department_of(source, DEPARTMENTS + ('common',))
    match = INCLUDE.match(line)
    if own is None or not match:
        return None
    target = included_path(source, match.group(2))
    other = department_of(target)
    if other is None or other == own:
        return None
    return own, target


def department_refusal(source, line, known):
    """Why the line of the file includes another department's header that
    `known` (header -> (departments, reason)) does not list, or None."""
    crossing = department_crossing(source, line)
    if crossing is None:
        return None
    own, target = crossing
    if own in known.get(target, ('', ''))[0].split():
        return None
    return (f'includes {target} of another department: move what both need to screens/common or the '
            f'toolkit (departments-apart)')


DEPARTMENT_SAMPLE_KNOWN = {
    'screens/main/bars/side_bars.h': ('military economy', MAIN_FRAME),
}
DEPARTMENT_ALLOWED = [
    ('screens/military/missile_panels.cpp', '#include "screens/military/inventory/missile_load_lists.h"'),
    ('screens/military/missile_panels.cpp', '#include "screens/common/figure_text.h"'),
    ('screens/frontend/waiting_room_rows.cpp', '#include "screens/screen_set.h"'),
    ('screens/diplomacy/mail_window.cpp', '#include "ui/list_refill.h"'),
    ('screens/keys/key_table.cpp', '#include "screens/economy/product_period.h"'),
    ('screens/common/region_flag.cpp', '#include "world/text/ui_options.h"'),
    ('screens/common/region_flag.cpp', '#include "screens/common/figure_text.h"'),
    ('screens/screen_set.h', '#include "screens/military/orders_screen.h"'),
    ('screens/economy/status/news_viewer_panels.cpp', '#include "screens/main/bars/side_bars.h"'),
    ('screens/main/map/map_view.cpp', '#include "../map_input/selection.h"'),
]
DEPARTMENT_REFUSED = [
    ('screens/diplomacy/mail_window.cpp', '#include "screens/main/bars/side_bars.h"'),
    ('screens/frontend/score_card.cpp', '#include "screens/diplomacy/region_row.h"'),
    ('screens/military/facilities/build_order_panel.cpp', '#include "../../main/panels/class_icon.h"'),
    ('screens/main/panels/unit_panel.cpp', '#  include <screens/military/unit_header.h>'),
    ('screens/editor/editor_stock_units.cpp', '#include "screens/economy/product_period.h"'),
    ('screens/common/region_flag.cpp', '#include "screens/diplomacy/region_row.h"'),
    ('screens/common/figure_text.cpp', '#include "../main/bars/side_bars.h"'),
]


@dataclass
class Library:
    name: str
    folders: list        # under src/: its own, then any FOLDERS it is also built from
    recurse: bool        # owns its sub-folders that no other library claims
    deps: list           # linked publicly: lent to whoever links this one
    test_deps: list = field(default_factory=list)  # linked by its tests only


SUBSYSTEM = re.compile(r'vd_subsystem\(\s*([^\s)]+)\s+([^\s)]+)([^)]*)\)')
CYCLE_EDGE = re.compile(r'vd_cycle_edge\(\s*(\S+)\s+(\S+)')


def without_comments(cmake_text):
    return re.sub(r'#[^\n]*', '', cmake_text)


def parse_libraries(cmake_text):
    """The libraries of src/CMakeLists.txt: each vd_subsystem with its
    folders, the vd_ libraries it links and those its tests link."""
    text = without_comments(cmake_text)
    libraries = {}
    for name, folder, rest in SUBSYSTEM.findall(text):
        words = rest.split()
        lists = {'DEPS': [], 'FOLDERS': [], 'TEST_DEPS': []}
        current = None
        for word in words:
            if word in lists:
                current = word
            elif word != 'RECURSE' and current:
                lists[current].append(word)
        deps = [d for d in lists['DEPS'] if d.startswith('vd_')]
        test_deps = [d for d in lists['TEST_DEPS'] if d.startswith('vd_')]
        libraries[name] = Library(name, [folder] + lists['FOLDERS'], 'RECURSE' in words, deps, test_deps)
    return libraries


def cycle_edges(cmake_text):
    """Every link from a lower library to a higher one in the text: a
    vd_cycle_edge, or a DEPS that closes a circle of libraries. Each is
    refused, since the higher library installs a hook instead. (A library's
    TEST_DEPS are its tests' own and close no circle of the libraries.)"""
    found = [f'vd_cycle_edge({source} {target}): a lower library links a higher one; '
             f'the higher one installs a hook instead'
             for source, target in CYCLE_EDGE.findall(without_comments(cmake_text))]
    libraries = parse_libraries(cmake_text)
    for lib in libraries.values():
        for dep in lib.deps:
            path = dependency_path(libraries, dep, lib.name)
            if path:
                found.append(f'{lib.name} links {dep}, which links it back ({" -> ".join([lib.name] + path)}); '
                             f'the higher one installs a hook instead')
    return found


def dependency_path(libraries, start, goal):
    """The libraries from `start` to `goal` along DEPS, or None."""
    seen = set()

    def walk(name):
        if name == goal:
            return [name]
        if name in seen or name not in libraries:
            return None
        seen.add(name)
        for dep in libraries[name].deps:
            rest = walk(dep)
            if rest:
                return [name] + rest
        return None
    return walk(start)


CYCLE_EDGE_ALLOWED = [
    'vd_subsystem(vd_sim sim DEPS vd_world TEST_DEPS vd_ai)\nvd_subsystem(vd_ai ai DEPS vd_sim)\n',
    '# vd_cycle_edge(vd_net vd_sim "went with the slot table")\nvd_subsystem(vd_net net DEPS vd_app)\n',
    'vd_subsystem(vd_net net DEPS vd_app TEST_DEPS vd_world)\nvd_subsystem(vd_world world DEPS vd_net)\n',
]
CYCLE_EDGE_REFUSED = [
    'vd_cycle_edge(vd_sim vd_ai\n  "the game threads run the computer players")\n',
    'vd_subsystem(vd_net net DEPS vd_app)\nvd_cycle_edge( vd_net vd_sim "the session reads the world")\n',
    'vd_subsystem(vd_net net DEPS vd_app vd_sim)\nvd_subsystem(vd_world world DEPS vd_net)\n'
    'vd_subsystem(vd_sim sim DEPS vd_world)\n',
    'vd_subsystem(vd_ai ai DEPS vd_ai)\n',
]


def library_of(path, libraries):
    """The library compiling the file (a path under src/), or None."""
    best, best_folder = None, ''
    for lib in libraries.values():
        for folder in lib.folders:
            if path.startswith(folder + '/') and len(folder) > len(best_folder):
                best, best_folder = lib, folder
    if best is None:
        return None
    if not best.recurse and '/' in path[len(best_folder) + 1:]:
        return None   # a sub-folder of a library that does not own its sub-folders
    return best


def is_test_file(path):
    """A test or a test's support file: its name holds "test" as a word."""
    return re.search(r'(^|_)tests?(_|\.)', posixpath.basename(path)) is not None


def visible_libraries(lib, libraries, for_tests=False):
    """The libraries whose headers the library's files (or its tests') may
    include."""
    def lent(name, seen):
        if name in seen or name not in libraries:
            return
        seen.add(name)
        for dep in libraries[name].deps:
            lent(dep, seen)
    seen = set()
    lent(lib.name, seen)
    for target in lib.test_deps if for_tests else []:
        lent(target, seen)
    return seen


def link_refusal(libraries, source, line, is_source_file=lambda path: True):
    """Why the line of the file includes a library its own does not link,
    or None. A system header that shares a folder name with a library
    (<net/if.h>) is told apart by whether the file is in src/."""
    match = INCLUDE.match(line)
    if not match:
        return None
    if match.group(1) == '<' and not is_source_file(included_path(source, match.group(2))):
        return None
    own = library_of(source, libraries)
    target = library_of(included_path(source, match.group(2)), libraries)
    if own is None or target is None or target is own:
        return None
    if target.name in visible_libraries(own, libraries, is_test_file(source)):
        return None
    return (f'includes {match.group(2)} of {target.name}, which {own.name} does not link '
            f'(link it in src/CMakeLists.txt if it truly sits below)')


# The link rule's own samples, against a small library table of the same
# shape as the real one: sibling libraries above one toolkit, a library whose
# sub-folders are other libraries, and a library whose tests link one above.
LINK_SAMPLE_CMAKE = """
vd_subsystem(vd_app app)
vd_subsystem(vd_gfx app/gfx DEPS vd_app)
vd_subsystem(vd_world world RECURSE DEPS vd_app)
vd_subsystem(vd_sim sim FOLDERS units RECURSE DEPS vd_world TEST_DEPS vd_ai)
vd_subsystem(vd_ai ai DEPS vd_sim)
vd_subsystem(vd_ui ui DEPS vd_gfx vd_sim)
vd_subsystem(vd_editor editor DEPS vd_ui)   # vd_screens is not linked
vd_subsystem(vd_screens screens RECURSE DEPS vd_ui vd_editor)
"""
LINK_ALLOWED = [
    ('screens/main/map/map_draw.cpp', '#include "editor/editor_palette.h"'),
    ('screens/frontend/game_menu.cpp', '#include "screens/main/map_input/map_selection.h"'),
    ('screens/screen_set.cpp', '#include "app/log.h"'),
    ('world/text/scenario_def.cpp', '#include "world/world.h"'),
    ('sim/game_session_test.cpp', '#include "ai/computer_player.h"'),
    ('sim/game_session_test_support.h', '#include "ai/computer_player_install.h"'),
    ('ai/computer_player_install.cpp', '#include "sim/computer_player_link.h"'),
    ('units/step/unit_step.cpp', '#include "sim/command_post.h"'),
    ('sim/unit_commands.cpp', '#include "units/paths/path_search.h"'),
    ('app/gfx/renderer.cpp', '#include "app/log.h"'),
    ('editor/editor_palette.cpp', '#include "platform/window.h"'),
]
LINK_REFUSED = [
    ('sim/turn_thread.cpp', '#include "ai/computer_player.h"'),
    ('units/unit_contest.cpp', '#include "ai/computer_player.h"'),
    ('world/world_test.cpp', '#include "ai/computer_player.h"'),
    ('editor/editor_palette.cpp', '#include "screens/screen_set.h"'),
    ('ui/popups.cpp', '#include "editor/editor_screens.h"'),
    ('app/log.cpp', '#include "app/gfx/renderer.h"'),
    ('world/world.cpp', '#include "sim/command_post.h"'),
    ('world/world.cpp', '#include "units/paths/path_search.h"'),
    ('screens/frontend/game_menu.cpp', '#include "ai/computer_player.h"'),
    ('ui/keyboard.cpp', '#include "ai/computer_player.h"'),
    ('editor/editor_map_input.cpp', '#include <screens/screen_set.h>'),
]


def under(path, folders):
    return any(path == f or path.startswith(f + '/') for f in folders)


def included_path(source, target):
    """The included file as a path under src/: relative to the including
    file when it starts with a dot, else as written."""
    if target.startswith('.'):
        return posixpath.normpath(posixpath.join(posixpath.dirname(source), target))
    return posixpath.normpath(target)


def refusal(rule, source, line):
    """Why the line of the file (a path under src/) breaks the rule, or None."""
    if not under(source, rule.folders) or under(source, rule.exempt):
        return None
    match = INCLUDE.match(line)
    if not match:
        return None
    target = included_path(source, match.group(2))
    if not under(target, rule.forbidden) or target in rule.permitted:
        return None
    return f'includes {target}: {rule.why} ({rule.name})'


def check_samples():
    failures = []
    for rule in RULES:
        for source, line in rule.allowed:
            if refusal(rule, source, line):
                failures.append(f'{rule.name}: allowed sample refused: {source}: {line.strip()}')
        for source, line in rule.refused:
            if not refusal(rule, source, line):
                failures.append(f'{rule.name}: forbidden sample passed: {source}: {line.strip()}')
    sample_libraries = parse_libraries(LINK_SAMPLE_CMAKE)
    for source, line in LINK_ALLOWED:
        if link_refusal(sample_libraries, source, line):
            failures.append(f'links: allowed sample refused: {source}: {line.strip()}')
    for source, line in LINK_REFUSED:
        if not link_refusal(sample_libraries, source, line):
            failures.append(f'links: forbidden sample passed: {source}: {line.strip()}')
    for source, line in DEPARTMENT_ALLOWED:
        if department_refusal(source, line, DEPARTMENT_SAMPLE_KNOWN):
            failures.append(f'departments-apart: allowed sample refused: {source}: {line.strip()}')
    for source, line in DEPARTMENT_REFUSED:
        if not department_refusal(source, line, DEPARTMENT_SAMPLE_KNOWN):
            failures.append(f'departments-apart: forbidden sample passed: {source}: {line.strip()}')
    for text in CYCLE_EDGE_ALLOWED:
        if cycle_edges(text):
            failures.append(f'cycle edges: allowed sample refused: {text.strip()}')
    for text in CYCLE_EDGE_REFUSED:
        if not cycle_edges(text):
            failures.append(f'cycle edges: forbidden sample passed: {text.strip()}')
    return failures


def check_tree(root):
    src = os.path.join(root, 'src')
    with open(os.path.join(src, 'CMakeLists.txt'), encoding='utf-8') as f:
        cmake_text = f.read()
    libraries = parse_libraries(cmake_text)
    problems = [f'src/CMakeLists.txt: {why}' for why in cycle_edges(cmake_text)]
    crossings_used = set()
    for path, full in source_checks.source_files(src, ('',)):
        with open(full, encoding='utf-8', errors='replace') as f:
            for number, line in enumerate(f, 1):
                crossing = department_crossing(path, line)
                if crossing:
                    crossings_used.add(crossing)
                why = department_refusal(path, line, CROSS_DEPARTMENT)
                if why:
                    problems.append(f'src/{path}:{number}: {why}')
                for rule in RULES:
                    why = refusal(rule, path, line)
                    if why:
                        problems.append(f'src/{path}:{number}: {why}')
                why = link_refusal(libraries, path, line, lambda p: os.path.isfile(os.path.join(src, p)))
                if why:
                    problems.append(f'src/{path}:{number}: {why}')
    for target, (departments, _) in CROSS_DEPARTMENT.items():
        for department in departments.split():
            if (department, target) not in crossings_used:
                problems.append(f'scripts/check-includes.py: CROSS_DEPARTMENT lets {department} include {target}, '
                                f'which it no longer does: take it off the list (departments-apart)')
    return problems


if __name__ == '__main__':
    sys.exit(source_checks.run(sys.argv, 'check-includes', check_samples, check_tree,
                               'include(s) break the layering'))
