#include "ondrel/session/clock.h"
#include "ondrel/window/frm_main.h"
#include "ondrel/window/message_box_prompts.h"
#include "ondrel/window/quit_on_signal.h"
#include "ondrel/window/simulated_components.h"
#include <QApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // `ondrel --list-devices` prints what the device choosers offer and exits,
    // with no window: the first check of whether an instrument is found.
    if (argc == 2 && std::strcmp(argv[1], "--list-devices") == 0) {
        for (const std::string& line : ondrel::SimulatedComponents::DeviceLines())
            std::printf("%s\n", line.c_str());
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ondrel");
    ondrel::QuitOnTerminationSignals();
    ondrel::SimulatedComponents components;
    ondrel::MessageBoxPrompts prompts;
    ondrel::MonotonicClock clock;
    ondrel::FrmMain window(components, prompts, clock);
    prompts.setOwner(&window);
    window.show();
    // `ondrel PATH/Project.onp` starts in history mode with that project.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.OpenProject(arguments.at(1).toStdString());
    return QApplication::exec();
}
