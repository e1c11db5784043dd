#!/usr/bin/env python3
"""Refuses reading a unit-class record by its byte offsets.

Each record field the code reads has one name in its record's header, and
the code reads it by that name. A field read by its place instead (a byte
pointer to the record plus a number) gives it a second, silent name that no
header lists and no static_assert keeps in place.

Each rule carries its own allowed and forbidden samples. Before the tree is
checked every rule runs on them, and a forbidden sample that passes or an
allowed one that fails stops the check: a rule that cannot refuse is no
check.

Usage: scripts/check-class-offsets.py [--samples-only] [ROOT]
Exit status: 0 clean, 1 refused lines in the tree, 2 a rule failed its
samples.
"""
import re
import sys
from dataclasses import dataclass, field
from typing import Callable

import source_checks

FOLDERS = ('src', 'tests', 'bench', 'tools')


@dataclass
class Rule:
    name: str
    why: str
    # (file under the root, its text) -> the numbers of the refused lines
    find: Callable[[str, str], list]
    allowed: list = field(default_factory=list)   # (file under the root, text) that must pass
    refused: list = field(default_factory=list)   # (file under the root, text) that must be refused


# --- The unit-class record: its bytes are read by name, never by offset ---

CLASS_RECORD_HEADER = 'src/world/data_tables.h'
CLASS_TYPE = r'UnitClass(?:Record|Image)'
BYTE_POINTER = r'reinterpret_cast<\s*(?:const\s+)?(?:u?int8_t|unsigned\s+char)\s*\*\s*>'
# An offset: a number, or a constant named for a place (kClassSizeAt).
OFFSET = r'(?:\d+|k\w*At\b)'
BALANCED = r'[^()]*(?:\([^()]*(?:\([^()]*\)[^()]*)*\)[^()]*)*'


def class_names(text):
    """The names the file gives unit-class records: variables, parameters
    and references declared with the record's type, or bound to an entry of
    the world's class table."""
    names = set(re.findall(CLASS_TYPE + r'\s*(?:const\s*)?[&*]+\s*(?:const\s+)?(\w+)', text))
    names |= set(re.findall(CLASS_TYPE + r'\s+(\w+)\s*[;={(\[]', text))
    names |= set(re.findall(r'auto\s*[&*]*\s*(\w+)\s*=\s*[^;]*unitClasses\s*\[', text))
    return names


def is_class_expression(expression, names):
    if 'unitClasses' in expression or re.search(CLASS_TYPE, expression):
        return True
    bare = re.sub(r'^[\s&*(]+|[\s)]+$', '', expression)
    return bare in names


def class_offset_lines(path, text):
    if path == CLASS_RECORD_HEADER:
        return []
    names = class_names(text)
    refused = set()

    def line_of(position):
        return text.count('\n', 0, position) + 1

    # A byte pointer to a class record: read at an offset straight away,
    # returned from a helper, or kept in a variable that is read at one.
    cast = re.compile(BYTE_POINTER + r'\s*\((' + BALANCED + r')\)')
    pointers = set()
    for match in cast.finditer(text):
        if not is_class_expression(match.group(1), names):
            continue
        after = text[match.end():]
        before = text[:match.start()]
        if re.match(r'\s*(?:\+\s*' + OFFSET + r'|\[\s*' + OFFSET + r')', after):
            refused.add(line_of(match.start()))
        if re.search(r'\breturn\s*$', before):
            refused.add(line_of(match.start()))
        kept = re.search(r'(\w+)\s*=\s*$', before)
        if kept:
            pointers.add(kept.group(1))
    for pointer in pointers:
        for match in re.finditer(r'\b' + pointer + r'\s*(?:\+\s*' + OFFSET + r'|\[\s*' + OFFSET + r')', text):
            refused.add(line_of(match.start()))

    # A helper that hands out a class record's bytes or takes an offset into
    # them: ClassBytes(c), ClassFloat(c, at), SetClassByte(c, at, v).
    helper = re.compile(r'(?:u?int8_t|unsigned\s+char)\s*\*\s*\w+\s*\(\s*(?:const\s+)?' + CLASS_TYPE + r'\s*&'
                        r'|\(\s*(?:const\s+)?' + CLASS_TYPE + r'\s*&\s*\w+\s*,\s*size_t\s+\w+\s*[,)]')
    for match in helper.finditer(text):
        refused.add(line_of(match.start()))
    by_offset = re.compile(r'\b(?:Set)?Class(?:Byte|Bytes|Float|F32|U8|U16|I16|U32|Word)\s*\(\s*[^,()]+,\s*'
                           + OFFSET + r'\s*[,)]')
    for match in by_offset.finditer(text):
        refused.add(line_of(match.start()))

    # The reserved arrays hold bytes no code reads; reading one at an offset
    # gives its byte a name no header lists.
    reserved = re.compile(r'([\w\]\[.>\-]+?)\s*(?:\.|->)\s*bytes\d+\s*(?:\[\s*\d|\+\s*\d)')
    for match in reserved.finditer(text):
        if is_class_expression(match.group(1), names):
            refused.add(line_of(match.start()))
    return sorted(refused)


