// What a screen reader and voice control find in each window, read in-process from Qt's accessibility
// tree, and how the keyboard moves through the window and shows where it is.
#include "app/widgets/aboutbox.h"
#include "app/widgets/findwindow.h"
#include "app/widgets/mainwindow.h"
#include "app/widgets/shelfwindow.h"
#include "app/widgets/splash.h"
#include "app/widgets/unattended.h"
#include "appearance/colours.h"
#include "appearance/tooltips.h"
#include "appearance/widgets/focusstyle.h"
#include "catalogue/titlecache.h"
#include "config/widgets/prefsdialog.h"
#include "config/widgets/settingsdialog.h"
#include "restore/widgets/restoredialog.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

using Names = QMap<QString, QString>; // object name -> the accessible name it must have

namespace {

// The text a control shows ("&" marks an access key, "&&" shows one), empty when it shows none.
QString visibleText(QObject* object) {
    QString text = object->property(qobject_cast<QGroupBox*>(object) ? "title" : "text").toString();
    return qobject_cast<QLineEdit*>(object) ? QString()
                                            : text.replace("&&", "\1").remove('&').replace('\1', '&');
}

void collect(QAccessibleInterface* iface, QList<QAccessibleInterface*>& out) {
    out << iface;
    // A drop-down's entries and a list's rows are its contents, not controls.
    if (iface->tableInterface() || qobject_cast<QComboBox*>(iface->object()))
        return;
    for (int i = 0; i < iface->childCount(); ++i)
        collect(iface->child(i), out);
}

// Whether the focus shows: enough of the control changes, by a contrast the eye catches, when the
// focus is on it.
bool focusShows(const QImage& focused, const QImage& unfocused) {
    int seen = 0;
    for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x)
            seen += contrastRatio(focused.pixelColor(x, y), unfocused.pixelColor(x, y)) >= 3.0;
    return seen >= 20;
}

