#pragma once

// What a screen reader gets from a control through MSAA, beyond what
// Windows' own proxy for the control gives it. The proxy names a control
// after the static text before it in the template, which names the age field
// nothing and the results "ans"; here each control of a layout table answers
// with the table's name and description, and, where the window says so,
// with its own value, description or role. Everything else is the proxy's.
//
// The control answers WM_GETOBJECT with an object that wraps the proxy
// (CreateStdAccessibleObject): the way MSAA has always let a program speak
// for its controls, and one that Wine's oleacc honours too.

#include "res/dialog_templates.h"
#include "win32/win32.h"

// After <windows.h>: the roles (ROLE_SYSTEM_...).
#include <oleacc.h>

#include <functional>
#include <string>

namespace meravel {

struct AccessibleFacts
{
    std::wstring name;                      // empty: the proxy's
    std::wstring description;               // empty: the proxy's
    long role = 0;                          // ROLE_SYSTEM_..., 0: the proxy's
    std::function<std::wstring()> value;    // empty: the proxy's
    std::function<std::wstring()> describe; // empty: `description`
};

// The facts a table's row gives: its name and description, and the role its
// kind of control has (a group box is a grouping, a drawn area a chart).
AccessibleFacts FactsOf(const res::DialogControl &control);

// From now until the control is destroyed.
void SetAccessibleFacts(HWND control, AccessibleFacts facts);

// Every control of the dialog that the table names.
void SetAccessibleFacts(HWND dialog, const res::DialogTemplate &table);

// The facts of a control given them, or nullptr.
AccessibleFacts *AccessibleFactsOf(HWND control);

// What tells a screen reader something without moving the focus: an alert of
// no size in the window, named by the text each time it raises the alert.
HWND CreateAnnouncer(HWND window);
void Announce(HWND announcer, const std::string &text);

} // namespace meravel
