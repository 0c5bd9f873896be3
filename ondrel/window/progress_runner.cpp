#include "ondrel/window/progress_runner.h"
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

namespace ondrel {

void RunWithProgressDialog(QWidget* owner, const std::string& title, const std::function<void(const Progress&)>& work)
{
    std::atomic<int> permille{0};
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work([&](double fraction) {
                permille = static_cast<int>(fraction * 1000.0);
                return !cancelled.load();
            });
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
    });

    QProgressDialog dialog(QString::fromStdString(title), "Cancel", 0, 1000, owner);
    dialog.setWindowTitle(QString::fromStdString(title));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(500); // shows itself once the work has taken that long
    QObject::connect(&dialog, &QProgressDialog::canceled, [&] { cancelled = true; });
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done) {
            loop.quit();
            return;
        }
        dialog.setValue(permille.load());
    });
    poll.start(30);
    // Until the dialog shows, nothing the operator does reaches the window.
    while (!done && clock.elapsed() < 500)
        loop.processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 30);
    if (!done)
        loop.exec();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace ondrel
