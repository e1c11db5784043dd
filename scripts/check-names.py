#!/usr/bin/env python3
"""Refuses second names for ids and bits that have one home.

Command ids, message types and the bits of a unit class's flag word travel
between peers, sit in save files or are read by rules all over the tree; each
has one name, defined in one header, with a comment naming what other code
called it. A private copy in a source file drifts from the header unseen, so
a constant named like one of them is refused anywhere but in its header.

Each rule carries its own allowed and refused samples. Before the tree is
checked every rule runs on them, and a refused sample that passes or an
allowed one that is refused stops the check: a rule that cannot refuse is no
check.

Usage: scripts/check-names.py [--samples-only] [ROOT]
Exit status: 0 clean, 1 refused names in the tree, 2 a rule failed its
samples.
"""
import re
import sys
from dataclasses import dataclass, field

import source_checks
import vocabulary_rules

# The folders of ROOT whose sources are checked, paths given from ROOT.
FOLDERS = ('src', 'tests', 'bench', 'tools')


@dataclass
class Rule:
    name: str
    why: str
    prefix: str          # a constant named this, then a capital, is the rule's
    home: str            # the one file (from ROOT) that may define them
    spare: str = ''      # a pattern for names of the prefix the rule leaves alone
    allowed: list = field(default_factory=list)    # (file from ROOT, line) that must pass
    refused: list = field(default_factory=list)    # (file from ROOT, line) that must be refused


RULES = [
    Rule(
        name='command-ids',
        why='a command id is named once, in src/records/command_ids.h',
        prefix='kCmd',
        home='src/records/command_ids.h',
        allowed=[
            ('src/records/command_ids.h', 'inline constexpr uint32_t kCmdMinWage = 16;'),
            ('src/sim/unit_commands.cpp', '  if (cmd.id == kCmdMoveUnit) return;'),
            ('src/ai/ai_unit_build.cpp', '        c.id = kCmdCreateUnit;'),
            ('src/screens/main/bars/command_bars.cpp', 'constexpr int32_t kCommandBarBottom = 194;'),
            ('src/sim/command_log.cpp', '// was kCmdMoveTo = 272 before the ids had one home'),
            ('tests/facility_commands_test.cpp', 'static_assert(kCmdMinWage == 16);'),
        ],
        refused=[
            ('src/screens/main/bars/command_bars.cpp', 'constexpr int32_t kCmdBarBottom = 194;'),
            ('src/sim/unit_commands.cpp', 'constexpr uint32_t kCmdMoveUnit = 272;'),
            ('tests/facility_commands_test.cpp', 'static const uint32_t kCmdBuild{336};'),
            ('src/net/command_network.h', '#define kCmdChat 7'),
            ('src/sim/message_ids.h', 'inline constexpr uint32_t kCmdDipOffer = 128;'),
        ],
    ),
    Rule(
        name='message-ids',
        why='a message type is named once, in src/sim/message_ids.h',
        prefix='kMsg',
        home='src/sim/message_ids.h',
        allowed=[
            ('src/sim/message_ids.h', 'inline constexpr uint32_t kMsgOffer = 400;  // an offer attached'),
            ('src/ai/war_posture.cpp', '  DeliverPlayerMessage(world, world.players[p], kMsgOffer, self, text.c_str(),'),
            ('src/ai/diplomacy_test.cpp', '  uint32_t FileOffer(int from, float gives, uint32_t type = kMsgOffer) {'),
            ('src/units/step/unit_step.cpp', '    const uint32_t type = air ? kMsgAircraftLost : kMsgUnitLost;'),
            ('src/ui/control_bits.h', 'inline constexpr int32_t kControlEnter = -1;'),
            ('src/sim/player_messages.cpp', 'static_assert(kMsgScenarioReport == 499);'),
        ],
        refused=[
            ('src/ai/war_posture.cpp', 'constexpr uint32_t kMsgOffer = 400;'),
            ('src/ai/social_minister.h', 'inline constexpr uint32_t kMsgSocialUnrest = 487;        // stability'),
            ('src/ai/diplomacy_test.cpp', 'constexpr uint32_t kOfferType = 400, kMsgLetter = 5;'),
            ('src/ui/control_bits.h', 'inline constexpr int32_t kMsgEnter = -1;'),
            ('src/sim/daily/elections.cpp', 'enum : uint32_t { kMsgElection = 339 };'),
            ('src/sim/daily/elections.cpp', '  kMsgElectionSoon = 270,'),
            ('src/records/command_ids.h', '#  define kMsgReply 88'),
        ],
    ),
    Rule(
        name='class-bits',
        why='the class word\'s bits and masks are named once, in src/world/unit_class_flags.h',
        prefix='kClass',
        home='src/world/unit_class_flags.h',
        # Byte offsets into the class record (kClassSizeAt) are not bits: the
        # record's own header names those.
        spare=r'At$',
        allowed=[
            ('src/world/unit_class_flags.h', 'inline constexpr uint32_t kClassRoad = 1u << 23;'),
            ('src/screens/main/map/facility_icons.cpp', '  if (cls.flags & kClassSpecialWeaponA)'),
            ('src/units/step/carried_step.cpp', '// bit 7, was kClassLeavesCarrierAircraft = 1u << 7'),
            ('src/ai/ai_unit_build_test.cpp', 'constexpr int kClasses = 12;'),
            ('src/ai/ai_tech_design_test.cpp', 'constexpr int kClass = 5;'),
            ('src/screens/main/map/map_units.cpp', 'constexpr size_t kClassSymbolAt = 192;  // i16'),
            ('src/world/data_tables.h', '  uint32_t flags;            // 72: kClass... bits'),
        ],
        refused=[
            ('src/screens/main/map/facility_icons.cpp', 'constexpr uint32_t kClassCapitalSymbol = 1u << 20;'),
            ('src/units/step/carried_step.cpp', 'constexpr uint32_t kClassNoUnloadByPosition = kClassRoad;  // bit 23'),
            ('src/ai/ai_unit_figures.h', 'inline constexpr uint32_t kClassBit26{1u << 26};'),
            ('src/units/step/unit_step_decisions.cpp', '  static constexpr uint32_t kClassStaysPut = 0x7000000u;'),
            ('src/world/data_tables.h', '#define kClassStock (1u << 28)'),
            ('src/sim/message_ids.h', 'inline constexpr uint32_t kClassFacility = 1u << 6;'),
        ],
    ),
]

