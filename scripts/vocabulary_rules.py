"""Refuses file-local copies of the panels' shared words and of the rule for
the local region.

Every panel finds its controls, writes its figures and shows or hides with
the toolkit's words (src/ui/panel_vocabulary.h), and every screen finds the
region this machine plays through src/world/local_player.h, which says once
what "none" means. A copy in a source file drifts from them unseen (copies
of the local region fell back to region 0 and showed its figures), so a
definition of one of these words, a wrapper that is one under another name,
a private name for the lists' indicator bit, or a bounds check of the game
state's local index is refused outside their homes.

scripts/check-names.py runs these rules with its own, samples first.
"""
import re

# The toolkit's words for panels; a definition of one of them that takes a
# control or a screen belongs in the vocabulary alone.
WORDS = ('Tag', 'Id', 'TagAs', 'Is', 'SetText', 'SetInt', 'SetNumber', 'SetFormatted', 'Show', 'ShowTag',
         'SetNumberWhereRoom', 'EnterText', 'EnterInt', 'EnterFormatted', 'SetFigure', 'SetMoney', 'SetMoneyShort',
         'SetPercent', 'Press')
WORDS_HOMES = ('src/ui/panel_vocabulary.h', 'src/ui/panel_vocabulary.cpp')

# The names the local region went under before it had one home.
LOCAL_NAMES = ('Local', 'LocalRecord', 'LocalRegion', 'LocalPlayer', 'LocalPlayerIndex', 'LocalPlayerValid',
               'LocalValid', 'LocalIs')
LOCAL_HOMES = ('src/world/local_player.h', 'src/world/local_player.cpp')
# The world's own code (its file reader validates the index it reads) and the
# simulation that sets the index at a game's start stand below the rule.
LOCAL_EXEMPT = ('src/world/', 'src/sim/')

LIST_BIT_HOME = 'src/ui/list_control.h'

# A definition (or declaration) at namespace scope: a return type, the name,
# and a first parameter that is a control or a screen.
WORD_DEFINITION = re.compile(
    r'^(?:static\s+|inline\s+|constexpr\s+)*(?:const\s+)?[\w:<>]+[\s*&]+(' + '|'.join(WORDS) +
    r')\s*\(\s*(?:const\s+)?(?:Control|Screen)\b')
# One of the words under another name: a wrapper whose body only looks a
# control up by the tag or id it was given, or compares its tag.
RENAMED_WORD = re.compile(
    r'^(?:static\s+|inline\s+)*(?:const\s+)?[\w:<>]+[\s*&]+\w+\s*\(((?:const\s+)?(?:Control|Screen)\b[^)]*)\)\s*\{\s*'
    r'return\s+(?:\w+(?:\.currentForm)?\s*(?:\?|&&)\s*)?'
    r'(?:FormFindControlBy(?:Tag|Id)\(\s*(\w+)(?:\.currentForm)?\s*,\s*(\w+)\s*\)(?:\s*:\s*nullptr)?'
    r'|ControlTagMatches\(\s*(\w+)->tag\s*,\s*(\w+)\s*\))\s*;\s*\}')
LOCAL_DEFINITION = re.compile(
    r'^(?:static\s+|inline\s+|constexpr\s+)*(?:const\s+)?(?:PlayerRecord\s*[*&]|u?int(?:32_t)?|bool)\s*(' +
    '|'.join(LOCAL_NAMES) + r')\s*\(')
# The game state's local index bounded by hand, or a record indexed by it
# unchecked.
LOCAL_BOUNDS = re.compile(r'localPlayer\b[^;]*kMaxPlayers|kMaxPlayers[^;]*\blocalPlayer\b'
                          r'|players\[[^\]]*gameState\.localPlayer')
# A private name for the lists' thin scroller with its indicators.
LIST_BIT = re.compile(r'\b(k\w*List\w*(?:Style|Flags?))\s*(?:=|\{)\s*(?:0x2000u?|8192u?)\b')

