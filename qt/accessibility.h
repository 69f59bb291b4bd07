#pragma once

// What a screen reader needs from the windows that Qt's own accessibility
// (Qt 6.4, over AT-SPI, read by Orca) does not give. The fields are standard
// widgets: each is named by its accessible name, labelled by the title of the
// group box it sits in and by the labels whose buddy it is, and the weeks
// field is a spin box. What remains:
// - a drop-down list: Qt names it by its entry ("Cuckle") and gives Orca
//   neither the entry nor its changes; here it is named by its accessible
//   name ("Formule"), its entry being its value and its description;
// - a one-line field: Qt reports its text's attributes in empty runs, and
//   Orca then reads a figure without its last digit ("1/140" for "1/1408");
//   and asking for the word or the sentence at the end of the text hangs
//   the program; here the text is one run and nothing is sought past it;
// - telling something without moving the focus: Qt 6.4 has no announcement;
//   a notification that appears is read out (Announcer).

#include <QWidget>

namespace meravel {

// Once, before the first drop-down list is made.
void InstallAccessibility();

// Tells a screen reader something without moving the focus: a notification
// that appears with the text as its name. It takes no room in the window.
class Announcer : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent);
    void Announce(const QString &text);
    const QString &Text() const { return m_text; }

private:
    QString m_text;
};

} // namespace meravel
