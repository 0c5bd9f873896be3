#pragma once
#include <QObject>

class QPushButton;
class QWidget;

namespace ondrel {

// The command buttons along the window's bottom edge: Start/Stop, the mode
// switch, Save As and Exit. They sit on the window itself, not in a frame.
class CommandButtons final : public QObject {
    Q_OBJECT
public:
    explicit CommandButtons(QWidget* window);

    QPushButton* BtnStart() const { return start_; }
    QPushButton* BtnModeSwitch() const { return modeSwitch_; }
    QPushButton* BtnSaveAs() const { return saveAs_; }
    QPushButton* BtnExit() const { return exit_; }

private:
    QPushButton* start_;
    QPushButton* modeSwitch_;
    QPushButton* saveAs_;
    QPushButton* exit_;
};

} // namespace ondrel