RULES = (
    {
        'name': 'panel-words',
        'why': 'the panels\' words live in src/ui/panel_vocabulary.h',
        'allowed': [
            ('src/ui/panel_vocabulary.cpp',
             'Control* Tag(Control* form, const char* tag) { return form ? FormFindControlByTag(form, tag) : nullptr; }'),
            ('src/ui/panel_vocabulary.h', 'void ShowTag(Control* form, const char* tag, bool shown);'),
            ('src/screens/economy/status/region_stats_panels.cpp', 'void ShowLine(Control* c, const Line& line) {'),
            ('src/screens/diplomacy/mail/mail_popup.cpp', 'void SetText(PlayerMessage& m, int slot, const std::string& text) {'),
            ('src/units/unit_player_fields.h',
             'inline void SetInt(PlayerRecord& r, size_t at, int32_t v) { le::StoreI32(Bytes(r) + at, v); }'),
            ('src/screens/main/popups/combat_odds_popup.cpp',
             '  SetInt(Id(panel, kCombatRangeId), CheckedTrunc(side.maxRange));'),
            ('src/ui/control.h', '  virtual void SetText(const char* text);'),
            ('src/screens/main/bars/minimap_bar.cpp',
             'Control* MinimapControl() { return FormFindControlByTag(g_screens.minimapBar.form, "MINIMAPBOX"); }'),
            ('src/screens/military/silo/missile_popup.cpp', 'constexpr int32_t kSheetListId = 0x2000;'),
            ('src/screens/main/panels/map_filter_panel.cpp',
             'Control* NoValueButton(Control* form) { return form ? FormFindControlByTag(form, kFilterNoValueTag) : nullptr; }'),
            ('src/screens/main/bars/minimap_bar.cpp', 'bool SliderTagged(Control* control, const char* tag) { '
             'return control && control->kind == kKindSlideBar && ControlTagMatches(control->tag, tag); }'),
            ('src/ui/scroller.h', 'inline constexpr uint32_t kScrollArrowsDetached = 0x2000;'),
            ('src/ui/list_control.h', 'inline constexpr uint32_t kListIndicators = 0x2000;'),
        ],
        'refused': [
            ('src/screens/common/units/unit_sheets.cpp',
             'Control* Tag(Control* form, const char* tag) { return FormFindControlByTag(form, tag); }'),
            ('src/screens/frontend/game_menu.cpp',
             'bool Is(const Control* control, const char* tag) { return control && ControlTagMatches(control->tag, tag); }'),
            ('src/screens/economy/research/research_screen.cpp', 'void SetNumber(Control* c, float value) {'),
            ('src/screens/diplomacy/market/world_market_panels.cpp',
             'void SetMoney(Control* c, float value) { SetControlNumberText(1, 0, "", 0, "", 0, value, c); }'),
            ('src/editor/terrain_paint_panel.cpp', 'void Press(Control* c, bool on) {'),
            ('src/screens/main/panels/facility_actions_panel.cpp', 'static void Show(Control* c, bool shown) { SetHidden(c, !shown); }'),
            ('src/screens/economy/policy/policy_figures.h', 'inline void ShowTag(Control* form, const char* tag, bool shown) {'),
            ('src/screens/main/panels/unit_tab_panels.cpp',
             'Control* Id(const Screen& s, int32_t id) { return s.currentForm ? FormFindControlById(s.currentForm, id) : nullptr; }'),
            ('src/screens/economy/policy/policy_figures.cpp',
             'Control* Tagged(const Screen& screen, const char* tag) { return FormFindControlByTag(screen.currentForm, tag); }'),
            ('src/screens/economy/research/tech_list_panels.cpp',
             'bool IsTagged(const Control* c, const char* tag) { return c && ControlTagMatches(c->tag, tag); }'),
            ('src/screens/frontend/waiting_room_rows.cpp',
             'Control* Find(const Screen& screen, const char* tag) { return screen.currentForm ? FormFindControlByTag(screen.currentForm, tag) : nullptr; }'),
            ('src/screens/common/units/build_lists.cpp', 'constexpr uint32_t kListStyle = 0x2000;'),
            ('src/screens/main/panels/production_panels.cpp', 'constexpr uint32_t kProductionListFlags = 0x2000;'),
            ('src/screens/main/panels/settlement_pages.cpp', 'constexpr uint32_t kListStyle = 8192;'),
        ],
    },
    {
        'name': 'local-player',
        'why': 'the local region is LocalPlayer / LocalPlayerIndex of src/world/local_player.h (null / -1 when none)',
        'allowed': [
            ('src/world/local_player.cpp', 'PlayerRecord* LocalPlayer(World& world) {'),
            ('src/world/local_player.h', 'int32_t LocalPlayerIndex(const World& world);'),
            ('src/screens/diplomacy/deals/deal_popup.cpp', '  const PlayerRecord* local = LocalPlayer(g_world);'),
            ('src/screens/economy/status/military_figures.cpp', 'MilitaryFigures LocalMilitaryFigures(const World& world) {'),
            ('src/sim/game_command.cpp', 'GameCommand Local(uint32_t id) {'),
            ('src/screens/main/panels/build_panels_test.cpp',
             '  for (int32_t local : {-1, kMaxPlayers}) g_world.gameState.localPlayer = local;'),
            ('src/world/game_file_read.cpp', '  if (s.localPlayer < 0 || s.localPlayer >= kMaxPlayers) {'),
            ('src/screens/frontend/waiting_room_rows.cpp',
             '  ShowTag(currentForm, "KICKGRID", g_netSession.isHost.load() != 0 && player != w.gameState.localPlayer);'),
        ],
        'refused': [
            ('src/screens/diplomacy/deals/deal_popup.cpp', 'int32_t LocalPlayer() {'),
            ('src/screens/military/operations/defcon_panel.cpp', 'PlayerRecord* Local() {'),
            ('src/screens/frontend/score_card.cpp', 'const PlayerRecord& LocalRecord() {'),
            ('src/units/order_filter.cpp', 'const PlayerRecord& LocalPlayer(const World& world) {'),
            ('src/screens/main/map/map_routes.cpp',
             'bool LocalValid() { return g_world.gameState.localPlayer >= 0 && g_world.gameState.localPlayer < kMaxPlayers; }'),
            ('src/screens/common/facilities/site_figures.cpp',
             '  return world.players[static_cast<uint32_t>(world.gameState.localPlayer) % kMaxPlayers];'),
            ('src/screens/common/units/order_settings.cpp',
             '  const PlayerRecord& player = world.players[world.gameState.localPlayer];'),
            ('src/screens/frontend/campaign_start.cpp',
             '  const int32_t local = state.localPlayer >= 0 && state.localPlayer < kMaxPlayers ? state.localPlayer : 0;'),
        ],
    },
)


