#include "ondrel/common/clock.h"
#include "ondrel/start_request.h"
#include "ondrel/window/frm_main.h"
#include "ondrel/window/message_box_prompts.h"
#include "ondrel/window/quit_on_signal.h"
#include "ondrel/window/program_components.h"
#include <QApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char** argv)
{
    ondrel::StartRequest request;
    {
        // The command line is read before any QApplication exists, so --help,
        // --version and a usage error need no display.
        QCoreApplication parsing(argc, argv);
        auto parsed = ondrel::ParseStartRequest(argc, argv);
        if (const int* status = std::get_if<int>(&parsed))
            return *status;
        request = std::get<ondrel::StartRequest>(parsed);
    }
    // `ondrel --list-devices` prints what the device choosers offer and exits,
    // with no window: the first check of whether an instrument is found.
    if (request.listDevices) {
        for (const std::string& line : ondrel::ProgramComponents::DeviceLines())
            std::printf("%s\n", line.c_str());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ondrel");
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/hicolor/%1x%1/apps/ondrel.png").arg(size));
    QApplication::setWindowIcon(icon);
    ondrel::QuitOnTerminationSignals();
    ondrel::ProgramComponents components;
    ondrel::MessageBoxPrompts prompts;
    ondrel::MonotonicClock clock;
    ondrel::FrmMain window(components, prompts, clock);
    prompts.setOwner(&window);
    window.show();
    // `ondrel PATH/Project.onp` (or its folder) starts in history mode with that project.
    if (!request.project.empty())
        window.OpenProject(request.project);
    return ondrel::ExecUntilQuit();
}
