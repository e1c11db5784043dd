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

Beyond those layers, a file includes another library's headers only where
its library links that one (src/CMakeLists.txt: a vd_subsystem's DEPS, with
what they link in turn, and its own vd_cycle_edge targets, which are linked
privately and so lend their headers to no one else). The build refuses such
an include too, but only once it is compiled and with a missing-file error;
this names the library that would have to be linked.

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


@dataclass
class Library:
    name: str
    folders: list        # under src/: its own, then any FOLDERS it is also built from
    recurse: bool        # owns its sub-folders that no other library claims
    deps: list           # linked publicly: lent to whoever links this one
    private: list = field(default_factory=list)   # cycle edges: for itself only


SUBSYSTEM = re.compile(r'vd_subsystem\(\s*([^\s)]+)\s+([^\s)]+)([^)]*)\)')
CYCLE_EDGE = re.compile(r'vd_cycle_edge\(\s*(\S+)\s+(\S+)')


def parse_libraries(cmake_text):
    """The libraries of src/CMakeLists.txt: each vd_subsystem with its
    folders and the vd_ libraries it links, and each cycle edge."""
    text = re.sub(r'#[^\n]*', '', cmake_text)
    libraries = {}
    for name, folder, rest in SUBSYSTEM.findall(text):
        words = rest.split()
        lists = {'DEPS': [], 'FOLDERS': []}
        current = None
        for word in words:
            if word in lists:
                current = word
            elif word != 'RECURSE' and current:
                lists[current].append(word)
        deps = [d for d in lists['DEPS'] if d.startswith('vd_')]
        libraries[name] = Library(name, [folder] + lists['FOLDERS'], 'RECURSE' in words, deps)
    for source, target in CYCLE_EDGE.findall(text):
        if source in libraries:
            libraries[source].private.append(target)
    return libraries


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


def visible_libraries(lib, libraries):
    """The libraries whose headers the library's files may include."""
    def lent(name, seen):
        if name in seen or name not in libraries:
            return
        seen.add(name)
        for dep in libraries[name].deps:
            lent(dep, seen)
    seen = set()
    lent(lib.name, seen)
    for target in lib.private:
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
    if target.name in visible_libraries(own, libraries):
        return None
    return (f'includes {match.group(2)} of {target.name}, which {own.name} does not link '
            f'(link it in src/CMakeLists.txt if it truly sits below)')


# The link rule's own samples, against a small library table of the same
# shape as the real one: sibling libraries above one toolkit, a library whose
# sub-folders are other libraries, and a private cycle edge.
LINK_SAMPLE_CMAKE = """
vd_subsystem(vd_app app)
vd_subsystem(vd_gfx app/gfx DEPS vd_app)
vd_subsystem(vd_world world RECURSE DEPS vd_app)
vd_subsystem(vd_sim sim FOLDERS units RECURSE DEPS vd_world)
vd_subsystem(vd_ai ai DEPS vd_sim)
vd_cycle_edge(vd_sim vd_ai "the turn thread runs the computer players")
vd_subsystem(vd_ui ui DEPS vd_gfx vd_sim)
vd_subsystem(vd_editor editor DEPS vd_ui)   # vd_screens is not linked
vd_subsystem(vd_screens screens RECURSE DEPS vd_ui vd_editor)
"""
LINK_ALLOWED = [
    ('screens/main/map/map_draw.cpp', '#include "editor/editor_palette.h"'),
    ('screens/frontend/game_menu.cpp', '#include "screens/main/map_input/map_selection.h"'),
    ('screens/screen_set.cpp', '#include "app/log.h"'),
    ('world/text/scenario_def.cpp', '#include "world/world.h"'),
    ('sim/turn_thread.cpp', '#include "ai/computer_player.h"'),
    ('units/step/unit_step.cpp', '#include "sim/command_post.h"'),
    ('sim/unit_commands.cpp', '#include "units/paths/path_search.h"'),
    ('app/gfx/renderer.cpp', '#include "app/log.h"'),
    ('editor/editor_palette.cpp', '#include "platform/window.h"'),
]
LINK_REFUSED = [
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
    if not under(target, rule.forbidden):
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
    return failures


def check_tree(root):
    src = os.path.join(root, 'src')
    with open(os.path.join(src, 'CMakeLists.txt'), encoding='utf-8') as f:
        libraries = parse_libraries(f.read())
    problems = []
    for path, full in source_checks.source_files(src, ('',)):
        with open(full, encoding='utf-8', errors='replace') as f:
            for number, line in enumerate(f, 1):
                for rule in RULES:
                    why = refusal(rule, path, line)
                    if why:
                        problems.append(f'src/{path}:{number}: {why}')
                why = link_refusal(libraries, path, line, lambda p: os.path.isfile(os.path.join(src, p)))
                if why:
                    problems.append(f'src/{path}:{number}: {why}')
    return problems


if __name__ == '__main__':
    sys.exit(source_checks.run(sys.argv, 'check-includes', check_samples, check_tree,
                               'include(s) break the layering'))
