// Writes the Windows resource script of the windows (the calculator, the About
// box and the tools' two windows), their menu, its accelerators and the string
// table from the layout tables, so that the Qt window and the Win32
// dialog templates come from one source. Built and run on the build machine
// while the Windows program is cross-built:
//
//   write_rc OUTPUT.rc
//
// The script is UTF-8 (code page 65001); styles are written by their names
// from <windows.h> and <commctrl.h>, which the resource compiler reads.

#include "res/dialog_templates.h"
#include "res/resource.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace meravel::res;

// A quoted resource-script string: '"' is doubled, '\' escaped; UTF-8 bytes
// pass as they are.
std::string Quoted(const char *text)
{
    std::string out = "\"";
    for (const char *c = text; *c; ++c) {
        if (*c == '"')
            out += "\"\"";
        else if (*c == '\\')
            out += "\\\\";
        else
            out += *c;
    }
    return out + "\"";
}

std::string Joined(const std::vector<std::string> &names)
{
    std::string out;
    for (const std::string &name : names)
        out += (out.empty() ? "" : " | ") + name;
    return out.empty() ? "0" : out;
}

std::string Id(int id)
{
    switch (id) {
    case IDC_STATIC:
        return "IDC_STATIC";
    case IDOK:
        return "IDOK";
    case IDCANCEL:
        return "IDCANCEL";
    default:
        return std::to_string(id);
    }
}

// The window class, styles and extended styles of one control.
struct Win32Control
{
    const char *windowClass;
    std::vector<std::string> styles;
    std::vector<std::string> exStyles;
};

// A rule's value when none of the bits under its mask may be set.
constexpr unsigned kNoneSet = 0;

// Each kind of control: its window class, and the style it always has.
struct KindClass
{
    ControlKind kind;
    const char *windowClass;
    const char *style; // nullptr for none
};

constexpr KindClass kClasses[] = {
    {ControlKind::Edit, "EDIT", nullptr},
    {ControlKind::ComboBox, "COMBOBOX", nullptr},
    {ControlKind::UpDown, "msctls_updown32", nullptr},
    {ControlKind::GroupBox, "BUTTON", "BS_GROUPBOX"},
    {ControlKind::Label, "STATIC", nullptr},
    {ControlKind::Icon, "STATIC", "SS_ICON"},
    {ControlKind::Rule, "STATIC", "SS_BLACKFRAME"},
    {ControlKind::PushButton, "BUTTON", nullptr},
    // The window sets the dd/mm/yyyy format when it opens.
    {ControlKind::DatePicker, "SysDateTimePick32", "DTS_SHORTDATEFORMAT"},
    // Drawn by the window (WM_DRAWITEM); a button, so that it takes the
    // focus and a screen reader reaches it by Tab.
    {ControlKind::Plot, "BUTTON", "BS_OWNERDRAW"},
};

// A style written when the control's bits under `mask` equal `value`; for
// one kind of control, or for every kind. In table order, which is the order
// the styles are written in.
struct StyleRule
{
    std::optional<ControlKind> kind; // nothing: every kind
    unsigned mask;
    unsigned value;
    const char *name;
    bool extended;
};

constexpr StyleRule kStyleRules[] = {
    {ControlKind::Edit, kAlignRight, kAlignRight, "ES_RIGHT", false},
    {ControlKind::Edit, kAlignRight | kAlignCenter, kAlignCenter, "ES_CENTER", false},
    {ControlKind::Edit, kAlignRight | kAlignCenter, kNoneSet, "ES_LEFT", false},
    {ControlKind::Edit, kDigitsOnly, kDigitsOnly, "ES_NUMBER", false},
    {ControlKind::Edit, kReadOnly, kReadOnly, "ES_READONLY", false},
    {ControlKind::Edit, kAutoHScroll, kAutoHScroll, "ES_AUTOHSCROLL", false},
    {ControlKind::ComboBox, kDropDownList, kDropDownList, "CBS_DROPDOWNLIST", false},
    {ControlKind::ComboBox, kDropDownList, kNoneSet, "CBS_DROPDOWN", false},
    {ControlKind::ComboBox, kVScroll, kVScroll, "WS_VSCROLL", false},
    {ControlKind::UpDown, kSetBuddyInt, kSetBuddyInt, "UDS_SETBUDDYINT", false},
    {ControlKind::UpDown, kAlignToBuddy, kAlignToBuddy, "UDS_ALIGNRIGHT", false},
    {ControlKind::UpDown, kAutoBuddy, kAutoBuddy, "UDS_AUTOBUDDY", false},
    {ControlKind::UpDown, kArrowKeys, kArrowKeys, "UDS_ARROWKEYS", false},
    {ControlKind::Label, kAlignCenter, kAlignCenter, "SS_CENTER", false},
    {ControlKind::Label, kAlignCenter | kAlignRight, kAlignRight, "SS_RIGHT", false},
    {ControlKind::Label, kAlignCenter | kAlignRight, kNoneSet, "SS_LEFT", false},
    {ControlKind::Label, kCenterVertically, kCenterVertically, "SS_CENTERIMAGE", false},
    {ControlKind::PushButton, kDefaultButton, kDefaultButton, "BS_DEFPUSHBUTTON", false},
    {ControlKind::PushButton, kDefaultButton, kNoneSet, "BS_PUSHBUTTON", false},
    {std::nullopt, kSunkenEdge, kSunkenEdge, "SS_SUNKEN", false},
    {std::nullopt, kBorder, kBorder, "WS_BORDER", false},
    {std::nullopt, kTabStop, kTabStop, "WS_TABSTOP", false},
    {std::nullopt, kStaticEdge, kStaticEdge, "WS_EX_STATICEDGE", true},
    {std::nullopt, kTransparent, kTransparent, "WS_EX_TRANSPARENT", true},
};