def _code(line):
    return line.split('//', 1)[0]


def _takes_its_arguments(match):
    """Whether the wrapper looks up with what it was given (not a fixed tag)."""
    params = {p.strip().split()[-1].lstrip('*&') for p in match.group(1).split(',') if p.strip()}
    used = [g for g in match.groups()[1:] if g]
    return all(u in params for u in used)


def refusal(rule, path, line):
    """Why the line of the file (a path from ROOT) breaks the rule, or None."""
    code = _code(line)
    if rule['name'] == 'panel-words':
        m = WORD_DEFINITION.match(code)
        if m and path not in WORDS_HOMES:
            return f'defines {m.group(1)}: {rule["why"]} (panel-words)'
        m = RENAMED_WORD.match(code)
        if m and path not in WORDS_HOMES and _takes_its_arguments(m):
            return f'a copy of Tag / Id / Is under another name: {rule["why"]} (panel-words)'
        m = LIST_BIT.search(code)
        if m and path != LIST_BIT_HOME:
            return f'defines {m.group(1)}: the lists\' indicator bit is kListIndicators of {LIST_BIT_HOME} (panel-words)'
        return None
    if path in LOCAL_HOMES:
        return None
    m = LOCAL_DEFINITION.match(code)
    if m:
        return f'defines {m.group(1)}: {rule["why"]} (local-player)'
    # A test sets the index out of range to see the rule hold.
    if LOCAL_BOUNDS.search(code) and not path.startswith(LOCAL_EXEMPT) and not path.endswith('_test.cpp'):
        return f'bounds the local index by hand: {rule["why"]} (local-player)'
    return None


def check_samples():
    failures = []
    for rule in RULES:
        for path, line in rule['allowed']:
            if refusal(rule, path, line):
                failures.append(f'{rule["name"]}: allowed sample refused: {path}: {line.strip()}')
        for path, line in rule['refused']:
            if not refusal(rule, path, line):
                failures.append(f'{rule["name"]}: refused sample passed: {path}: {line.strip()}')
    return failures


def joined_lines(f):
    """(number, line) of the file, a line that opens a body read together
    with the next one (a three-line wrapper is one definition)."""
    lines = f.readlines()
    for i, line in enumerate(lines):
        if line.rstrip().endswith('{') and i + 1 < len(lines):
            yield i + 1, line.rstrip() + ' ' + lines[i + 1].strip()
        else:
            yield i + 1, line


def check_file(path, f):
    """The problems of one source file under src/."""
    problems = []
    if not path.startswith('src/'):
        return problems
    for number, line in joined_lines(f):
        for rule in RULES:
            why = refusal(rule, path, line)
            if why:
                problems.append(f'{path}:{number}: {why}')
    return problems
