#include "ondrel/window/dialogs/form_controls.h"
#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <stdexcept>

namespace ondrel::form_controls {

namespace {

// A name the dialog does not have, or a control of another kind, is a
// programming error: it throws, so the handler that asked is shown failing
// (and a test fails) instead of going on as if the control had answered.
template <typename T = QWidget>
T* Find(const QWidget& root, const std::string& name)
{
    auto* widget = root.findChild<T*>(QString::fromStdString(name));
    if (widget == nullptr)
        throw std::logic_error(root.objectName().toStdString() + " has no control " + name);
    return widget;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

class FocusLossFilter final : public QObject {
public:
    FocusLossFilter(QObject* parent, std::function<void(const std::string&)> lostFocus)
        : QObject(parent), lostFocus_(std::move(lostFocus))
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                lostFocus_(watched->objectName().toStdString());
        }
        return false;
    }

private:
    std::function<void(const std::string&)> lostFocus_;
};

} // namespace

std::string Text(const QWidget& root, const std::string& name)
{
    QWidget* w = Find(root, name);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().toStdString();
    if (auto* frame = qobject_cast<QGroupBox*>(w))
        return frame->title().toStdString();
    throw std::logic_error(name + " has no text");
}

void SetText(QWidget& root, const std::string& name, const std::string& text)
{
    QWidget* w = Find(root, name);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(Q(text));
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(Q(text));
    else
        throw std::logic_error(name + " is not a box or a label");
}

bool IsEnabled(const QWidget& root, const std::string& name) { return Find(root, name)->isEnabled(); }

// A control disabled by itself stays disabled when its frame comes back.
void SetEnabled(QWidget& root, const std::string& name, bool enabled) { Find(root, name)->setEnabled(enabled); }

bool Checked(const QWidget& root, const std::string& name) { return Find<QAbstractButton>(root, name)->isChecked(); }

void SetChecked(QWidget& root, const std::string& name, bool checked)
{
    Find<QAbstractButton>(root, name)->setChecked(checked);
}

void SetItems(QWidget& root, const std::string& name, const std::vector<std::string>& items)
{
    auto* list = Find<QComboBox>(root, name);
    list->clear();
    for (const std::string& item : items)
        list->addItem(Q(item));
    list->setCurrentIndex(-1);
}

int Selected(const QWidget& root, const std::string& name) { return Find<QComboBox>(root, name)->currentIndex(); }

void Select(QWidget& root, const std::string& name, int position)
{
    auto* list = Find<QComboBox>(root, name);
    list->setCurrentIndex(position >= 0 && position < list->count() ? position : -1);
}

void SetRowCount(QWidget& root, const std::string& name, int rows)
{
    auto* list = Find<QTreeWidget>(root, name);
    list->clear();
    for (int r = 0; r < rows; ++r)
        list->addTopLevelItem(new QTreeWidgetItem(list));
}

void SetCell(QWidget& root, const std::string& name, int row, int column, const std::string& text)
{
    auto* list = Find<QTreeWidget>(root, name);
    if (row < 0 || row >= list->topLevelItemCount())
        throw std::logic_error(name + " has no row " + std::to_string(row));
    list->topLevelItem(row)->setText(column, Q(text));
}

void Guarded(IPrompts& prompts, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        prompts.MsgBox(error.what(), "");
    }
}

QObject* OnBoxFocusLoss(QDialog& dialog, std::function<void(const std::string&)> lostFocus)
{
    auto* filter = new FocusLossFilter(&dialog, std::move(lostFocus));
    for (QLineEdit* box : dialog.findChildren<QLineEdit*>())
        box->installEventFilter(filter);
    return filter;
}

} // namespace ondrel::form_controls
