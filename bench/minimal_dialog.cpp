// The reference for the start-up benchmark (bench/startup.sh): the least a Qt
// program showing the calculator's window has to do. The same controls in the
// same places, the same window flags, a fixed size, and nothing else: no
// logic (the opening texts are written in), no icon, no translator, no font
// of its own.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QVBoxLayout>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Meravel"));
    dialog.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto *menuBar = new QMenuBar(&dialog);
    QMenu *menu = menuBar->addMenu(QStringLiteral("&Options"));
    menu->addAction(QStringLiteral("&Infos"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Quitter"));

    auto *client = new QWidget(&dialog);
    client->setFixedSize(303, 172);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(menuBar);
    layout->addWidget(client);

    // Frames first, so that they lie behind the fields.
    (new QGroupBox(QStringLiteral("Age de la mère"), client))->setGeometry(8, 8, 98, 57);
    (new QGroupBox(QStringLiteral("Formule"), client))->setGeometry(8, 73, 98, 49);
    (new QGroupBox(QStringLiteral("Probabilité à terme"), client))->setGeometry(120, 8, 173, 57);
    (new QGroupBox(QStringLiteral("En fonction de l'âge gestationnel"), client))->setGeometry(120, 73, 173, 49);

    auto *age = new QLineEdit(QStringLiteral("25"), client);
    age->setGeometry(15, 24, 45, 20);
    (new QLabel(QStringLiteral("ans"), client))->setGeometry(68, 24, 23, 16);
    (new QLabel(QStringLiteral("[18-45]"), client))->setGeometry(20, 47, 38, 16);

    auto *formula = new QComboBox(client);
    formula->addItem(QStringLiteral("Cuckle"));
    formula->addItem(QStringLiteral("Hecht"));
    formula->setGeometry(14, 89, 75, formula->sizeHint().height());

    (new QLineEdit(QStringLiteral("2"), client))->setGeometry(128, 89, 26, 20);
    auto *up = new QToolButton(client);
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(154, 89, 16, 10);
    auto *down = new QToolButton(client);
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(154, 99, 16, 10);
    (new QLabel(QStringLiteral("SA"), client))->setGeometry(174, 93, 15, 16);
    (new QLineEdit(QStringLiteral("1/309"), client))->setGeometry(210, 89, 75, 20);

    (new QLineEdit(QStringLiteral("0.07% soit 1/1408"), client))->setGeometry(128, 24, 158, 20);
    (new QLabel(QStringLiteral("Valeur de référence = 1/250"), client))->setGeometry(140, 46, 135, 15);

    auto *rule = new QFrame(client);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setGeometry(8, 138, 285, 2);
    (new QLineEdit(client))->setGeometry(8, 146, 285, 20);

    age->setFocus();
    age->selectAll();
    return dialog.exec();
}
