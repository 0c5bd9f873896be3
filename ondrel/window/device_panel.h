#pragma once
#include <QGroupBox>

class QCheckBox;
class QPushButton;

namespace ondrel {

// "Device": the settings button and the two save boxes.
class DevicePanel final : public QGroupBox {
    Q_OBJECT
public:
    explicit DevicePanel(QWidget* parent);

    QPushButton* BtnSet() const { return btnSet_; }
    QCheckBox* CkAISave2Disk() const { return ckAISave_; }
    QCheckBox* CkDISave2Disk() const { return ckDISave_; }

signals:
    void aiSaveClicked(bool checked);
    void diSaveClicked(bool checked);

private:
    QPushButton* btnSet_;
    QCheckBox* ckAISave_;
    QCheckBox* ckDISave_;
};

} // namespace ondrel
