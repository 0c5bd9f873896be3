#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// What the harness says of itself, not of the code under test: the offscreen
// platform lacks window-manager features, and QtTest remarks on a key that a
// test sends on purpose to a control that ignores it (a slider at its end, a
// disabled spin button).
bool FromTheHarness(const QString& message)
{
    return message.startsWith("This plugin does not support")
           || message == "Keyboard event not accepted by receiving widget";
}

// A Qt warning in a test is a fault of the code under test (a control looked
// up by a name the dialog does not have, a connection that cannot be made):
// it fails the test that caused it rather than scrolling past in the log.
void FailOnQtWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || FromTheHarness(message)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return;
    }
    ADD_FAILURE() << "Qt " << (type == QtWarningMsg ? "warning" : "error") << ": " << message.toStdString();
}

} // namespace

// Every test binary runs headless: Qt's offscreen platform unless the caller
// chose another one. A QApplication exists for the whole run, so widget and
// event-loop tests need no set-up of their own.
int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnQtWarning);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
