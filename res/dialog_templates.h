#pragma once

// The windows as data (the calculator, the About box and the tools' two
// windows), their menu and strings: each control with its text, rectangle in
// dialog units and styles, in template order (which is also the tab order). The
// window code builds widgets from these tables and never places a control by
// hand, so a designer changes the layout here and nowhere else.
//
// A dialog unit is a quarter of the dialog font's average character width
// horizontally and an eighth of its height vertically. Text of the same
// dialog units is wider in some faces than in others (Tahoma, which Wine
// gives for "MS Shell Dlg", by up to a tenth): a label's rectangle reaches
// into the free room after its text, up to the next control.

#include <span>

namespace meravel::res {

enum class ControlKind {
    Edit,       // one-line text field
    ComboBox,   // drop-down list, choose only
    UpDown,     // spin arrows at the right edge of the control before it
    GroupBox,   // frame with a title
    Label,      // static text
    Icon,       // the application icon
    Rule,       // sunken horizontal line
    PushButton, // push button
    DatePicker, // a date, shown as dd/mm/yyyy, with a calendar to pick it
    Plot,       // an area the window draws itself
};

// Style bits, combined with |.
enum ControlStyle : unsigned {
    kAlignLeft = 1u << 0,
    kAlignCenter = 1u << 1,
    kAlignRight = 1u << 2,
    kCenterVertically = 1u << 3,
    kTabStop = 1u << 4,
    kBorder = 1u << 5,
    kReadOnly = 1u << 6,
    kDigitsOnly = 1u << 7,
    kAutoHScroll = 1u << 8,
    kDropDownList = 1u << 9,
    kVScroll = 1u << 10,
    kSunkenEdge = 1u << 11,
    kStaticEdge = 1u << 12,
    kTransparent = 1u << 13,
    kDefaultButton = 1u << 14,
    kSetBuddyInt = 1u << 15,
    kAlignToBuddy = 1u << 16,
    kAutoBuddy = 1u << 17,
    kArrowKeys = 1u << 18,
};

struct DialogControl
{
    ControlKind kind;
    int id;                       // IDC_..., IDOK, or IDC_STATIC
    const char *objectName;       // the identifier's name, empty for statics
    const char *text;             // shown text, UTF-8
    int x, y, cx, cy;             // rectangle in dialog units
    unsigned style;               // ControlStyle bits
    const char *accessibleName;   // what a screen reader says, UTF-8
    const char *description = ""; // what a screen reader adds, UTF-8
    int labelFor = 0;             // a label: the field it names, 0 for none
};

// Where a menu item's shortcut is a key of the program, and is shown beside
// the item.
enum class ShortcutScope {
    Everywhere, // a key of both programs: an accelerator on Windows
    Help,       // F1: Windows' dialog manager already sends it as the Help command; Qt binds it to the item
    Linux,      // a key of the Linux desktops' guidelines (Ctrl+Q quits): the Windows menu neither shows nor binds it
};

struct MenuItem
{
    int id;           // the command, 0 for a separator
    const char *name; // the identifier's name, empty for a separator
    const char *text;
    const char *shortcut = nullptr; // as Qt reads it, e.g. "Ctrl+Shift+C", or nullptr
    ShortcutScope scope = ShortcutScope::Everywhere;
};

// One drop-down of a menu bar.
struct MenuPopup
{
    const char *title;
    std::span<const MenuItem> items;
};

// Window style bits of a dialog, combined with |. Every dialog has a caption,
// a system menu and a fixed, non-sizing frame.
enum DialogStyle : unsigned {
    kDialogVisible = 1u << 0,     // shown as soon as it is created
    kDialogMinimizeBox = 1u << 1, // a minimise button; never a maximise button
    kDialogCentered = 1u << 2,    // centred on the screen
    kDialogAppWindow = 1u << 3,   // its own task-bar entry
};

struct DialogTemplate
{
    int id;
    unsigned style; // DialogStyle bits
    const char *caption;
    int cx, cy;             // client size in dialog units
    const char *fontFamily; // a Windows face; Qt uses the desktop's
    int pointSize;
    std::span<const DialogControl> controls;
    int menuId; // the menu bar's identifier, 0 for none
    std::span<const MenuPopup> menus;
};

// The calculator window, IDD_MAIN.
extern const DialogTemplate kMainDialog;
// The About box, IDD_ABOUT.
extern const DialogTemplate kAboutDialog;
// The age at the expected date of delivery, from two dates: IDD_DELIVERY_AGE.
extern const DialogTemplate kDeliveryAgeDialog;
// The risk curve, IDD_RISK_CURVE.
extern const DialogTemplate kRiskCurveDialog;

// The window of this IDD_... identifier, or nullptr.
const DialogTemplate *DialogTemplateById(int id);

// Initial entries of the formula list, in order; their indices are the
// formula values.
extern const std::span<const char *const> kFormulaEntries;

// String table.
// IDS_ABOUT_ITEM: the About item of the window's system menu.
extern const char *const kAboutItemText;

struct StringEntry
{
    int id;
    const char *text;
};
extern const std::span<const StringEntry> kStringTable;

} // namespace meravel::res
