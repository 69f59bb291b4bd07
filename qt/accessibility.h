#pragma once

// What a screen reader gets from the calculator's fields, beyond Qt's own
// accessible interfaces:
// - every field is labelled by the title of the frame around it and by the
//   labels beside it (labelled-by relations), as a sighted user reads them;
// - the formula list is named by its accessible name ("Formule"), its
//   formula being its value, where Qt on Linux would name it by its formula;
// - a digits field and the spin arrows at its right edge are one spin button
//   (the field's name, the owner's range, the position as its value), each
//   step announced as a new value; the arrows are not a control of their own.
//
// The interfaces are made by a factory, for the fields created as children of
// a client widget once EnableFieldAccessibility has marked it: Qt keeps the
// first interface made for a widget, so the mark must come before the fields.

class QWidget;

namespace meravel {

// Marks client: its fields, created from now on, get the interfaces above.
void EnableFieldAccessibility(QWidget *client);

// Ties each label among client's children to its field (QLabel::setBuddy): the
// nearest field inside the same innermost frame (or outside any frame, when
// the label is). A label alone in its frame is left alone.
void TieLabelsToFields(QWidget *client);

} // namespace meravel
