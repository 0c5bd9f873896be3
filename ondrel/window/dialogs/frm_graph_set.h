#pragma once
#include "ondrel/graph/graph_settings.h"
#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ondrel {

// "Graph Setting": the widgets over GraphSettings. Every handler runs the
// logic and then shows its state again, so the widgets never hold a value of
// their own that OK could miss. Created fresh for each opening.
class FrmGraphSet final : public QDialog {
    Q_OBJECT
public:
    FrmGraphSet(const GraphSettingsParts& parts, QWidget* owner);

    GraphSettings& logic() { return logic_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* BoxFor(const char* name, ondrel::AxisBox box);
    void Show();
    void ShowAxis(const AxisBoxes& axis, QCheckBox* check, QLineEdit* min, QLineEdit* max);
    void BtnApply_Click();

    GraphSettings logic_;
    QListWidget* lstPlots_ = nullptr;
    QPushButton* btnColor_ = nullptr;
    QComboBox* cmbLineStyle_ = nullptr;
    QCheckBox* chkXAutoS_ = nullptr;
    QCheckBox* chkYAutoS_ = nullptr;
    QLineEdit* txtXMin_ = nullptr;
    QLineEdit* txtXMax_ = nullptr;
    QLineEdit* txtYMin_ = nullptr;
    QLineEdit* txtYMax_ = nullptr;
    QHash<QObject*, ondrel::AxisBox> boxes_;
};

} // namespace ondrel