QString tooltipFor(const QString& objectName, bool tipsOn) {
    for (const TooltipEntry& entry : tooltipTable())
        if (tipsOn && objectName == QLatin1String(entry.objectName))
            return entry.text;
    return {};
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> app_, game_; // fresh for each test
    test::ScriptedPrompter prompter_;
    UnattendedDialogs dialogs_;
    std::shared_ptr<TitleCache> titles_ = std::make_shared<TitleCache>();

    std::unique_ptr<QWidget> open(const QString& window, const SkinValues& skin) {
        if (window == "main") {
            auto main = std::make_unique<MainWindow>(portableFolders(app_->path()), prompter_, dialogs_);
            main->Form_Load();
            return main;
        }
        if (window == "settings")
            return std::make_unique<SettingsDialog>(portableFolders(app_->path()), prompter_, QString());
        if (window == "restore")
            return std::make_unique<RestoreDialog>(game_->path(), "D:", prompter_, skin);
        if (window == "about")
            return std::make_unique<AboutBox>(QString(), prompter_);
        if (window == "splash")
            return std::make_unique<Splash>(3600 * 1000);
        if (window == "shelf") {
            auto shelf = std::make_unique<ShelfWindow>(prompter_, *titles_);
            shelf->setFilterEntries({"*.z2l", "*.z2t"});
            shelf->setGameFolder(game_->path());
            shelf->shelfView_Click();
            shelf->setLevelsInGame(256);
            shelf->selectFile("Alpha.z2l");
            return shelf;
        }
        if (window == "find") {
            const QString game = game_->path();
            auto find = std::make_unique<FindWindow>(
                QList<FindFolder>{{FilePlace::Game, game}, {FilePlace::Cache, game + "/cache"}},
                "*.z2l;*.z2t", titles_);
            if (!find->isReady())
                QSignalSpy(find.get(), &FindWindow::ready).wait();
            find->findChild<QLineEdit*>("findText")->setText("a");
            return find;
        }
        auto prefs = std::make_unique<PrefsDialog>(app_->path(), prompter_, skin);
        // The skin path and its Browse button take their turn in the tabbing, and a pattern is
        // chosen, to see its row on the skin's colour.
        prefs->findChild<QCheckBox*>("useSkin")->click();
        prefs->findChild<QListWidget*>("extList")->setCurrentRow(1);
        return prefs;
    }

private slots:
    void initTestCase() { useFocusVisibleStyle(); }
    void init() {
        app_.emplace();
        game_.emplace();
    }

    void window_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("levels");
        QTest::addColumn<bool>("tips");
        QTest::addColumn<ColourValue>("skin");    // the dialogs' skin colour
        QTest::addColumn<Names>("names");         // names that must be heard exactly so
        QTest::addColumn<QStringList>("tabbing"); // the controls that Tab visits, in order
        const QStringList mainTabbing{"zq2Files", "zq2Cache",  "delZQ2",  "delCache",
                                      "seeFile",  "cacheCopy", "zq2View", "cacheView"};
        Names main{{"zq2Title", "Title: First Steps"}, {"zq2Size", "Size: 500 Bytes"},
                   {"delZQ2", "Delete Alpha.z2l"},     {"seeFile", "Play Alpha.z2l"},
                   {"delCache", "Delete bonus&1.z2t"}, {"cacheCopy", "<- Copy to ZQ2 folder"},
                   {"zq2Form", "Zeno 2 Organizer"},    {"lvlStatus", "Levels: 256, over the limit"}};
        QTest::newRow("main, over the limit, tips on")
            << "main" << 256 << true << kFaceColour << main << mainTabbing;
        main["lvlStatus"] = "Levels: 255";
        QTest::newRow("main, within the limit, tips off")
            << "main" << 255 << false << kFaceColour << main << mainTabbing;
        QTest::newRow("settings") << "settings" << 1 << true << kFaceColour
                                  << Names{{"ZQ2dir", "Zeno2 Directory:"}, {"CDdir", "CD-ROM Drive Letter:"}}
                                  << QStringList{"ZQ2dir", "zq2Browse", "CancelBtn", "OKbtn", "CDdir"};
        const QStringList prefsTabbing{"useSkin", "skinDir", "browseSkin", "useTips",  "warnMax",  "extText",
                                       "addExt",  "extList", "removeExt",  "Command4", "Command5", "disDel"};
        // The dialogs on the skin colours where a focus mark is hardest to see; on the face colour of
        // the other windows it is seen there. A skin makefile that stops early leaves the dialogs'
        // colour at 0, black.
        QTest::newRow("preferences, black")
            << "preferences" << 1 << true << ColourValue(0) << Names{{"useSkin", "Use Skin"}} << prefsTabbing;
        const QStringList restoreTabbing{"Lvls",   "Tiles",        "Music",    "ZQ2",
                                         "ZLE",    "ZLEini",       "Vid",      "Episodes",
                                         "Macros", "autoOvrWrite", "Command2", "Command1"};
        // 8000000D is the selection colour itself.
        QTest::newRow("restore, selection colour")
            << "restore" << 1 << true << ColourValue(0x8000000D)
            << Names{{"zq2Restore", "Zeno 2 Organizer - Restore Zeno 2 Game Files"}} << restoreTabbing;
        QTest::newRow("about") << "about" << 1 << true << kFaceColour << Names{{"Image2", "Credits"}}
                               << QStringList{"okButton"};
        // The Level Shelf holds Alpha.z2l on a game folder of 256 levels.
        QTest::newRow("shelf") << "shelf" << 256 << true << kFaceColour
                               << Names{{"zq2Shelf", "Zeno 2 Organizer - Level Shelf"},
                                        {"shelfFiles", "Files on the Level Shelf"},
                                        {"shelfTitle", "Title: First Steps"},
                                        {"roomStatus", "Levels in the game: 256 of 255. 1 too many."}}
                               << QStringList{"shelfFiles", "putBack", "delShelf", "closeShelf", "shelfView"};
        QTest::newRow("find") << "find" << 1 << true << kFaceColour
                              << Names{{"zq2Find", "Zeno 2 Organizer - Find"},
                                       {"findText", "Find by name or title"},
                                       {"findResults", "Files found"},
                                       {"findStatus", "1 file found."}}
                              << QStringList{"findText", "findResults", "goTo", "closeFind"};
        QTest::newRow("splash") << "splash" << 1 << true << kFaceColour
                                << Names{{"picture", "Zeno 2 Organizer"}} << QStringList{};
    }

    void window() {
        QFETCH(QString, window);
        QFETCH(int, levels);
        QFETCH(bool, tips);
        QFETCH(ColourValue, skin);
        QFETCH(Names, names);
        QFETCH(QStringList, tabbing);
        test::writeFile(game_->path() + (window == "shelf" ? "/shelf" : ""), "Alpha.z2l",
                        test::levelBytes("First Steps"));
        for (int i = 1; i < levels; ++i)
            test::writeFile(game_->path(), QStringLiteral("lvl%1.z2l").arg(i));
        test::writeFile(game_->path() + "/cache", "bonus&1.z2t");
        test::writeFile(app_->path(), "settings.ini", QFile::encodeName(game_->path()) + "\r\nD:");
        test::writeFile(app_->path(), "preferences.ini",
                        QByteArray("USESKIN=NO\r\n\r\nUSETIPS=") + (tips ? "YES" : "NO") +
                            "\r\n\r\n\r\n*.z2l\r\n*.z2t");
        const std::unique_ptr<QWidget> shown = open(window, {{}, skin, {}, {}, skin, skin, {}});
        shown->show();
        QVERIFY(QTest::qWaitForWindowActive(shown.get()));

        QList<QAccessibleInterface*> tree;
        collect(QAccessible::queryAccessibleInterface(shown.get()), tree);
        Names heard;
        for (QAccessibleInterface* iface : tree) {
            auto* widget = qobject_cast<QWidget*>(iface->object());
            if (widget == nullptr)
                continue; // menu items, which Qt names by their captions
            const QString id = widget->objectName(), name = iface->text(QAccessible::Name);
            heard.insert(id, name);
            // A control is heard by the text it shows, so that voice control finds it by that text;
            // one without text (list, drop-down, text box, picture) by a name of its own or its label.
            const QString text = visibleText(widget);
            const bool textless = qobject_cast<QAbstractItemView*>(widget) ||
                                  qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                                  (qobject_cast<QLabel*>(widget) && text.isEmpty());
            const bool labelled = !iface->relations(QAccessible::Label).isEmpty();
            QVERIFY2(textless ? !name.isEmpty() && (labelled || !widget->accessibleName().isEmpty())
                              : name.contains(text),
                     qPrintable(id + " is heard as \"" + name + "\""));
            // A drop-down still tells its chosen entry.
            if (auto* combo = qobject_cast<QComboBox*>(widget))
                QCOMPARE(iface->text(QAccessible::Value), combo->currentText());
            // Tooltips, heard as descriptions, are there exactly while tips are on, and only on the
            // eight controls of the main window.
            QCOMPARE(widget->toolTip(), tooltipFor(id, tips));
            if (!tooltipFor(id, true).isEmpty())
                QCOMPARE(iface->text(QAccessible::Description), tooltipFor(id, tips));
            // A selected row keeps the desktop's selection colour, whatever the skin.
            if (auto* view = qobject_cast<QAbstractItemView*>(widget);
                view && view->selectionModel()->hasSelection()) {
                const QRect row = view->visualRect(view->selectionModel()->selectedIndexes().constFirst());
                QCOMPARE(view->viewport()->grab().toImage().pixelColor(row.right() - 2, row.center().y()),
                         QApplication::palette().color(QPalette::Highlight));
            }
        }
        for (auto it = names.cbegin(); it != names.cend(); ++it)
            QCOMPARE(heard.value(it.key()), it.value());

        // Tab visits the controls in the designed order and comes back to the first, and the focus
        // shows on each of them.
        QCOMPARE(shown->focusWidget() == nullptr, tabbing.isEmpty());
        QMap<QString, QImage> withFocus;
        QStringList visited;
        for (qsizetype i = 0; i < tabbing.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
            withFocus.insert(visited.last(), QApplication::focusWidget()->grab().toImage());
        }
        QCOMPARE(visited, tabbing.mid(1) + tabbing.mid(0, 1));
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
        for (const QString& id : tabbing)
            QVERIFY2(focusShows(withFocus[id], shown->findChild<QWidget*>(id)->grab().toImage()),
                     qPrintable(id + ": the focus does not show"));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
