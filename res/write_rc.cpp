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

Win32Control Translate(const DialogControl &control)
{
    const unsigned s = control.style;
    auto has = [s](unsigned bit) { return (s & bit) != 0; };
    Win32Control out{};
    switch (control.kind) {
    case ControlKind::Edit:
        out.windowClass = "EDIT";
        out.styles.push_back(has(kAlignRight) ? "ES_RIGHT" : has(kAlignCenter) ? "ES_CENTER" : "ES_LEFT");
        if (has(kDigitsOnly))
            out.styles.push_back("ES_NUMBER");
        if (has(kReadOnly))
            out.styles.push_back("ES_READONLY");
        if (has(kAutoHScroll))
            out.styles.push_back("ES_AUTOHSCROLL");
        break;
    case ControlKind::ComboBox:
        out.windowClass = "COMBOBOX";
        out.styles.push_back(has(kDropDownList) ? "CBS_DROPDOWNLIST" : "CBS_DROPDOWN");
        if (has(kVScroll))
            out.styles.push_back("WS_VSCROLL");
        break;
    case ControlKind::UpDown:
        out.windowClass = "msctls_updown32";
        if (has(kSetBuddyInt))
            out.styles.push_back("UDS_SETBUDDYINT");
        if (has(kAlignToBuddy))
            out.styles.push_back("UDS_ALIGNRIGHT");
        if (has(kAutoBuddy))
            out.styles.push_back("UDS_AUTOBUDDY");
        if (has(kArrowKeys))
            out.styles.push_back("UDS_ARROWKEYS");
        break;
    case ControlKind::GroupBox:
        out.windowClass = "BUTTON";
        out.styles.push_back("BS_GROUPBOX");
        break;
    case ControlKind::Label:
        out.windowClass = "STATIC";
        out.styles.push_back(has(kAlignCenter) ? "SS_CENTER" : has(kAlignRight) ? "SS_RIGHT" : "SS_LEFT");
        if (has(kCenterVertically))
            out.styles.push_back("SS_CENTERIMAGE");
        break;
    case ControlKind::Icon:
        out.windowClass = "STATIC";
        out.styles.push_back("SS_ICON");
        break;
    case ControlKind::Rule:
        out.windowClass = "STATIC";
        out.styles.push_back("SS_BLACKFRAME");
        break;
    case ControlKind::PushButton:
        out.windowClass = "BUTTON";
        out.styles.push_back(has(kDefaultButton) ? "BS_DEFPUSHBUTTON" : "BS_PUSHBUTTON");
        break;
    case ControlKind::DatePicker:
        // The window sets the dd/mm/yyyy format when it opens.
        out.windowClass = "SysDateTimePick32";
        out.styles.push_back("DTS_SHORTDATEFORMAT");
        break;
    case ControlKind::Plot:
        // Drawn by the window (WM_DRAWITEM).
        out.windowClass = "STATIC";
        out.styles.push_back("SS_OWNERDRAW");
        break;
    }
    if (has(kSunkenEdge))
        out.styles.push_back("SS_SUNKEN");
    if (has(kBorder))
        out.styles.push_back("WS_BORDER");
    if (has(kTabStop))
        out.styles.push_back("WS_TABSTOP");
    if (has(kStaticEdge))
        out.exStyles.push_back("WS_EX_STATICEDGE");
    if (has(kTransparent))
        out.exStyles.push_back("WS_EX_TRANSPARENT");
    return out;
}

void WriteDialog(std::ostream &rc, const DialogTemplate &dialog, const char *name)
{
    const unsigned s = dialog.style;
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
            if (item.shortcut)
                text += "\t" + FrenchShortcut(item.shortcut);
            rc << "        MENUITEM " << Quoted(text.c_str()) << ", " << item.id << "\n";
        }
        rc << "    END\n";
    }
    rc << "END\n\n";
}

// The menu's shortcuts as an accelerator table, for "Ctrl+[Shift+]LETTER".
void WriteAccelerators(std::ostream &rc, const DialogTemplate &dialog, int id)
{
    rc << id << " ACCELERATORS\nBEGIN\n";
    for (const MenuPopup &popup : dialog.menus) {
        for (const MenuItem &item : popup.items) {
            if (!item.shortcut)
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
