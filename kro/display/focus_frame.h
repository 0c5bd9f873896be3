#pragma once
#include <QWidget>

namespace kro {

// A thin frame in the palette's highlight colour drawn over a stand-in while it
// has the keyboard focus, on top of whatever child widgets draw the stand-in.
// It takes no mouse input and is hidden while the owner has no focus.
class FocusFrame final : public QWidget {
    Q_OBJECT
public:
    explicit FocusFrame(QWidget& owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QWidget& owner_;
};

} // namespace kro