CLASS_OFFSETS = Rule(
    name='class-record-offsets',
    why='reads the unit-class record by offset; name the field in world/data_tables.h and read it by name',
    find=class_offset_lines,
    allowed=[
        ('src/units/unit_queries.cpp', 'if (cls->loadableMask == 0) return 0;'),
        ('src/world/data_tables.h', 'static_assert(offsetof(UnitClassImage, slotSize) == 134);'),
        ('src/world/data_tables.h', 'inline const uint8_t* ClassBytes(const UnitClassImage& c) {\n'
                                    '  return reinterpret_cast<const uint8_t*>(&c) + 134; }'),
        ('src/units/hex_capture.cpp', 'uint8_t Cover(const TerrainRecord& t) { return t.bytes[128]; }'),
        ('src/units/hex_capture.cpp', 'const uint8_t* b = reinterpret_cast<const uint8_t*>(&unit) + 121;'),
        ('src/world/unit_class_file.cpp',
         'std::memcpy(static_cast<UnitClassImage*>(&c), slot, sizeof(UnitClassImage));'),
        ('src/world/text/editor_imports_units.cpp',
         'auto* image = reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&c));\n'
         'image[col.at] = static_cast<uint8_t>(v);'),
        ('src/sim/daily/world_body.cpp', 'uint8_t ClassAvailabilityByte(const World& w, int p, int32_t i);'),
        ('tests/combat_golden_test.cpp', 'for (float& r : c.weaponRanges) r = 30.0f;'),
        ('src/world/unit_class_file_test.cpp', 'UnitClassRecord& c = w.unitClasses[1];\n'
                                               'std::fill(std::begin(c.bytes196), std::end(c.bytes196), 0xA0);'),
    ],
    refused=[
        ('src/units/transport/cargo_boarding.cpp', 'uint8_t size = ClassByte(c, 134);'),
        ('src/units/transport/cargo_boarding.cpp',
         'uint8_t ClassSlotSize(const UnitClassRecord& cls) { return classfields::Bytes(cls)[134]; }\n'
         'inline const uint8_t* Bytes(const UnitClassImage& c) { return reinterpret_cast<const uint8_t*>(&c); }'),
        ('src/units/combat/unit_fire.cpp', 'const UnitClassRecord* cls = UnitClassOf(world, unit);\n'
                                           'float r = le::LoadF32(reinterpret_cast<const uint8_t*>(cls) + 144);'),
        ('src/screens/main/map/map_units.cpp',
         'int32_t ClassSymbol(const UnitClassRecord& cls) {\n'
         '  return le::LoadI16(reinterpret_cast<const uint8_t*>(&cls) + kClassSymbolAt);\n}'),
        ('src/units/facilities/facility_step.cpp',
         'const uint8_t* ClassBytes(const UnitClassRecord& c) { return reinterpret_cast<const uint8_t*>(&c); }'),
        ('src/units/step/unit_step_supply.cpp',
         'float ClassFloat(const UnitClassRecord& c, size_t at) { return le::LoadF32(Base(c) + at); }'),
        ('src/units/order_filter.cpp', '{kNeedsClassValue108, ClassFloat(*k, 108) != 0.0f},'),
        ('src/units/handover_test_world.h', 'SetClassByte(w.unitClasses[kBase], 133, 2);'),
        ('src/units/combat/unit_combat_step_test.cpp',
         'le::Store16(reinterpret_cast<uint8_t*>(&w.unitClasses[kTank]) + 118, 50);'),
        ('src/screens/main/panels/hex_panels_test.cpp',
         'reinterpret_cast<uint8_t*>(&g_world.unitClasses[2])[139] = 50;'),
        ('src/sim/daily/hex_pass_test.cpp',
         'reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&c))[120 + targetType] = v;'),
        ('src/screens/common/units/class_icon_test.cpp',
         'void SetPictures(UnitClassRecord& cls, int16_t first) {\n'
         '  auto* bytes = reinterpret_cast<uint8_t*>(&cls);\n  le::StoreI16(bytes + 192, first);\n}'),
        ('src/sim/daily/world_body_test.cpp',
         'auto bytes = [](UnitClassRecord& c) { return reinterpret_cast<uint8_t*>(static_cast<UnitClassImage*>(&c)); };'),
        ('src/world/movement_rates.h',
         'inline int16_t ClassSpeed(const UnitClassRecord& c) { return le::LoadI16(c.bytes64 + 2); }'),
        ('src/units/combat/unit_combat_step.cpp',
         'const UnitClassRecord* vc = UnitClassOf(world, *v);\n'
         'const int room = static_cast<int>(vc->bytes114[180 - 114]) * vc->strengthPerSize;'),
        ('src/units/step/unit_step.cpp',
         'UnitClassRecord& plane = w.unitClasses[kPlane];\nplane.bytes64[7] = 7;'),
    ],
)


RULES = [
    CLASS_OFFSETS,
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
    sys.exit(source_checks.run(sys.argv, 'check-class-offsets', check_samples, check_tree,
                               'line(s) give a field a second name'))
