#pragma once

#include "keyboardgeometry.h"
#include "placement.h"
#include "programfont.h"
#include "twips.h"

#include <array>
#include <string_view>

// The window's fixed layout, as data: every control's name, place in twips
// and caption. Form1 builds its controls from these tables; tests read them.
namespace ui::layout
{

using widgets::TwipsRect;

inline constexpr int ClientWidth = 8835;
inline constexpr int ClientHeight = 6315;
inline constexpr std::string_view WindowTitle = "ソラミナ　コード一覧";

// Moves that hide by position: below the client area, or into view.
inline constexpr int ParkedTop = 8000;
inline constexpr int ErrorDesignTop = 6480;
inline constexpr int ErrorShownTop = 3350;
inline constexpr int AboutOpenTop = 0;

inline constexpr std::string_view SlotColour = "&hffffff";
inline constexpr std::string_view SelectedSlotColour = "&hff8080";
inline constexpr std::string_view PlayingSlotColour = "&h80c0ff"; // light orange
inline constexpr std::string_view UnknownSlotEdgeColour = "&h1a3c9a"; // red-brown
// A song's box marks: the section's name white on navy, a length in dark grey.
inline constexpr std::string_view SectionMarkColour = "&h804000";
inline constexpr std::string_view LengthMarkTextColour = "&h404040";
using chord::KeyWhiteColour;
using chord::MarkerColour;

// The window's font: a Japanese proportional gothic sized so that every
// caption fits its box at 96 dots per inch.
inline constexpr std::string_view DefaultFontFamily = widgets::FontFamily;
inline constexpr int DefaultFontPixelSize = 11; // at 12 the longest help line overflows
inline constexpr std::string_view ErrorFontFamily = "ＭＳ Ｐゴシック";
inline constexpr int ErrorFontPoints = 72;

struct ControlRow {
    std::string_view name;
    TwipsRect rect;
    std::string_view caption;
};

// Plain labels on the window; nothing refers to most of them.
inline constexpr std::array<ControlRow, 8> WindowLabels {{
    {"Label1", {1440, 120, 255, 255}, "①"},
    {"Label2", {2160, 120, 255, 255}, "②"},
    {"Label14", {4800, 120, 2895, 255}, "♭（フラット）は「b」と入力してください。"},
    {"Label16", {240, 360, 1095, 255}, "入力テキスト"},
    {"Label8", {4800, 360, 3855, 255}, "直接入力は半角で下にあるコードだけ対応です。"},
    {"Label15", {240, 2280, 8415, 255},
        "下のボックスにコードを挿入できます。クリックで挿入ボックスを選んでください。終了ボタンでセ"
        "ーブされます。"},
    {"lblcode", {600, 3600, 1095, 255}, "lblcode"},
    {"Label13", {1800, 3600, 735, 255}, "のコード"},
}};

inline constexpr ControlRow Txtcode1 {"txtcode1", {1440, 360, 735, 270}, "C"};
inline constexpr ControlRow Txtcode2 {"txtcode2", {2160, 360, 855, 270}, "m"};
inline constexpr ControlRow Cmdview {"cmdview", {3120, 360, 1335, 255}, "表示(&V)"};

inline constexpr ControlRow Frame1 {"Frame1", {240, 840, 6975, 615}, "①"};
inline constexpr ControlRow Frame2 {"Frame2", {240, 1440, 6975, 615}, "②"};

// Option buttons: captions and widths; places follow a grid in the frame.
struct ButtonRow {
    std::string_view caption;
    int width;
};

struct ButtonGrid {
    int columns;
    int left;
    int columnStep;
    int top = 120;
    int rowStep = 240;
    int height = 180;
};

inline constexpr ButtonGrid RootGrid {6, 840, 1080};
inline constexpr std::array<ButtonRow, 12> RootButtons {{
    {"C", 615},
    {"C#", 615},
    {"D", 495},
    {"D#", 615},
    {"E", 615},
    {"F", 615},
    {"F#", 495},
    {"G", 495},
    {"G#", 615},
    {"A", 615},
    {"A#", 615},
    {"B", 615},
}};

inline constexpr ButtonGrid KindGrid {7, 840, 840};
inline constexpr std::array<ButtonRow, 14> KindButtons {{
    {"", 615},
    {"m", 615},
    {"7", 615},
    {"m7", 615},
    {"M7", 615},
    {"dim", 615},
    {"m7-5", 975},
    {"aug", 615},
    {"sus4", 855},
    {"7sus4", 855},
    {"6", 615},
    {"add9", 735},
    {"m6", 615},
    {"mM7", 735},
}};
inline constexpr int DesignKindButton = 1; // "m"

constexpr TwipsRect buttonRect(const ButtonGrid &grid, int index, int width)
{
    const int row = index / grid.columns;
    const int column = index % grid.columns;
    return {
        grid.left + grid.columnStep * column, grid.top + grid.rowStep * row, width, grid.height};
}

// The flat names beside the sharp root buttons, in Frame1.
inline constexpr std::array<ControlRow, 5> FlatLabels {{
    {"Label4", {2520, 120, 375, 255}, "/Db"},
    {"Label6", {4680, 120, 375, 255}, "/Eb"},
    {"Label3", {1440, 360, 375, 220}, "/Gb"},
    {"Label5", {3600, 360, 375, 220}, "/Ab"},
    {"Label7", {5760, 360, 375, 220}, "/Bb"},
}};

// Hollow frames around the input strip and the memo area.
inline constexpr std::array<ControlRow, 2> OutlineShapes {{
    {"Shape3", {120, 0, 8655, 735}, ""},
    {"Shape2", {120, 2160, 8655, 1390}, ""},
}};

// Memo slots: 3 rows of 10, neighbours overlapping by one pixel, and the
// scratch slot 30 parked below the client area.
inline constexpr int SlotCount = 31;
inline constexpr int ShownSlots = 30;
inline constexpr int SlotColumns = 10;
inline constexpr std::string_view SlotDesignCaption = "lblslot";

constexpr TwipsRect slotRect(int index)
{
    constexpr int Width = 855;
    constexpr int Height = 255;
    if (index >= ShownSlots)
        return {8520, ParkedTop, Width, Height};
    return {240 + 840 * (index % SlotColumns), 2520 + 360 * (index / SlotColumns), Width, Height};
}

// Keyboard: the white of the keys, its outline and key edges, black keys.
using chord::KeyboardBottom;
using chord::KeyboardLeft;
using chord::KeyboardRight;
using chord::KeyboardTop;
using chord::WhiteKeys;
using chord::WhiteKeyWidth;

// One pixel past the right and bottom edges, so that their lines lie on it.
inline constexpr ControlRow KeyWhite {"Label12",
    {KeyboardLeft, KeyboardTop, KeyboardRight - KeyboardLeft + widgets::TwipsPerPixel,
        KeyboardBottom - KeyboardTop + widgets::TwipsPerPixel},
    ""};

struct LineRow {
    int x1, y1, x2, y2;
};

inline constexpr int LineCount = 3 + WhiteKeys;

// Line1 to Line17: left, top and bottom edges, then each white key's right edge.
constexpr LineRow keyLine(int number)
{
    switch (number) {
    case 1: return {KeyboardLeft, KeyboardTop, KeyboardLeft, KeyboardBottom};
    case 2: return {KeyboardLeft, KeyboardTop, KeyboardRight, KeyboardTop};
    case 3: return {KeyboardLeft, KeyboardBottom, KeyboardRight, KeyboardBottom};
    default: {
        const int x = KeyboardLeft + WhiteKeyWidth * (number - 3);
        return {x, KeyboardTop, x, KeyboardBottom};
    }
    }
}

// Shape1 is indexed out of key order: Shape1(5) is the upper G#.
using chord::BlackKeyHeight;
using chord::BlackKeyLefts;
using chord::BlackKeyWidth;

using chord::MarkerSize;
inline constexpr std::array<int, 4> MarkerDesignLefts {240, 1200, 2160, 3120}; // lower C, E, G, B
inline constexpr int MarkerDesignTop = chord::WhiteKeyMarkerTop;

inline constexpr ControlRow Lblerror {"lblerror", {0, ErrorDesignTop, 7335, 3135}, "ＥＲＲＯＲ"};

// The About panel and what it holds.
inline constexpr ControlRow Frameabout {"frameabout", {0, ParkedTop, 8775, 6255}, "Frame3"};
inline constexpr std::array<ControlRow, 6> AboutLabels {{
    {"lbltitle", {3000, 2160, 1815, 255}, "ソラミナ"},
    {"lblversion", {4920, 2160, 615, 255}, "ver1.00"},
    {"lblright3w", {3000, 2400, 2415, 255}, "© ソラミナの開発者"},
    {"Label9", {3000, 2640, 1575, 255}, "MITライセンス"},
    {"Label10", {3000, 3120, 1695, 255}, "Please visit us online"},
    {"Label11", {3000, 3360, 2895, 255}, "詳しくは README.md をご覧ください"},
}};
inline constexpr ControlRow Cmdreturn {"cmdreturn", {6720, 5640, 1695, 375}, "戻る(&R)"};

struct MenuRow {
    std::string_view menuName;
    std::string_view menuCaption;
    std::string_view itemName;
    std::string_view itemCaption;
};
inline constexpr std::array<MenuRow, 2> Menus {{
    {"file", "フィイル(&F)", "end", "終了(&X)"},
    {"help", "ヘルプ(&H)", "about", "about(&A)"},
}};

// Stacking, front to back. Frames, text boxes and buttons lie in front of the
// labels, shapes and lines of the same container; arrays run as written.
struct StackEntry {
    enum class Naming { Single, Array, Numbered }; // "cmdview", "lblslot(3)", "Line3"
    std::string_view name;
    Naming naming = Naming::Single;
    int first = 0;
    int last = 0;
};
using N = StackEntry::Naming;

inline constexpr StackEntry WindowStacking[] {
    {"frameabout"},
    {"cmdview"},
    {"txtcode1"},
    {"Frame2"},
    {"Frame1"},
    {"txtcode2"},
    {"Label8"},
    {"Shape3"},
    {"Shape2"},
    {"Label16"},
    {"lblslot", N::Array, 30, 30},
    {"Label15"},
    {"lblslot", N::Array, 29, 0},
    {"Label14"},
    {"lblerror"},
    {"Label2"},
    {"Label1"},
    {"shapemaru", N::Array, 3, 0},
    {"Shape1", N::Array, 9, 0},
    {"Line", N::Numbered, 17, 1},
    {"Label12"},
    {"lblcode"},
    {"Label13"},
};
inline constexpr StackEntry Frame1Stacking[] {
    {"opcode1", N::Array, 11, 2},
    {"opcode1", N::Array, 0, 1},
    {"Label3"},
    {"Label4"},
    {"Label7"},
    {"Label6"},
    {"Label5"},
};
inline constexpr StackEntry Frame2Stacking[] {{"opcode2", N::Array, 13, 0}};
inline constexpr StackEntry AboutStacking[] {
    {"cmdreturn"},
    {"lbltitle"},
    {"lblright3w"},
    {"lblversion"},
    {"Label11"},
    {"Label10"},
    {"Label9"},
};

} // namespace ui::layout
