#pragma once
#include "ondrel/common/prompts.h"
#include "ondrel/settings/form_view.h"
#include <QDialog>
#include <functional>

namespace ondrel {

// A dialog's controls found by object name, for the IFormView of a dialog.
namespace form_controls {
std::string Text(const QWidget& root, const std::string& name);
void SetText(QWidget& root, const std::string& name, const std::string& text);
bool IsEnabled(const QWidget& root, const std::string& name);
void SetEnabled(QWidget& root, const std::string& name, bool enabled);
bool Checked(const QWidget& root, const std::string& name);
void SetChecked(QWidget& root, const std::string& name, bool checked);
void SetItems(QWidget& root, const std::string& name, const std::vector<std::string>& items);
int Selected(const QWidget& root, const std::string& name);
void Select(QWidget& root, const std::string& name, int position);
void SetRowCount(QWidget& root, const std::string& name, int rows);
void SetCell(QWidget& root, const std::string& name, int row, int column, const std::string& text);

// Runs a handler; what it throws is shown, never let through the event loop.
void Guarded(IPrompts& prompts, const std::function<void()>& handler);
// Calls `lostFocus` with the box's name whenever one of the dialog's text boxes
// loses the focus to another control (not when the window itself loses it, as
// to the message box a check shows). Returns the watcher, which the dialog
// deletes before its controls go.
QObject* OnBoxFocusLoss(QDialog& dialog, std::function<void(const std::string&)> lostFocus);
} // namespace form_controls

// A dialog whose controls the settings logic drives through `View`.
template <typename View>
class FormDialog : public QDialog, public View {
public:
    explicit FormDialog(QWidget* owner) : QDialog(owner) {}

    std::string Text(const std::string& c) const override { return form_controls::Text(*this, c); }
    void SetText(const std::string& c, const std::string& t) override { form_controls::SetText(*this, c, t); }
    bool IsEnabled(const std::string& c) const override { return form_controls::IsEnabled(*this, c); }
    void SetEnabled(const std::string& c, bool e) override { form_controls::SetEnabled(*this, c, e); }
    bool Checked(const std::string& c) const override { return form_controls::Checked(*this, c); }
    void SetChecked(const std::string& c, bool on) override { form_controls::SetChecked(*this, c, on); }
    void SetItems(const std::string& l, const std::vector<std::string>& items) override
    {
        form_controls::SetItems(*this, l, items);
    }
    int Selected(const std::string& l) const override { return form_controls::Selected(*this, l); }
    void Select(const std::string& l, int position) override { form_controls::Select(*this, l, position); }
    void SetRowCount(const std::string& l, int rows) override { form_controls::SetRowCount(*this, l, rows); }
    void SetCell(const std::string& l, int row, int column, const std::string& text) override
    {
        form_controls::SetCell(*this, l, row, column, text);
    }
    void Close() override { accept(); }
};

} // namespace ondrel
