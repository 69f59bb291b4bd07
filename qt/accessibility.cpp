#include "qt/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace meravel {

namespace {

// A drop-down list to choose from: named by its accessible name, its choice
// being its value; its one child the list that drops down.
class ListAccessible : public QAccessibleWidget
{
public:
    explicit ListAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }

    QComboBox *Combo() const { return static_cast<QComboBox *>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 1; }

    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == Combo()->view() ? 0 : -1;
    }

    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
        } else if (Combo()->view()->isVisible()) {
            Combo()->hidePopup();
        } else {
            Combo()->showPopup();
        }
    }
};

QAccessibleInterface *ListFactory(const QString &className, QObject *object)
{
    auto *combo = qobject_cast<QComboBox *>(object);
    if (combo && className == QLatin1String("QComboBox"))
        return new ListAccessible(combo);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    // Qt keeps one of each factory.
    QAccessible::installFactory(ListFactory);
}

} // namespace meravel
