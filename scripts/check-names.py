#!/usr/bin/env python3
"""Refuses second names for ids and bits that have one home.

Command ids, message types and the bits of a unit class's flag word travel
between peers, sit in save files or are read by rules all over the tree; each
has one name, defined in one header, with a comment naming what other code
called it. A private copy in a source file drifts from the header unseen, so
a constant named like one of them is refused anywhere but in its header.

The bits and byte offsets of record words (a class's flag word, the unit's
flag words, the order words, the policy words, a product's state) have their
names in the record's own header too, under no common prefix. A private
constant elsewhere that holds one of those values (a bit, a mask of named
bits, an offset, or the header's name itself) and is used on a line that
reads that word is a second name, and is refused whatever it is called.

Each rule carries its own allowed and refused samples. Before the tree is
checked every rule runs on them, and a refused sample that passes or an
allowed one that is refused stops the check: a rule that cannot refuse is no
check.

Usage: scripts/check-names.py [--samples-only] [ROOT]
Exit status: 0 clean, 1 refused names in the tree, 2 a rule failed its
samples.
"""
import io
import os
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
            ('src/screens/common/frame/command_bars.cpp', 'constexpr int32_t kCommandBarBottom = 194;'),
            ('src/sim/command_log.cpp', '// was kCmdMoveTo = 272 before the ids had one home'),
            ('tests/facility_commands_test.cpp', 'static_assert(kCmdMinWage == 16);'),
        ],
        refused=[
            ('src/screens/common/frame/command_bars.cpp', 'constexpr int32_t kCmdBarBottom = 194;'),
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


# The record words whose bits and offsets their header names.
@dataclass
class Word:
    name: str
    home: str         # the header (from ROOT) that names the word's values
    names: str        # a pattern for the header's names that belong to the word
    reads: str        # a pattern for a line that reads the word
    offsets: bool = False  # byte offsets (any named value), not bits
    spare: list = field(default_factory=list)   # (file from ROOT, name, why) left alone


WORDS = [
    Word('class-flags', 'src/world/unit_class_flags.h', r'kClass\w+',
         r'\.flags\b|\bclassFlags\b|\bclsFlags\b'),
    Word('unit-flags', 'src/records/unit_flags.h', r'kUnit(?!2)\w+', r'\.flags\b|\bunitFlags\b'),
    Word('unit-flags2', 'src/records/unit_flags.h', r'kUnit2\w+', r'\.flags2\b'),
    Word('order-mask', 'src/records/order_words.h', r'kMask\w+', r'\[kOrderMask\]|\bword1\b|\borderMask\b'),
    Word('order-flags', 'src/records/order_words.h', r'kOrder\w+', r'\[kOrderFlags\]|\bword11\b|\borderFlags\b'),
    Word('order-state', 'src/records/order_words.h', r'kState\w+', r'\[kStateFlags\]|\bword12\b|\bstateFlags\b'),
    Word('order-header', 'src/records/order_words.h', r'kHeader\w+', r'\[kOrdersHeader\]|\bword13\b|\bordersHeader\b'),
    Word('order-posture', 'src/records/order_words.h', r'kPosture\w+', r'\[kPostureBits\]|\bword15\b|\bpostureBits\b'),
    Word('policy-military', 'src/records/player_policy.h', r'kMilitary\w+', r'\bmilitaryFlags\b'),
    Word('policy-roe', 'src/records/player_policy.h', r'kRoe\w+', r'\broeFlags\b'),
    Word('policy-wage', 'src/records/player_policy.h', r'kWage\w+|kWorldBody\w+|kLoanWaiting|kRepayWaiting|kHasTakenLoan',
         r'\bwageFlags\b'),
    Word('product-flags', 'src/world/text/policy_fields.h', r'kProduct\w+', r'\bkProductFlags\b'),
    Word('product-state', 'src/records/player_record.h', r'kProduct\w+At', r'\bproducts\[|\bProductReal\(|\bProductFloat\(',
         offsets=True),
]

# Names the field rule leaves alone, with the reason.
FIELD_SPARE = {
    # The technology record's flags share the member name with the class's.
    ('src/screens/economy/research/tech_popup.cpp', 'kTradable'): 'a technology record bit, not a class bit',
    ('src/screens/economy/research/tech_popup.cpp', 'kDesignPrerequisite'): 'a technology record bit',
    ('src/screens/economy/research/tech_popup.cpp', 'kFacilityPrerequisite'): 'a technology record bit',
    # Words of other records that a class or unit flag's value happens to match.
    ('src/editor/editor_map_input.h', 'kEditorEditing'): "the editor's own mode word",
    ('src/editor/editor_map_input.h', 'kEditorKeepAttributes'): "the editor's own mode word",
    ('src/editor/editor_map_input.h', 'kEditorKeepTerrain'): "the editor's own mode word",
    ('src/editor/editor_map_input.h', 'kEditorLargeBrush'): "the editor's own mode word",
    ('src/sim/facility_costs.h', 'kTerrainYieldsAt'): 'an offset in the terrain record, not the product state',
    ('src/units/paths/path_search.h', 'kSearchStepsBack'): "the path request's option word",
    ('src/units/paths/path_search.h', 'kSearchLevelCost'): "the path request's option word",
    ('src/units/unit_entry_rights.cpp', 'kSearchNotCarrierBorne'): "the path request's option word",
}

_DEFINITION = re.compile(
    r'(?:#\s*define\s+(k[A-Z]\w*)\s+(.+)$)|'
    r'(?:\bconstexpr\b[^=;{(]*?\b(k[A-Z]\w*)\s*(?:=(?!=)|\{)\s*([^;{}]+?)\s*(?:[;,}]|$))')
_NUMBER = re.compile(r'\b(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*\b')


def header_values(text, names_pattern, offsets):
    """{name: value} of the header's constants whose names match."""
    values = {}
    kind = r'size_t' if offsets else r'uint32_t'
    for m in re.finditer(r'inline\s+constexpr\s+' + kind + r'\s+(k[A-Z]\w*)\s*=\s*([^;]+);', text):
        value = evaluate(m.group(2), values)
        if value is not None and re.fullmatch(names_pattern, m.group(1)):
            values[m.group(1)] = value
        elif value is not None:
            values.setdefault('#' + m.group(1), value)  # usable in later sums, never matched
    return {n: v for n, v in values.items() if not n.startswith('#')}


def evaluate(expression, known):
    """The value of a constant expression of numbers, shifts, ors and known
    names, or None."""
    code = _NUMBER.sub(lambda m: str(int(m.group(1), 16 if m.group(1)[1:2] in 'xX' else 10)),
                      expression.split('//', 1)[0])
    def name(m):
        n = m.group(0)
        if n in known:
            return str(known[n])
        if '#' + n in known:
            return str(known['#' + n])
        raise KeyError(n)
    try:
        code = re.sub(r'\b[A-Za-z_]\w*\b', name, code)
    except KeyError:
        return None
    if not re.fullmatch(r'[\d\s()|<>+x]*', code) or not code.strip():
        return None
    try:
        return int(eval(code, {'__builtins__': {}}))  # digits and operators only
    except Exception:
        return None


def named_value(word, values, value):
    """Whether the value is one the word's header names: a named value or,
    for bits, a mask of named single bits."""
    if value in values.values():
        return True
    if word.offsets or value <= 0:
        return False
    singles = 0
    for v in values.values():
        if v & (v - 1) == 0:
            singles |= v
    return value & ~singles == 0 and value & (value - 1) != 0


def private_definitions(line):
    """(name, expression) of each constant the line defines."""
    code = line.split('//', 1)[0]
    found = []
    for m in _DEFINITION.finditer(code):
        if m.group(1):
            found.append((m.group(1), m.group(2)))
        else:
            found.append((m.group(3), m.group(4)))
    # A second name after a comma: constexpr uint32_t kA = 1, kB = 2;
    for m in re.finditer(r',\s*(k[A-Z]\w*)\s*=\s*([^,;]+)', code):
        if 'constexpr' in code:
            found.append((m.group(1), m.group(2)))
    return found


def field_refusals(path, lines, headers):
    """(line number, why) of each private name of a record word's value in
    the file; `lines` are the file's lines and `headers` {path: text}."""
    refused = []
    reads_file = {}
    knows = {}
    text = '\n'.join(lines)
    for number, line in enumerate(lines, 1):
        for name, expression in private_definitions(line):
            for word in WORDS:
                if path == word.home or (path, name) in FIELD_SPARE:
                    continue
                values = word_values(word, headers)
                if expression.strip() in values:
                    value = values[expression.strip()]
                elif derived(expression, values):
                    continue
                else:
                    value = evaluate(expression, {})
                if value is None or not named_value(word, values, value):
                    continue
                # Only a file that knows the record: it includes the header or
                # uses one of its names.
                if word.name not in knows:
                    knows[word.name] = (word.home.removeprefix('src/') in text or
                                        bool(values and re.search(r'\b(?:' + '|'.join(values) + r')\b', text)))
                if not knows[word.name]:
                    continue
                if word.offsets:
                    if word.name not in reads_file:
                        reads_file[word.name] = any(re.search(word.reads, l) for l in lines)
                    hit = reads_file[word.name] and re.search(r'(?:At|Offset)$', name)
                else:
                    hit = any(n != number and used_on_word(word, name, l) for n, l in enumerate(lines, 1))
                if hit:
                    refused.append((number, f'defines {name}, a second name of a value of the {word.name} word: '
                                            f'use the name {word.home} gives it (record-words)'))
                    break
    return refused


def used_on_word(word, name, line):
    """Whether the line masks the word with the name: `cls.flags & kName`,
    `kName & orders[kOrderFlags]`, `word13 |= kName` and the like."""
    code = line.split('//', 1)[0]
    if name not in code:
        return False
    reads = r'(?:' + word.reads + r')'
    mask = r'\s*\)?\s*(?:&|\||\^)=?\s*~?\(?\s*'
    return bool(re.search(reads + r'\w*(?:\[[^\]]*\])?' + mask + r'\b' + name + r'\b', code) or
                re.search(r'\b' + name + r'\b' + mask + r'[\w.\[\]>-]*?' + reads, code))


def derived(expression, values):
    """Whether the expression is built from the header's names (a mask of
    them, not one alone): such a constant cannot drift from the header."""
    names = re.findall(r'\bk[A-Z]\w*', expression)
    return len(names) > 1 or (names and expression.strip() not in names)


_VALUES = {}


def word_values(word, headers):
    key = (word.name, id(headers))
    if key not in _VALUES:
        _VALUES[key] = header_values(headers.get(word.home, ''), word.names, word.offsets)
    return _VALUES[key]


# Samples of the field rule: (file, its lines, whether it must be refused),
# checked against headers of the same shape as the tree's.
FIELD_HEADERS = {
    'src/world/unit_class_flags.h': 'inline constexpr uint32_t kClassLongRange = 1u << 0;\n'
                                    'inline constexpr uint32_t kClassSpecialImmune = 1u << 1;\n'
                                    'inline constexpr uint32_t kClassSpecialWeaponA = 1u << 2;\n'
                                    'inline constexpr uint32_t kClassSpecialWeaponB = 1u << 3;\n'
                                    'inline constexpr uint32_t kClassStock = 1u << 28;\n'
                                    'inline constexpr uint32_t kClassFullAvailability = 1u << 30;\n',
    'src/records/unit_flags.h': 'inline constexpr uint32_t kUnitStock = 1u << 11;\n'
                                'inline constexpr uint32_t kUnit2Selected = 1u << 0;\n',
    'src/records/order_words.h': 'inline constexpr int kOrderFlags = 11;\n'
                                 'inline constexpr uint32_t kOrderTakeGround = 1u << 16;\n'
                                 'inline constexpr uint32_t kHeaderNoCapture = 1u << 14;\n'
                                 'inline constexpr uint32_t kPostureUnderConstruction = 1u << 1;\n',
    'src/records/player_policy.h': 'inline constexpr uint32_t kMilitaryConscript = 1u << 0;\n'
                                   'inline constexpr uint32_t kMilitaryCoed = 1u << 1;\n',
    'src/world/text/policy_fields.h': 'inline constexpr uint32_t kProductAutoPurchase = 1u << 0;\n'
                                      'inline constexpr uint32_t kProductNoBoycottBuy = 1u << 1;\n',
    'src/records/player_record.h': 'inline constexpr size_t kProductStockAt = 8;\n'
                                   'inline constexpr size_t kProductForSaleAt = 60;\n',
}

FIELD_SAMPLES = [
    # Refused: the issue's own cases, each with the use that ties it to its word.
    ('src/screens/common/units/unit_sheets.cpp', ['#include "world/unit_class_flags.h"', 'constexpr uint32_t kStockNuclear = 0x4 | 0x8;',
                                              '  if (f.flags & kStockNuclear) return 205;'], True),
    ('src/screens/common/units/unit_header.cpp', ['#include "world/unit_class_flags.h"', 'constexpr uint32_t kStockFlagChemical = 0x2;',
                                              '  const bool chemical = (cls.flags & kStockFlagChemical) != 0;'], True),
    ('src/screens/economy/research/tech_popup.cpp', ['if (cls.flags & kClassStock) return;', 'constexpr uint32_t kMissileClass = 0x10000000;',
                                                     '  x = (g_world.unitClasses[i].flags & kMissileClass) != 0;'], True),
    ('src/screens/common/units/unit_sheets.cpp', ['#include "world/unit_class_flags.h"', 'constexpr uint32_t kStockSeaLaunched = 0x40000000;',
                                              '  if (f.flags & kStockSeaLaunched) return 303;'], True),
    ('src/screens/military/operations/force_size_panel.cpp',
     ['#include "records/player_policy.h"', 'constexpr uint32_t kConscription = 0x1;', '  SetPressed(at("CONSCRIPBUT"), (b.militaryFlags & kConscription) != 0);'],
     True),
    ('src/screens/military/production/production_lists.cpp', ['#include "records/unit_flags.h"', 'constexpr uint32_t kUnitIsStock = 0x800;',
                                                   '    if ((u.flags & kUnitIsStock) && ready) {'], True),
    ('src/screens/military/production/production_lists.cpp',
     ['#include "records/order_words.h"', 'constexpr uint32_t kWaitsForLift = 0x4000;',
      '  if ((unit.orders[kOrdersHeader] & kWaitsForLift) && !(unit.orders[kOrderFlags] & kHasLift)) return 1;'], True),
    ('src/screens/military/production/production_lists.h', ['#include "records/order_words.h"', 'inline constexpr uint32_t kAwaitingCompletion{2};',
                                                 '    if (u.word15 & kAwaitingCompletion) {'], True),
    ('src/sim/daily/world_market.cpp', ['#include "world/text/policy_fields.h"', 'constexpr uint32_t kNoBoycottBuy = 1u << 1;',
                                        '  ok = (ProductWord(b, kProductFlags) & kNoBoycottBuy) == 0;'], True),
    ('src/sim/daily/world_market.cpp', ['#include "records/player_record.h"', 'constexpr size_t kForSaleAt = 60;',
                                        'float Get(const PlayerRecord& r, int p, size_t at) { return F(r.products[p].bytes + at); }'],
     True),
    ('src/units/step/carried_step.cpp', ['#define kShipUnloadsInPlace kClassFullAvailability',
                                         '  if (cls.flags & kShipUnloadsInPlace) return;'], True),
    # Allowed: the header's own names, the same value used on another word,
    # values no header names, offsets in a file that reads no product.
    ('src/world/unit_class_flags.h', ['inline constexpr uint32_t kClassStock = 1u << 28;',
                                      'static_assert((kClassStock & 1u) == 0 && x.flags);'], False),
    ('src/screens/common/units/unit_sheets.cpp', ['constexpr uint32_t kSheetListFill = 0xFF5A5A5A;',
                                              '  if (f.flags & kSheetListFill) return;'], False),
    ('src/screens/military/production/production_lists.cpp', ['constexpr uint32_t kStepOne = 1, kStepFill = 255;',
                                                   '  Post(u.id, kStepOne);'], False),
    ('src/screens/economy/research/tech_popup.cpp', ['constexpr uint32_t kTreeListFlags = 0x2000;',
                                                     '  list->flags |= kTreeListFlags;'], False),
    ('src/screens/economy/research/tech_popup.cpp', ['constexpr uint32_t kTradable = 0x1;',
                                                     '  if (!(tech.flags & kTradable)) text += "no";'], False),
    ('src/sim/end_of_turn_log.cpp', ['constexpr size_t kEntryAt = 8;', 'int a = table[kEntryAt];'], False),
    ('src/sim/mail_replies.cpp', ['constexpr int kReplies = 60;', 'float v = r.products[p].bytes[0];'], False),
]


def check_field_samples():
    failures = []
    for path, lines, refuse in FIELD_SAMPLES:
        got = bool(field_refusals(path, lines, FIELD_HEADERS))
        if got != refuse:
            failures.append(f'record-words: {"refused sample passed" if refuse else "allowed sample refused"}: '
                            f'{path}: {next(l for l in lines if "constexpr" in l or "#define" in l).strip()}')
    return failures


def check_samples():
    failures = []
    for rule in RULES:
        for path, line in rule.allowed:
            if refusal(rule, path, line):
                failures.append(f'{rule.name}: allowed sample refused: {path}: {line.strip()}')
        for path, line in rule.refused:
            if not refusal(rule, path, line):
                failures.append(f'{rule.name}: refused sample passed: {path}: {line.strip()}')
    return failures + check_field_samples() + vocabulary_rules.check_samples()


def check_tree(root):
    problems = []
    headers = {}
    for word in WORDS:
        with open(f'{root}/{word.home}', encoding='utf-8') as f:
            headers[word.home] = f.read()
    for path, full in source_checks.source_files(root, FOLDERS):
        with open(full, encoding='utf-8', errors='replace') as f:
            lines = f.read().split('\n')
        for number, line in enumerate(lines, 1):
            for rule in RULES:
                why = refusal(rule, path, line)
                if why:
                    problems.append(f'{path}:{number}: {why}')
        # A header's private names are used in the source beside it.
        uses = lines
        if path.endswith('.h') and os.path.exists(full[:-2] + '.cpp'):
            with open(full[:-2] + '.cpp', encoding='utf-8', errors='replace') as f:
                uses = lines + [''] + f.read().split('\n')
        for number, why in field_refusals(path, uses, headers):
            if number <= len(lines):
                problems.append(f'{path}:{number}: {why}')
        problems += vocabulary_rules.check_file(path, io.StringIO('\n'.join(lines)))
    return problems

if __name__ == '__main__':
    sys.exit(source_checks.run(sys.argv, 'check-names', check_samples, check_tree,
                               'name(s) defined outside their one header'))
