#pragma once
#include <QStringList>
#include <optional>
#include <string>

class QCommandLineParser;

namespace cli {

// The arguments after the program name as Latin-1 text: one character per
// byte, so an operand goes back to its exact bytes through `Bytes` (file names
// are bytes; a name that is not UTF-8 still opens). Options are plain ASCII.
QStringList ByteArguments(int argc, char** argv);
std::string Bytes(const QString& argument);

// Adds --help and --version to `parser` and parses. The exit status when the
// command is done: 0 after the help or the version on standard output, 2 after
// an unknown option with the usage on standard error; else nothing. Needs a
// QCoreApplication (never a QApplication, so no display is asked for).
std::optional<int> ParseOrFinish(QCommandLineParser& parser, const char* program, int argc, char** argv);

// Prints `problem` and the usage to standard error; the exit status 2.
int UsageError(const QCommandLineParser& parser, const char* program, const QString& problem);

} // namespace cli
