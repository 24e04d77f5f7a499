#include "config/widgets/prefsdialog.h"
#include "config/widgets/settingsdialog.h"
#include "readonlyfolder.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zq2;

namespace {

template <typename W> W* child(QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

void click(QWidget& parent, const char* button) {
    QTest::mouseClick(child<QPushButton>(parent, button), Qt::LeftButton);
}

// Object names along the keyboard focus chain, starting at `first`, for `count` controls.
QStringList focusChain(QWidget* first, int count) {
    QStringList names;
    for (QWidget* w = first; names.size() < count; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            names << w->objectName();
    return names;
}

QStringList listEntries(QWidget& dialog) {
    QStringList out;
    auto* list = child<QListWidget>(dialog, "extList");
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

class TestConfigDialogs : public QObject {
    Q_OBJECT

private slots:
    void settingsDesign() {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        SettingsDialog dialog(dir.path(), prompter, QString());
        QVERIFY(!child<QLabel>(dialog, "Image1")->pixmap().isNull());
        QVERIFY(child<QPushButton>(dialog, "OKbtn")->isDefault());
        QCOMPARE(focusChain(child<QWidget>(dialog, "ZQ2dir"), 5),
                 (QStringList{"ZQ2dir", "zq2Browse", "CancelBtn", "OKbtn", "CDdir"}));
        for (QWidget* w : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }

    void settingsOpening() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "ZENO2.exe");
        test::writeFile(dir.path(), "settings.ini", "app-path\r\n/mnt/cd");
        test::ScriptedPrompter prompter;
        SettingsDialog dialog(dir.path(), prompter, QString());
        QCOMPARE(child<QLineEdit>(dialog, "ZQ2dir")->text(), "Zeno2 directory found.");
        QCOMPARE(child<QLineEdit>(dialog, "CDdir")->text(), "/mnt/cd");
        QCOMPARE(dialog.focusWidget(), child<QWidget>(dialog, "CDdir"));
    }

    void settingsOk_data() {
        QTest::addColumn<QString>("zq2dir");
        QTest::addColumn<QString>("cddir");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("found text") << "Zeno2 directory found."
                                    << "E:" << QByteArray("APP-PATH\r\nE:");
        QTest::newRow("relative path") << "Games/Zeno2"
                                       << "" << QByteArray("APP-PATH\r\n");
        QTest::newRow("full path kept as typed") << "/games/zeno 2 "
                                                 << " /cd " << QByteArray("/games/zeno 2 \r\n /cd ");
    }
    void settingsOk() {
        QFETCH(QString, zq2dir);
        QFETCH(QString, cddir);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        SettingsDialog dialog(dir.path(), prompter, QString());
        child<QLineEdit>(dialog, "ZQ2dir")->setText(zq2dir);
        child<QLineEdit>(dialog, "CDdir")->setText(cddir);
        click(dialog, "OKbtn");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(test::readFile(dir.filePath("settings.ini")), written);
        QCOMPARE(prompter.asked.size(), 0);
    }

    void settingsOkFailureKeepsDialogOpen() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "settings.ini", "old");
        test::ScriptedPrompter prompter;
        SettingsDialog dialog(dir.path(), prompter, QString());
        dialog.show();
        {
            test::ReadOnlyFolder readOnly(dir.path());
            if (!readOnly.holds())
                QSKIP("this system writes into read-only folders");
            click(dialog, "OKbtn");
        }
        QVERIFY(dialog.isVisible());
        QCOMPARE(prompter.asked.size(), 1);
        QVERIFY2(prompter.asked[0].text.startsWith("The settings could not be saved to " +
                                                   QDir::toNativeSeparators(dir.filePath("settings.ini"))),
                 qPrintable(prompter.asked[0].text));
        QCOMPARE(test::readFile(dir.filePath("settings.ini")), QByteArray("old"));
        click(dialog, "OKbtn"); // the folder is writable again: a retry succeeds
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void settingsCancelWritesNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void settingsCancelWritesNothing() {
        QFETCH(bool, closeBox);
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        SettingsDialog dialog(dir.path(), prompter, QString());
        dialog.show();
        child<QLineEdit>(dialog, "ZQ2dir")->setText("/elsewhere");
        if (closeBox)
            dialog.close();
        else
            click(dialog, "CancelBtn");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{});
    }

    void settingsBrowse_data() {
        QTest::addColumn<std::optional<QString>>("chosen");
        QTest::addColumn<QString>("zq2dir");
        QTest::newRow("chosen") << std::optional<QString>("/opt/zeno/Zeno2.exe") << "/opt/zeno";
        QTest::newRow("cancelled") << std::optional<QString>() << "/before";
        QTest::newRow("too short") << std::optional<QString>("/a.exe") << "/before";
    }
    void settingsBrowse() {
        QFETCH(std::optional<QString>, chosen);
        QFETCH(QString, zq2dir);
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        prompter.answerFile(chosen);
        SettingsDialog dialog(dir.path(), prompter, QString());
        child<QLineEdit>(dialog, "ZQ2dir")->setText("/before");
        click(dialog, "zq2Browse");
        QCOMPARE(prompter.fileDialogs,
                 QStringList{"Locate Zeno2.exe|Zeno Quillback 2 (Zeno2.exe)|zeno2.exe"});
        QCOMPARE(child<QLineEdit>(dialog, "ZQ2dir")->text(), QDir::toNativeSeparators(zq2dir));
    }

    void prefsDesign() {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        PrefsDialog dialog(dir.path(), prompter, SkinValues{});
        QVERIFY(!child<QLabel>(dialog, "Image1")->pixmap().isNull());
        QCOMPARE(focusChain(child<QWidget>(dialog, "useSkin"), 12),
                 (QStringList{"useSkin", "skinDir", "browseSkin", "useTips", "warnMax", "extText", "addExt",
                              "extList", "removeExt", "Command4", "Command5", "disDel"}));
        for (QWidget* w : dialog.findChildren<QWidget*>())
            if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
    }

    void prefsOpening_data() {
        QTest::addColumn<QByteArray>("bytes");  // "-" for no file
        QTest::addColumn<QList<bool>>("ticks"); // useSkin, useTips, warnMax, disDel
        QTest::addColumn<QString>("skinDir");
        QTest::addColumn<QStringList>("patterns");
        QTest::newRow("no file") << QByteArray("-") << QList<bool>{false, true, true, true} << ""
                                 << QStringList{"*.z2l", "*.z2t", "*.z2b"};
        QTest::newRow("skin on") << QByteArray("useskin=yes\r\n s.skn \r\nUSETIPS=NO\r\nWARNMAXLVLS=NO\r\n"
                                               "DISPLAYDELETE=NO\r\n*.a\r\n*.a")
                                 << QList<bool>{true, false, false, false} << " s.skn "
                                 << QStringList{"*.a", "*.a"};
        QTest::newRow("odd lines keep the design")
            << QByteArray("\x00junk\r\n\xff\r\nYES\r\n", 15) << QList<bool>{false, true, true, true} << "\xff"
            << QStringList{};
        QTest::newRow("empty file") << QByteArray() << QList<bool>{false, true, true, true} << ""
                                    << QStringList{};
    }
    void prefsOpening() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<bool>, ticks);
        QFETCH(QString, skinDir);
        QFETCH(QStringList, patterns);
        QTemporaryDir dir;
        if (bytes != "-")
            test::writeFile(dir.path(), "preferences.ini", bytes);
        test::ScriptedPrompter prompter;
        PrefsDialog dialog(dir.path(), prompter, SkinValues{});
        QList<bool> shown;
        for (const char* box : {"useSkin", "useTips", "warnMax", "disDel"})
            shown << child<QCheckBox>(dialog, box)->isChecked();
        QCOMPARE(shown, ticks);
        QCOMPARE(child<QLineEdit>(dialog, "skinDir")->text(), skinDir);
        QCOMPARE(child<QLineEdit>(dialog, "skinDir")->isEnabled(), ticks[0]);
        QCOMPARE(child<QPushButton>(dialog, "browseSkin")->isEnabled(), ticks[0]);
        QCOMPARE(listEntries(dialog), patterns);
    }

    void prefsUseSkinToggles() {
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        PrefsDialog dialog(dir.path(), prompter, SkinValues{});
        auto* useSkin = child<QCheckBox>(dialog, "useSkin");
        QList<bool> states;
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(useSkin, Qt::LeftButton, {}, QPoint(5, useSkin->height() / 2));
            states << useSkin->isChecked() << child<QWidget>(dialog, "skinDir")->isEnabled()
                   << child<QWidget>(dialog, "browseSkin")->isEnabled();
        }
        QCOMPARE(states, (QList<bool>{true, true, true, false, false, false, true, true, true}));
    }

    void prefsAddAndRemove() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "preferences.ini",
                        "USESKIN=NO\r\n\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=YES");
        test::ScriptedPrompter prompter;
        PrefsDialog dialog(dir.path(), prompter, SkinValues{});
        auto* extText = child<QLineEdit>(dialog, "extText");
        for (const char* typed :
             {" *.z2e ", "*.*", "  *.  ", "*.abcd", "z2l", "", "z2lxxxxx", "\t*.a", "*.z2e"}) {
            extText->setText(typed);
            click(dialog, "addExt");
            QCOMPARE(extText->text(), "*.");
        }
        QCOMPARE(listEntries(dialog), (QStringList{"*.z2e", "*.*", "*.z2e"}));
        const QString mustBegin = "File type patterns must begin with '*.'";
        QCOMPARE(prompter.texts(), (QStringList{"File extensions cannot be longer than 3 characters.",
                                                mustBegin, mustBegin, mustBegin, mustBegin}));
        for (const auto& q : prompter.asked)
            QVERIFY(q.buttons == Buttons::Ok && q.title == "Zeno 2 Organizer");

        click(dialog, "removeExt"); // nothing selected yet
        child<QListWidget>(dialog, "extList")->setCurrentRow(1);
        click(dialog, "removeExt");
        click(dialog, "removeExt"); // the removal left nothing selected
        QCOMPARE(listEntries(dialog), (QStringList{"*.z2e", "*.z2e"}));
    }

    void prefsOkWrites() {
        QTemporaryDir dir;
        test::writeFile(dir.path(), "Preferences.ini", "USESKIN=YES\r\n  a.skn \r\n\r\n\r\n\r\n*.z2l");
        test::ScriptedPrompter prompter;
        prompter.answerFile(std::nullopt);
        prompter.answerFile(QString("/skins/blue.skn"));
        PrefsDialog dialog(dir.path(), prompter, SkinValues{});
        auto* skinDir = child<QLineEdit>(dialog, "skinDir");
        click(dialog, "browseSkin");
        QCOMPARE(skinDir->text(), "  a.skn "); // cancelled: the path stays
        click(dialog, "browseSkin");
        QCOMPARE(skinDir->text(), QDir::toNativeSeparators("/skins/blue.skn"));
        skinDir->setText(" " + skinDir->text() + "  ");
        QCOMPARE(prompter.fileDialogs.value(0), "Locate Skin Makefile|Skin Makefiles (*.skn)|*.skn");
        child<QCheckBox>(dialog, "useSkin")->setChecked(false);
        child<QListWidget>(dialog, "extList")->setCurrentRow(0);
        click(dialog, "removeExt");
        click(dialog, "Command5");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(test::readFile(dir.filePath("Preferences.ini")),
                 QDir::toNativeSeparators(
                     "USESKIN=NO\r\n/skins/blue.skn\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=YES")
                     .toLocal8Bit());
    }

    void prefsCancelAndFailureWriteNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("Cancel") << "Command4";
        QTest::newRow("OK in a read-only folder") << "Command5";
    }
    void prefsCancelAndFailureWriteNothing() {
        QFETCH(QString, button);
        const QByteArray old("USESKIN=NO\r\n\r\nUSETIPS=NO");
        QTemporaryDir dir;
        test::writeFile(dir.path(), "preferences.ini", old);
        test::ScriptedPrompter prompter;
        PrefsDialog dialog(dir.path(), prompter, SkinValues{});
        dialog.show();
        child<QCheckBox>(dialog, "useTips")->setChecked(true);
        {
            test::ReadOnlyFolder readOnly(dir.path());
            if (!readOnly.holds())
                QSKIP("this system writes into read-only folders");
            click(dialog, button.toLatin1().constData());
        }
        const bool cancelled = button == "Command4";
        QCOMPARE(dialog.isVisible(), !cancelled);
        QCOMPARE(prompter.asked.size(), cancelled ? 0 : 1);
        if (!cancelled)
            QVERIFY(prompter.asked[0].text.startsWith("The preferences could not be saved to "));
        QCOMPARE(test::readFile(dir.filePath("preferences.ini")), old);
    }
};

QTEST_MAIN(TestConfigDialogs)
#include "tst_configdialogs.moc"
