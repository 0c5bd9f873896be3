#include "tools/cli/qt_command_line.h"
#include "tools/cli/version.h"
#include <QCommandLineParser>
#include <cstdio>

namespace cli {

QStringList ByteArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    return arguments;
}

std::string Bytes(const QString& argument) { return argument.toLatin1().toStdString(); }

std::optional<int> ParseOrFinish(QCommandLineParser& parser, const char* program, int argc, char** argv)
{
    // Not Qt's own --help, which also offers --help-all and the options of a
    // QApplication: none is read here, the QT_* environment variables serve.
    const QCommandLineOption help({"h", "help"}, "Print this help and exit.");
    const QCommandLineOption version({"v", "version"}, "Print the version and exit.");
    parser.addOptions({help, version});
    if (!parser.parse(ByteArguments(argc, argv)))
        return UsageError(parser, program, parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", program, ONDREL_VERSION);
        return 0;
    }
    return std::nullopt;
}

int UsageError(const QCommandLineParser& parser, const char* program, const QString& problem)
{
    // The problem may quote an argument: back to its bytes, as the terminal sent them.
    std::fprintf(stderr, "%s: %s\n%s", program, problem.toLatin1().constData(),
                 parser.helpText().toLocal8Bit().constData());
    return 2;
}

} // namespace cli
