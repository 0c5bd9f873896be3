#pragma once
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace ondrel::testing {

// Answers modal dialogs as an operator would: each step runs on the dialog of
// its name once that dialog is the active modal window, in order. A dialog
// nobody answers is cancelled after a few seconds and the test fails.
class ModalSteps {
public:
    using Step = std::function<void(QDialog&)>;

    void Then(const std::string& dialog, Step step)
    {
        steps_.push_back({dialog, std::move(step)});
        if (!polling_) {
            polling_ = true;
            Schedule();
        }
    }
    bool Done() const { return steps_.empty(); }

private:
    // Every poll is a timer of its own, so it fires inside the modal loop a
    // step itself opened.
    void Schedule()
    {
        QTimer::singleShot(10, &context_, [this] { Poll(); });
    }

    void Poll()
    {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (modal == nullptr || !modal->isVisible()) {
            unanswered_ = 0;
        } else if (!steps_.empty() && modal->objectName().toStdString() == steps_.front().dialog) {
            Step step = std::move(steps_.front().step);
            steps_.pop_front();
            unanswered_ = 0;
            Schedule();
            step(*modal);
            return;
        } else if (++unanswered_ > 500) {
            ADD_FAILURE() << "nobody answered " << modal->objectName().toStdString();
            modal->reject();
            unanswered_ = 0;
        }
        if (steps_.empty() && modal == nullptr) {
            polling_ = false;
            return;
        }
        Schedule();
    }

    struct Pending {
        std::string dialog;
        Step step;
    };
    std::deque<Pending> steps_;
    QObject context_;
    bool polling_ = false;
    int unanswered_ = 0;
};

} // namespace ondrel::testing
