// SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "commandline.h"

#include "checkcommand.h"
#include "helpwindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

CommandLine CommandLine::run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Merrow Editor: fill in a form and get a correct description.ext."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Check each file for mistakes and print them as FILE:LINE:COLUMN: "
                       "severity: message. Exits 0 without errors, 1 with errors, 2 when a "
                       "file cannot be read."));
    parser.addOption(check);
    const QCommandLineOption pedantic(
        QStringLiteral("pedantic"),
        QStringLiteral("With --check: also note what the game accepts but a careful writer "
                       "avoids, such as text without quotes."));
    parser.addOption(pedantic);
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("With --check: how to print what is found: gcc (FILE:LINE:COLUMN: "
                       "severity: message, the default), github (GitHub Actions annotations), "
                       "json or sarif."),
        QStringLiteral("name"), QStringLiteral("gcc"));
    parser.addOption(format);
    const QCommandLineOption maxDiagnostics(
        QStringLiteral("max-diagnostics"),
        QStringLiteral("With --check: print at most N errors and warnings (default 100), then "
                       "say how many more there are; 0 prints all."),
        QStringLiteral("N"), QStringLiteral("100"));
    parser.addOption(maxDiagnostics);
    QCommandLineOption locateHelp(QStringLiteral("locate-help"),
                                  QStringLiteral("Print the help file the help window opens."));
    locateHelp.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(locateHelp);
    parser.addPositionalArgument(
        QStringLiteral("file"),
        QStringLiteral("One description.ext to open into the form; with --check, any number "
                       "of files to check."),
        QStringLiteral("[file | --check file...]"));

    CommandLine result;
    if (!parser.parse(app.arguments())) {
        err << parser.errorText() << '\n'
            << QStringLiteral("Try '%1 --help' for more information.")
                   .arg(QCoreApplication::applicationName())
            << '\n';
        result.exitCode = 2;
        return result;
    }
    // --help-all, which --help lists, adds the toolkit's own options, which this program
    // leaves at their defaults: it prints the same help.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText();
        result.exitCode = 0;
    } else if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n'
            << QStringLiteral(
                   "Licence: GPL-3.0-or-later <https://www.gnu.org/licenses/gpl-3.0.html>")
            << '\n'
            << QStringLiteral("This is free software: you are free to change and redistribute it.")
            << '\n'
            << QStringLiteral("There is NO WARRANTY, to the extent permitted by law.") << '\n';
        result.exitCode = 0;
    } else if (parser.isSet(check)) {
        if (parser.positionalArguments().isEmpty()) {
            err << QStringLiteral("--check needs at least one file.") << '\n';
            result.exitCode = 2;
        } else {
            config::CheckOutput output;
            bool countOk = false;
            const int count = parser.value(maxDiagnostics).toInt(&countOk);
            if (!config::parseCheckFormat(parser.value(format), &output.format)) {
                err << QStringLiteral("Unknown --format '%1': expected %2.")
                           .arg(parser.value(format), config::checkFormatNames())
                    << '\n';
                result.exitCode = 2;
            } else if (!countOk || count < 0) {
                err << QStringLiteral("--max-diagnostics needs a whole number of 0 or more, "
                                      "found '%1'.")
                           .arg(parser.value(maxDiagnostics))
                    << '\n';
                result.exitCode = 2;
            } else {
                output.maxDiagnostics = count;
                result.exitCode = config::runCheck(parser.positionalArguments(), out, {},
                                                   parser.isSet(pedantic), output);
            }
        }
    } else if (parser.isSet(locateHelp)) {
        const QString found = HelpWindow::locateFile();
        if (found.isEmpty()) {
            err << QStringLiteral("No help file %1 in:").arg(HelpWindow::fileName) << '\n';
            for (const QString &place : HelpWindow::searchPlaces())
                err << "  " << place << '\n';
            result.exitCode = 1;
        } else {
            out << found << '\n';
            result.exitCode = 0;
        }
    } else if (parser.positionalArguments().size() > 1) {
        err << QStringLiteral("Only one file can be opened at a time.") << '\n';
        result.exitCode = 2;
    } else if (!parser.positionalArguments().isEmpty()) {
        result.fileToOpen = parser.positionalArguments().first();
    }
    return result;
}

bool CommandLine::displayNamed()
{
#ifdef Q_OS_WIN
    return true; // a Windows session always has its desktop
#else
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith(QLatin1String("xcb")))
        return true;
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return true;
    return platform.isEmpty() && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

QString CommandLine::noDisplayMessage()
{
    return QStringLiteral("merrow-editor cannot open its window because no display can be "
                          "reached; --check, --help and --version work without one.");
}
