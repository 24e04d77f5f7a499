#include "app/commandline.h"

#include "platform/filenames.h"
#include "platform/paths.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <shellapi.h>
#else
#include <unistd.h>

#include <cerrno>
#include <vector>
#endif

namespace zq2 {

namespace {

const char* const kCommand = "zq2org";

// The toolkit's own options, which it takes out of the arguments itself once the application object
// is made: the ones every program takes, those of the X11 platform and those of the widget styles.
// They are known here so that the rest can be read before that object exists, which needs a display.
const char* const kToolkitOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "session",
    "display",
    "geometry",
    "title",
    "icon",
    "name",
    "visual",
    "style",
    "stylesheet",
    "qmljsdebugger",
};
const char* const kToolkitSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

// Qt's help text names the program by however it was started (or not at all before the application
// object exists); the first line is replaced so that the usage always names the command.
QString usageText(const QCommandLineParser& parser) {
    const QString text = parser.helpText();
    return QStringLiteral("Usage: %1 [options] [FILE...]").arg(QLatin1String(kCommand)) +
           text.mid(text.indexOf(u'\n'));
}

CommandLineRequest misuse(const QString& reason, const QCommandLineParser& parser) {
    return {CommandLineRequest::Action::Misuse,
            QStringLiteral("%1: %2\n\n").arg(QLatin1String(kCommand), reason) + usageText(parser),
            2,
            {}};
}

void addToolkitOptions(QCommandLineParser& parser) {
    for (const char* name : kToolkitOptionsWithValue) {
        QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kToolkitSwitches) {
        QCommandLineOption option{QString::fromLatin1(name)};
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

bool isAbsolute(const QString& path) {
#ifdef Q_OS_WIN
    return QDir::isAbsolutePath(path);
#else
    return path.startsWith(QLatin1Char('/'));
#endif
}

} // namespace

QStringList programArguments(int argc, char** argv) {
    QStringList arguments;
#ifdef Q_OS_WIN
    // The 8-bit argv loses every character outside the code page; the wide command line has them all.
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        ::LocalFree(wide);
    }
#else
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(decodeFileName(argv[i]));
#endif
    return arguments;
}

QString currentFolder() {
#ifdef Q_OS_WIN
    return QDir::currentPath();
#else
    // QDir::currentPath decodes the folder lossily; getcwd gives its bytes. Paths are far shorter
    // than the largest buffer tried.
    for (std::size_t size = 4096; size <= (std::size_t(1) << 20); size *= 4) {
        std::vector<char> buffer(size);
        if (::getcwd(buffer.data(), buffer.size()))
            return decodeFileName(buffer.data());
        if (errno != ERANGE)
            break;
    }
    return {};
#endif
}

CommandLineRequest readCommandLine(const QStringList& arguments, const QString& workingFolder) {
    QCommandLineParser parser;
    // The toolkit's options are single-dash words ("-platform", "-reverse"); read as bundles of
    // one-letter options they would be taken for -v or -h.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Zeno 2 Organizer keeps order in the folder of the game Zeno Quillback 2\n"
                       "and in its download cache. Each FILE is added to the game folder as if\n"
                       "dropped onto its list; a copy that is running already adds them."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    parser.addOption(help);
    parser.addOption(version);
    addToolkitOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A level, tileset, music file or archive to add to the game folder."),
        QStringLiteral("[FILE...]"));

    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help))
        return {CommandLineRequest::Action::Help, usageText(parser), 0, {}};
    if (parser.isSet(version))
        return {CommandLineRequest::Action::Version,
                QStringLiteral("%1 %2\n").arg(QLatin1String(kCommand), QStringLiteral(ZQ2_VERSION)),
                0,
                {}};
    if (!parsed)
        return misuse(parser.errorText(), parser);

    CommandLineRequest request;
    const QStringList named = parser.positionalArguments();
    request.files.reserve(named.size());
    for (const QString& argument : named) {
        // The running copy that may take these files works in a folder of its own.
        const QString path =
            argument.isEmpty() || isAbsolute(argument) ? argument : joinPath(workingFolder, argument);
        if (!isPlainFile(path))
            return misuse(existsFollowingLinks(path)
                              ? QStringLiteral("'%1' is not a plain file.").arg(displayFileName(argument))
                              : QStringLiteral("No such file '%1'.").arg(displayFileName(argument)),
                          parser);
        request.files.append(path);
    }
    return request;
}

} // namespace zq2
