#include "kro/display/accessibility.h"
#include "kro/display/kro_button.h"
#include "kro/display/kro_graph.h"
#include "kro/display/kro_led.h"
#include "kro/display/kro_slider.h"
#include <QAccessible>
#include <QAccessibleWidget>
#include <QSlider>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace kro {
namespace {

// The caption with its mnemonic marks taken out.
QString withoutMnemonics(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

// A stand-in's parts are drawn for it; screen readers see the stand-in alone.
class LeafAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

// The switch as a check box: checked is the position; toggle and press flip
// it as a click does, so the program hears of it.
class SwitchAccessible final : public LeafAccessible {
public:
    explicit SwitchAccessible(KroButton* button) : LeafAccessible(button, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty() && !button()->text().isEmpty())
            return withoutMnemonics(button()->text());
        return LeafAccessible::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = LeafAccessible::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{toggleAction(), pressAction()} + LeafAccessible::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction())
            button()->click(); // does nothing while disabled
        else
            LeafAccessible::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == toggleAction() || action == pressAction())
            return {QStringLiteral("Space")};
        return LeafAccessible::keyBindingsForAction(action);
    }

private:
    KroButton* button() const { return static_cast<KroButton*>(widget()); }
};

// The read-out as a spin box. Its value is the program's to decide, so a value
// set through the interface is refused; increase and decrease press the spin
// buttons, which are its two children ("Increase", "Decrease").
class ReadoutAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ReadoutAccessible(KroLED* led) : QAccessibleWidget(led, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return led()->text();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return 2; }
    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(led()->upButton());
        if (index == 1)
            return QAccessible::queryAccessibleInterface(led()->downButton());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child == nullptr)
            return -1;
        if (child->object() == led()->upButton())
            return 0;
        if (child->object() == led()->downButton())
            return 1;
        return -1;
    }

    QVariant currentValue() const override { return led()->Value(); }
    void setCurrentValue(const QVariant&) override {}
    // Without limits the read-out takes any finite number.
    QVariant minimumValue() const override
    {
        return led()->limited() ? std::min(led()->minimum(), led()->maximum()) : std::numeric_limits<double>::lowest();
    }
    QVariant maximumValue() const override
    {
        return led()->limited() ? std::max(led()->minimum(), led()->maximum()) : std::numeric_limits<double>::max();
    }
    // The program decides each step; no fixed step size.
    QVariant minimumStepSize() const override { return 0.0; }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == increaseAction())
            led()->upButton()->click(); // does nothing while disabled
        else if (action == decreaseAction())
            led()->downButton()->click();
        else
            QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == increaseAction())
            return {QStringLiteral("Up")};
        if (action == decreaseAction())
            return {QStringLiteral("Down")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    KroLED* led() const { return static_cast<KroLED*>(widget()); }
};

// The slider with its value; a value set here is a user move.
class SliderAccessible final : public LeafAccessible, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(KroSlider* slider) : LeafAccessible(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return LeafAccessible::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && slider()->accessibleName().isEmpty() && !slider()->caption().isEmpty())
            return slider()->caption();
        if (t == QAccessible::Value)
            return QString::number(slider()->Value(), 'g', 10);
        return LeafAccessible::text(t);
    }

    QVariant currentValue() const override { return slider()->Value(); }
    void setCurrentValue(const QVariant& value) override
    {
        bool number = false;
        const double wanted = value.toDouble(&number);
        if (!number || !std::isfinite(wanted) || !slider()->isEnabled())
            return;
        const double low = slider()->slider()->minimum();
        const double high = slider()->slider()->maximum();
        slider()->slider()->setValue(static_cast<int>(std::nearbyint(std::clamp(wanted, low, high))));
    }
    QVariant minimumValue() const override { return std::min(slider()->Min(), slider()->Max()); }
    QVariant maximumValue() const override { return std::max(slider()->Min(), slider()->Max()); }
    QVariant minimumStepSize() const override { return slider()->slider()->singleStep(); }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + LeafAccessible::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (!slider()->isEnabled())
            return;
        if (action == increaseAction())
            slider()->slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        else if (action == decreaseAction())
            slider()->slider()->triggerAction(QAbstractSlider::SliderPageStepSub);
        else
            LeafAccessible::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == increaseAction())
            return {QStringLiteral("PgUp")};
        if (action == decreaseAction())
            return {QStringLiteral("PgDown")};
        return LeafAccessible::keyBindingsForAction(action);
    }

private:
    KroSlider* slider() const { return static_cast<KroSlider*>(widget()); }
};

// The chart: named by the window, described by its plots, with the pop-up
// menu behind its show-menu action.
class ChartAccessible final : public LeafAccessible {
public:
    explicit ChartAccessible(KroGraph* graph) : LeafAccessible(graph, QAccessible::Chart) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description) {
            const QString given = graph()->accessibleDescription();
            return given.isEmpty() ? graph()->plotSummary() : given + QStringLiteral(". ") + graph()->plotSummary();
        }
        return LeafAccessible::text(t);
    }

    QStringList actionNames() const override { return QStringList{showMenuAction()} + LeafAccessible::actionNames(); }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            graph()->requestMenu();
        else
            LeafAccessible::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (action == showMenuAction())
            return {QStringLiteral("Menu"), QStringLiteral("Shift+F10")};
        return LeafAccessible::keyBindingsForAction(action);
    }

private:
    KroGraph* graph() const { return static_cast<KroGraph*>(widget()); }
};

QAccessibleInterface* standInInterface(const QString& key, QObject* object)
{
    if (key == QLatin1String(KroButton::staticMetaObject.className()))
        if (auto* button = qobject_cast<KroButton*>(object))
            return new SwitchAccessible(button);
    if (key == QLatin1String(KroLED::staticMetaObject.className()))
        if (auto* led = qobject_cast<KroLED*>(object))
            return new ReadoutAccessible(led);
    if (key == QLatin1String(KroSlider::staticMetaObject.className()))
        if (auto* slider = qobject_cast<KroSlider*>(object))
            return new SliderAccessible(slider);
    if (key == QLatin1String(KroGraph::staticMetaObject.className()))
        if (auto* graph = qobject_cast<KroGraph*>(object))
            return new ChartAccessible(graph);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(standInInterface); });
}

QWidget* withAccessibility(QWidget* parent)
{
    installAccessibility();
    return parent;
}

} // namespace kro
