#pragma once

#include "catalogue/find.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

namespace Ui {
class FindWindow;
}

class QThread;

namespace zq2 {

class FindResultsModel;
class TitleCache;

// Find: a field that finds, as the user types, files by name or by level and tileset title in the
// game folder, the cache and the shelf, ignoring letter case and accents. The folders are read in
// the background when the window opens (titles come from the shared title cache, so only files not
// seen before are read); each keystroke then searches memory only. Enter, a double click or "Go to
// File" announces the chosen file with fileChosen(); Escape closes the window and changes nothing.
class FindWindow : public QDialog {
    Q_OBJECT

public:
    FindWindow(const QList<FindFolder>& folders, const QString& patternText,
               std::shared_ptr<TitleCache> titles, QWidget* parent = nullptr);
    ~FindWindow() override;

    // Reads the folders again in the background, then searches again for what is typed.
    void reload();
    // The folders to search: read again when the window is next active if they are others, or if
    // files came or went in them since they were read.
    void setFolders(const QList<FindFolder>& folders, const QString& patternText);
    // Puts the keyboard in the search field with what was typed chosen, to be typed over.
    void focusField();
    // Whether the folders have been read since the last reload().
    bool isReady() const { return ready_; }

    // Announces the file of the current result, if any.
    void goTo_Click();

signals:
    void fileChosen(zq2::FilePlace place, const QString& name);
    // The folders have been read and what is typed has been searched for.
    void ready();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Reading;
    void search();
    void showStatus();
    // Whether the folders are others than those read, or changed since.
    bool needsReading() const;

    std::unique_ptr<Ui::FindWindow> ui_;
    QList<FindFolder> folders_;
    QString patternText_;
    std::shared_ptr<TitleCache> titles_;
    FindResultsModel* model_;
    FindIndex index_;
    FindHits hits_;
    bool ready_ = false;
    bool outOfDate_ = false;
    // The folders' modification times from just before they were last read.
    QList<std::optional<std::filesystem::file_time_type>> stamps_;
    std::shared_ptr<Reading> reading_; // the newest reading of the folders
    QList<QThread*> threads_;          // readings still running, the newest last
};

} // namespace zq2