def defined_names(rule, line):
    """The names of the rule's prefix that the line defines: a macro, or a
    name given a value (a constant, an enumerator), never one compared."""
    code = line.split('//', 1)[0]
    prefix = re.escape(rule.prefix)
    names = re.findall(r'#\s*define\s+(' + prefix + r'[A-Z]\w*)', code)
    names += re.findall(r'\b(' + prefix + r'[A-Z]\w*)\s*(?:=(?!=)|\{)', code)
    return [n for n in names if not (rule.spare and re.search(rule.spare, n))]


def refusal(rule, path, line):
    """Why the line of the file (a path from ROOT) breaks the rule, or None."""
    if path == rule.home:
        return None
    names = defined_names(rule, line)
    if not names:
        return None
    return f'defines {", ".join(names)}: {rule.why} ({rule.name})'


def check_samples():
    failures = []
    for rule in RULES:
        for path, line in rule.allowed:
            if refusal(rule, path, line):
                failures.append(f'{rule.name}: allowed sample refused: {path}: {line.strip()}')
        for path, line in rule.refused:
            if not refusal(rule, path, line):
                failures.append(f'{rule.name}: refused sample passed: {path}: {line.strip()}')
    return failures + vocabulary_rules.check_samples()


def check_tree(root):
    problems = []
    for path, full in source_checks.source_files(root, FOLDERS):
        with open(full, encoding='utf-8', errors='replace') as f:
            for number, line in enumerate(f, 1):
                for rule in RULES:
                    why = refusal(rule, path, line)
                    if why:
                        problems.append(f'{path}:{number}: {why}')
        with open(full, encoding='utf-8', errors='replace') as f:
            problems += vocabulary_rules.check_file(path, f)
    return problems

if __name__ == '__main__':
    sys.exit(source_checks.run(sys.argv, 'check-names', check_samples, check_tree,
                               'name(s) defined outside their one header'))
