#pragma once
// The toolkit's and the world's types that the panels' headers name only by
// pointer or reference, declared once for every panel.
class Control;
class ListBoxControl;
class MapView;
class Screen;
class SlideBarControl;
class StringControl;
class TextBoxControl;
class Texture;

struct GameState;
struct HexCell;
struct HexPosition;
struct HexUnitStack;
struct ListHolder;
struct PlayerMessage;
struct PlayerRecord;
struct ScreenManager;
struct ScreenSet;
struct UiOptions;
struct UnitClassRecord;
struct UnitRecord;
struct World;
