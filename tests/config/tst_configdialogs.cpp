#include "config/preferencesfile.h"
#include "config/settingsfile.h"
#include "config/widgets/prefsdialog.h"
#include "config/widgets/settingsdialog.h"
#include "platform/filenames.h"
#include "support/scriptedprompter.h"
#include "support/tempfiles.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace zq2;

class TestConfigDialogs : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> dir_; // the program's folder, fresh for each test
    std::optional<test::ScriptedPrompter> prompter_;

    template <typename W = QLineEdit> static W* child(QWidget& parent, const QString& name) {
        return parent.findChild<W*>(name);
    }
    static void click(QDialog& dialog, const QString& button) {
        QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
    }

private slots:
    void init() {
        dir_.emplace();
        prompter_.emplace();
    }

    // Each dialog opens on its file as found and Browse may fill in a path; OK saves, while Cancel
    // leaves the file alone.
    void dialogs_data() {
        QTest::addColumn<bool>("prefs");        // the Preferences dialog, else the Settings dialog
        QTest::addColumn<bool>("beside");       // the game's program file sits beside this one
        QTest::addColumn<QByteArray>("before"); // the file as the dialog opens; "-": none
        QTest::addColumn<QString>("chosen");    // what Browse picks; "-": cancelled, empty: no Browse
        QTest::addColumn<QString>("button");    // OK or Cancel
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("told"); // when the dialog opens, %1 standing for the file's path
        auto row = [](const char* tag, bool prefs, bool beside, const QByteArray& before,
                      const QString& chosen, const QString& button, const QString& after,
                      const QString& told = {}) {
            QTest::newRow(tag) << prefs << beside << before << chosen << button << after << told;
        };
        const QString cd = defaultCdDrive();
        row("settings: first run", false, false, "-", "", "OK", defaultGameDir() + "\r\n" + cd);
        row("settings: first run beside the game", false, true, "-", "", "OK", "APP-PATH\r\n" + cd);
        row("settings: keyword with blanks", false, false, " app-path \r\nE:", "", "OK", "APP-PATH\r\nE:");
        row("settings: relative path", false, false, "Games/Zeno2", "", "OK", "APP-PATH\r\n");
        row("settings: path trimmed, drive as read", false, true, "/g/z \r\n D: ", "", "OK", "/g/z\r\n D: ");
        row("settings: browsed", false, false, "/b\r\nE:", "/opt/zeno/Zeno2.exe", "OK", "/opt/zeno\r\nE:");
        row("settings: browse cancelled", false, false, "/b\r\nE:", "-", "OK", "/b\r\nE:");
        row("settings: browsed path too short", false, false, "/b\r\nE:", "/a.exe", "OK", "/b\r\nE:");
        row("settings: Cancel", false, false, "/b \r\nE:\r\nx", "", "Cancel", "/b \r\nE:\r\nx");
        row("settings: paths not UTF-8 kept", false, false, "/g/caf\xE9 \r\n/m\xFF", "", "OK",
            decodeFileName("/g/caf\xE9\r\n/m\xFF"));
        row("settings: browsed path not UTF-8", false, false,
            "/b\r\nE:", decodeFileName("/g/caf\xE9/Zeno2.exe"), "OK", decodeFileName("/g/caf\xE9\r\nE:"));
        const QString on = "\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=YES";
        row("prefs: none", true, false, "-", "", "OK", "USESKIN=NO\r\n" + on + "\r\n*.z2l\r\n*.z2t\r\n*.z2b");
        row("prefs: all read, path trimmed", true, false,
            "useskin=yes\r\n s.skn \r\nUSETIPS=NO\r\nwarnmaxlvls=yes\r\nDISPLAYDELETE=NO\r\n*.a\r\n*.a", "",
            "OK", "USESKIN=YES\r\ns.skn\r\nUSETIPS=NO\r\nWARNMAXLVLS=YES\r\nDISPLAYDELETE=NO\r\n*.a\r\n*.a");
        row("prefs: odd lines keep design", true, false, "?\r\n x\r\nYES", "", "OK", "USESKIN=NO\r\nx" + on);
        row("prefs: browsed", true, false, "USESKIN=YES\r\na", "/b.skn", "OK", "USESKIN=YES\r\n/b.skn" + on);
        row("prefs: browse cancelled", true, false, "USESKIN=YES\r\na", "-", "OK", "USESKIN=YES\r\na" + on);
        const QByteArray notUtf8 = "USESKIN=YES\r\n/s/caf\xE9.skn\r\nUSETIPS=YES\r\nWARNMAXLVLS=YES\r\n"
                                   "DISPLAYDELETE=YES\r\n*.z\xE9t\r\n*.z2l";
        row("prefs: skin path and patterns not UTF-8 kept", true, false, notUtf8, "", "OK",
            decodeFileName(notUtf8));
        row("prefs: browsed path not UTF-8", true, false, "USESKIN=YES\r\na", decodeFileName("/s/\xE9.skn"),
            "OK", decodeFileName("USESKIN=YES\r\n/s/\xE9.skn") + on);
        row("prefs: Cancel", true, false, "USESKIN=NO", "", "Cancel", "USESKIN=NO");
        QByteArray many = "USESKIN=NO\r\n" + on.toLatin1();
        for (int i = 0; i < 10000; ++i)
            many += "\r\n*." + QByteArray::number(i) + (i == 5000 ? QByteArray(40000, 'x') : QByteArray());
        many += "\r\n" + QByteArray(1100000, 'y');
        row("prefs: 10,000 patterns, long lines", true, false, many, "", "OK", QString::fromLatin1(many));
        const QByteArray huge = "USESKIN=YES" + QByteArray(16 * 1024 * 1024, 'x');
        row("prefs: over 16 MiB left alone", true, false, huge, "", "OK", QString::fromLatin1(huge),
            "The preferences file %1 is too large to read: it holds more than 16 MB or more than 100,000 "
            "file "
            "types. It is left as it is, and changes made here will not be saved.");
    }
    void dialogs() {
        QFETCH(bool, prefs);
        QFETCH(bool, beside);
        QFETCH(QByteArray, before);
        QFETCH(QString, chosen);
        QFETCH(QString, button);
        QFETCH(QString, after);
        QFETCH(QString, told);
        const QString name = prefs ? "preferences.ini" : "settings.ini";
        if (beside)
            test::writeFile(dir_->path(), "zeno2.EXE");
        if (before != "-")
            test::writeFile(dir_->path(), name.toUpper(), before);
        const std::unique_ptr<QDialog> dialog(
            prefs ? static_cast<QDialog*>(new PrefsDialog(dir_->path(), *prompter_, {}))
                  : new SettingsDialog(portableFolders(dir_->path()), *prompter_, QString()));
        if (!prefs) // with the game found, only the drive is left to type
            QCOMPARE(dialog->focusWidget() == child(*dialog, "CDdir"), beside);
        // Bytes that are not UTF-8 show as U+FFFD, never as the surrogates that hold them.
        QStringList shown;
        for (const QLineEdit* box : dialog->findChildren<QLineEdit*>())
            shown << box->text();
        if (const auto* patterns = child<QListWidget>(*dialog, "extList"))
            for (int i = 0; i < patterns->count(); ++i)
                shown << patterns->item(i)->text();
        const QString all = shown.join('|');
        QVERIFY2(std::none_of(all.begin(), all.end(), [](QChar c) { return c.isSurrogate(); }),
                 qPrintable(all));
        dialog->show();
        // The skin path and its Browse button follow the skin tick, through clicks on it too.
        if (auto* useSkin = child<QCheckBox>(*dialog, "useSkin")) {
            for (const bool ticked : {useSkin->isChecked(), !useSkin->isChecked()}) {
                QCOMPARE(useSkin->isChecked(), ticked);
                QCOMPARE(child(*dialog, "skinDir")->isEnabled(), ticked);
                QCOMPARE(child<QPushButton>(*dialog, "browseSkin")->isEnabled(), ticked);
                QTest::mouseClick(useSkin, Qt::LeftButton, {}, QPoint(5, useSkin->height() / 2));
            }
        }
        const QStringList buttons = prefs ? QStringList{"Command5", "Command4", "browseSkin"}
                                          : QStringList{"OKbtn", "CancelBtn", "zq2Browse"};
        if (!chosen.isEmpty()) { // Browse, its file dialog answering `chosen`; "-" cancels
            prompter_->answerFile(chosen == "-" ? std::nullopt : std::optional(chosen));
            click(*dialog, buttons[2]);
        }
        click(*dialog, button == "OK" ? buttons[0] : buttons[1]);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), button == "OK" ? QDialog::Accepted : QDialog::Rejected);
        const QStringList files = QDir(dir_->path()).entryList({name}, QDir::Files);
        // OK writes the file under its own spelling, and no other; Cancel leaves the folder as it was.
        QCOMPARE(files, QStringList{button == "OK" && told.isEmpty() ? name : name.toUpper()});
        QCOMPARE(prompter_->texts().join('|'), told.isEmpty() ? told : told.arg(dir_->filePath(files[0])));
        QCOMPARE(test::readFile(dir_->filePath(files[0])), encodeFileName(after));
    }

    // Where OK cannot write, it says why and the dialog stays open over the old file: a read-only
    // folder, or a folder where the file belongs. Where it saves but cannot remove the old spelling
    // (another user's file in a shared folder), it says so and closes.
    void okFailures_data() {
        QTest::addColumn<int>("mode");     // of the program's folder while OK is pressed
        QTest::addColumn<QString>("told"); // %1 standing for the folder
        QTest::newRow("read-only folder")
            << 0555
            << "The settings could not be saved to %1/settings.ini: Permission denied\n"
               "The preferences could not be saved to %1/preferences.ini: Permission denied";
        QTest::newRow("folders in the way")
            << 0700
            << "The settings could not be saved to %1/settings.ini: A folder of that name is in the way\n"
               "The preferences could not be saved to %1/preferences.ini: A folder of that name is in the "
               "way";
        QTest::newRow("shared folder")
            << 01777
            << "The settings were saved to %1/settings.ini, but the old file %1/Settings.ini could not be "
               "removed: Operation not permitted\nThe preferences were saved to %1/preferences.ini, but the "
               "old file %1/Preferences.ini could not be removed: Operation not permitted";
    }
    void okFailures() {
        QFETCH(int, mode);
        QFETCH(QString, told);
        // Root writes through folder permissions, so root acts as an unprivileged user meanwhile.
        const bool dropRoot = geteuid() == 0 && mode != 0700, saved = mode == 01777;
        if (saved && geteuid() != 0)
            QSKIP("only root can leave a file of another user in a shared folder");
        for (const char* name : {"Settings.ini", "Preferences.ini"}) {
            test::writeFile(dir_->path(), name, "old");
            if (mode == 0700)
                test::writeFile(dir_->path(), QString(name).toLower() + "/a", "kept");
        }
        SettingsDialog settings(portableFolders(dir_->path()), *prompter_, QString());
        PrefsDialog prefs(dir_->path(), *prompter_, SkinValues{});
        settings.show();
        prefs.show();
        QVERIFY(::chmod(QFile::encodeName(dir_->path()), mode_t(mode)) == 0 &&
                (!dropRoot || seteuid(65534) == 0));
        const bool writable = QFile(dir_->filePath("probe")).open(QIODevice::WriteOnly);
        click(settings, "OKbtn");
        click(prefs, "Command5");
        QVERIFY((!dropRoot || seteuid(0) == 0) && ::chmod(QFile::encodeName(dir_->path()), 0700) == 0);
        if (mode == 0555 && writable)
            QSKIP("this system writes into read-only folders");
        QCOMPARE(settings.isVisible() || prefs.isVisible(), !saved);
        QCOMPARE(prompter_->texts().join('\n'), told.arg(dir_->path()));
        QCOMPARE(test::readFile(dir_->filePath("Settings.ini")) +
                     test::readFile(dir_->filePath("Preferences.ini")),
                 "oldold");
        QCOMPARE(QDir(dir_->path()).entryList({"*.ini"}, QDir::Dirs | QDir::NoDotAndDotDot).size(),
                 mode == 0700 ? 2 : 0);
    }

    // The Preferences dialog has no default button: Enter does nothing, whichever control has the focus,
    // with the skin browser enabled and an entry selected for removal.
    void prefsEnterDoesNothing() {
        const QByteArray file = "USESKIN=YES\r\n\r\nUSETIPS=NO\r\n\r\n\r\n*.a";
        test::writeFile(dir_->path(), "preferences.ini", file);
        PrefsDialog dialog(dir_->path(), *prompter_, SkinValues{});
        dialog.show();
        child<QListWidget>(dialog, "extList")->setCurrentRow(0);
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (!control->isEnabled() || !(control->focusPolicy() & Qt::TabFocus))
                continue;
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Return);
            QTest::keyClick(control, Qt::Key_Enter);
            QVERIFY2(dialog.isVisible() && prompter_->asked.isEmpty() && prompter_->unexpected == 0 &&
                         child<QListWidget>(dialog, "extList")->count() == 1,
                     qPrintable(control->objectName()));
        }
        QCOMPARE(test::readFile(dir_->filePath("preferences.ini")), file);
    }

    void prefsAddAndRemove() {
        PrefsDialog dialog(dir_->path(), *prompter_, SkinValues{});
        for (const char* typed :
             {" *.z2e ", "*.*", "  *.  ", "*.abcd", "z2l", "", "z2lxxxxx", "\t*.a", "*.z2e"}) {
            child(dialog, "extText")->setText(typed);
            click(dialog, "addExt");
            QCOMPARE(child(dialog, "extText")->text(), "*.");
        }
        const QString mustBegin = "File type patterns must begin with '*.'";
        QCOMPARE(prompter_->texts(), (QStringList{"File extensions cannot be longer than 3 characters.",
                                                  mustBegin, mustBegin, mustBegin, mustBegin}));
        click(dialog, "removeExt"); // nothing selected yet
        child<QListWidget>(dialog, "extList")->setCurrentRow(4);
        click(dialog, "removeExt");
        click(dialog, "removeExt"); // the removal left nothing selected
        click(dialog, "Command5");
        QVERIFY(test::readFile(dir_->filePath("preferences.ini"))
                    .endsWith("YES\r\n*.z2l\r\n*.z2t\r\n*.z2b\r\n*.z2e\r\n*.z2e"));
    }
};

QTEST_MAIN(TestConfigDialogs)
#include "tst_configdialogs.moc"
