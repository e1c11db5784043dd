#!/usr/bin/env python3
"""Refuses includes that break the layering of src/.

The simulation libraries (records, world, net, units, sim, ai) never include
the interface, the screens, the editor, the graphics or sound device or the
shell: where a rule of the simulation touches the interface it calls through
a hook (sim/sim_ui_link.h, world/object_hex.h). The app library and its
graphics and sound sit below the world and include nothing of it or above
it; only the shell (app/shell), which starts everything, may.

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

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.inl', '.inc')

SIMULATION = ('records', 'world', 'net', 'units', 'sim', 'ai')
INTERFACE = ('ui', 'screens', 'editor', 'app/gfx', 'app/audio', 'app/shell')
ABOVE_APP = ('world', 'net', 'units', 'sim', 'ai', 'ui', 'screens', 'editor')


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
            ('ui/screen_set.h', '#include "screens/main/title_bar.h"'),
            ('units/unit_step.cpp', '#include "uitext/labels.h"'),
        ],
        refused=[
            ('net/net_events.cpp', '#include "ui/screen_manager.h"'),
            ('sim/daily/elimination.cpp', '#include "screens/main/map_view.h"'),
            ('world/text/scenario_def.cpp', '#  include <ui/control.h>'),
            ('units/hex_capture.cpp', '#include "../ui/control.h"'),
            ('records/unit_record.h', '#include "app/gfx/renderer.h"'),
            ('ai/computer_player.cpp', '#include "editor/editor_autosave.h"'),
            ('world/world.h', '\t#include "ui/map_hover.h"'),
        ],
    ),
    Rule(
        name='app-below-world',
        why='app, its graphics and its sound sit below the world; only the shell starts everything',
        folders=('app',),
        exempt=('app/shell',),
        forbidden=ABOVE_APP,
        allowed=[
            ('app/gfx/font_file.cpp', '#include "records/le_bytes.h"'),
            ('app/calendar.cpp', '#include "app/calendar.h"'),
            ('app/audio/sound_system.cpp', '#include "platform/audio_device.h"'),
            ('app/shell/frames.cpp', '#include "world/world.h"'),
            ('app/log.cpp', '#include "worldwide.h"'),
        ],
        refused=[
            ('app/gfx/font_file.cpp', '#include "world/le_bytes.h"'),
            ('app/calendar.cpp', '#include "world/world.h"'),
            ('app/audio/sound_system.cpp', '#include "sim/turn_thread.h"'),
            ('app/settings.cpp', '#include "./../world/text/ui_options.h"'),
            ('app/gfx/renderer.cpp', '#include <ui/screen_manager.h>'),
        ],
    ),
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
    return failures


def check_tree(root):
    src = os.path.join(root, 'src')
    problems = []
    for folder, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_SUFFIXES):
                continue
            path = os.path.join(folder, name)
            source = os.path.relpath(path, src).replace(os.sep, '/')
            with open(path, encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    for rule in RULES:
                        why = refusal(rule, source, line)
                        if why:
                            problems.append(f'src/{source}:{number}: {why}')
    return problems


def main(argv):
    args = argv[1:]
    samples_only = '--samples-only' in args
    args = [a for a in args if a != '--samples-only']
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')

    failures = check_samples()
    if failures:
        print('check-includes: a rule does not hold on its own samples:', file=sys.stderr)
        for failure in failures:
            print('  ' + failure, file=sys.stderr)
        return 2
    if samples_only:
        return 0

    problems = check_tree(root)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f'check-includes: {len(problems)} include(s) break the layering', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