Win32Control Translate(const DialogControl &control)
{
    Win32Control out{};
    for (const KindClass &entry : kClasses) {
        if (entry.kind != control.kind)
            continue;
        out.windowClass = entry.windowClass;
        if (entry.style)
            out.styles.push_back(entry.style);
    }
    for (const StyleRule &rule : kStyleRules) {
        if ((!rule.kind || *rule.kind == control.kind) && (control.style & rule.mask) == rule.value)
            (rule.extended ? out.exStyles : out.styles).push_back(rule.name);
    }
    return out;
}

void WriteDialog(std::ostream &rc, const DialogTemplate &dialog, const char *name)
{
    const unsigned s = dialog.style;
    // DS_SETFONT, not DS_SHELLFONT: with DS_SHELLFONT Windows would swap the
    // table's "MS Shell Dlg" for "MS Shell Dlg 2" (Tahoma), of other metrics.
    std::vector<std::string> styles = {"DS_SETFONT", "DS_MODALFRAME", "WS_POPUP", "WS_CAPTION", "WS_SYSMENU"};
    if (s & kDialogVisible)
        styles.push_back("WS_VISIBLE");
    if (s & kDialogMinimizeBox)
        styles.push_back("WS_MINIMIZEBOX");
    if (s & kDialogCentered)
        styles.push_back("DS_CENTER");

    rc << name << " DIALOGEX 0, 0, " << dialog.cx << ", " << dialog.cy << "\n";
    rc << "STYLE " << Joined(styles) << "\n";
    if (s & kDialogAppWindow)
        rc << "EXSTYLE WS_EX_APPWINDOW\n";
    rc << "CAPTION " << Quoted(dialog.caption) << "\n";
    if (dialog.menuId != 0)
        rc << "MENU " << dialog.menuId << "\n";
    rc << "FONT " << dialog.pointSize << ", " << Quoted(dialog.fontFamily) << "\n";
    rc << "BEGIN\n";
    for (const DialogControl &control : dialog.controls) {
        const Win32Control win = Translate(control);
        rc << "    CONTROL ";
        // An icon control names its icon resource by number.
        if (control.kind == ControlKind::Icon)
            rc << IDR_MAIN_ICON;
        else
            rc << Quoted(control.text);
        rc << ", " << Id(control.id) << ", " << Quoted(win.windowClass) << ", " << Joined(win.styles) << ", "
           << control.x << ", " << control.y << ", " << control.cx << ", " << control.cy;
        if (!win.exStyles.empty())
            rc << ", " << Joined(win.exStyles);
        rc << "\n";
    }
    rc << "END\n\n";
}

// Windows writes "Ctrl+Maj+C" in a French menu; the table's shortcuts are
// written as Qt reads them, "Ctrl+Shift+C".
std::string FrenchShortcut(std::string shortcut)
{
    const std::string shift = "Shift+";
    if (const auto at = shortcut.find(shift); at != std::string::npos)
        shortcut.replace(at, shift.size(), "Maj+");
    return shortcut;
}

void WriteMenu(std::ostream &rc, const DialogTemplate &dialog)
{
    rc << dialog.menuId << " MENU\nBEGIN\n";
    for (const MenuPopup &popup : dialog.menus) {
        rc << "    POPUP " << Quoted(popup.title) << "\n    BEGIN\n";
        for (const MenuItem &item : popup.items) {
            if (item.id == 0) {
                rc << "        MENUITEM SEPARATOR\n";
                continue;
            }
            std::string text = item.text;
            // Shown after a tab, as Windows menus show their keys.
            if (item.shortcut && item.scope != ShortcutScope::Linux)
                text += "\t" + FrenchShortcut(item.shortcut);
            rc << "        MENUITEM " << Quoted(text.c_str()) << ", " << item.id << "\n";
        }
        rc << "    END\n";
    }
    rc << "END\n\n";
}

// The menu's shortcuts of both programs as an accelerator table, for
// "Ctrl+[Shift+]LETTER".
void WriteAccelerators(std::ostream &rc, const DialogTemplate &dialog, int id)
{
    rc << id << " ACCELERATORS\nBEGIN\n";
    for (const MenuPopup &popup : dialog.menus) {
        for (const MenuItem &item : popup.items) {
            if (!item.shortcut || item.scope != ShortcutScope::Everywhere)
                continue;
            const std::string shortcut = item.shortcut;
            const char key = shortcut.back();
            rc << "    \"" << key << "\", " << item.id << ", VIRTKEY, CONTROL";
            if (shortcut.find("Shift+") != std::string::npos)
                rc << ", SHIFT";
            rc << "\n";
        }
    }
    rc << "END\n\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: write_rc OUTPUT.rc\n";
        return 2;
    }
    std::ostringstream rc;
    rc << "// Generated from res/dialog_templates.cpp by write_rc: edit the table, not this file.\n\n";
    WriteDialog(rc, kAboutDialog, "IDD_ABOUT");
    WriteDialog(rc, kMainDialog, "IDD_MAIN");
    WriteDialog(rc, kDeliveryAgeDialog, "IDD_DELIVERY_AGE");
    WriteDialog(rc, kRiskCurveDialog, "IDD_RISK_CURVE");
    WriteMenu(rc, kMainDialog);
    WriteAccelerators(rc, kMainDialog, IDR_MAIN_ACCELERATORS);
    rc << "STRINGTABLE\nBEGIN\n";
    for (const StringEntry &entry : kStringTable)
        rc << "    " << entry.id << ", " << Quoted(entry.text) << "\n";
    rc << "END\n";

    std::ofstream out(argv[1], std::ios::binary);
    out << rc.str();
    out.close();
    if (!out) {
        std::cerr << "write_rc: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
