#include "app/commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace zq2 {

namespace {

const char* const kCommand = "zq2org";

// Qt's help text names the program by however it was started (or not at all before the application
// object exists); the first line is replaced so that the usage always names the command.
QString usageText(const QCommandLineParser& parser) {
    const QString text = parser.helpText();
    return QStringLiteral("Usage: %1 [options]").arg(QLatin1String(kCommand)) + text.mid(text.indexOf(u'\n'));
}

CommandLineRequest misuse(const QString& reason, const QCommandLineParser& parser) {
    return {CommandLineRequest::Action::Misuse,
            QStringLiteral("%1: %2\n\n").arg(QLatin1String(kCommand), reason) + usageText(parser), 2};
}

} // namespace

CommandLineRequest readCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options are single-dash words ("-platform", "-reverse"); read as bundles of one-letter
    // options they would be taken for -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Zeno 2 Organizer keeps order in the folder of the game "
                                                    "Zeno Quillback 2 and in its download cache."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    parser.addOption(help);
    parser.addOption(version);

    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help))
        return {CommandLineRequest::Action::Help, usageText(parser), 0};
    if (parser.isSet(version))
        return {CommandLineRequest::Action::Version,
                QStringLiteral("%1 %2\n").arg(QLatin1String(kCommand), QStringLiteral(ZQ2_VERSION)), 0};
    if (!parsed)
        return misuse(parser.errorText(), parser);
    if (!parser.positionalArguments().isEmpty())
        return misuse(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()),
            parser);
    return {};
}

} // namespace zq2
