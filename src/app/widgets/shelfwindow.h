#pragma once

#include "appearance/skinvalues.h"
#include "fileops/filecopy.h"
#include "fileops/widgets/filework.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

namespace Ui {
class ShelfWindow;
}

namespace zq2 {

class Prompter;
class ShelfModel;
class TitleCache;

// The look the Level Shelf window borrows from the main window's skin: its background picture and
// the back colour of its game folder's "File Info:" frame.
struct ShelfLook {
    QString picture; // full path; empty for none
    ColourValue frameColour = kFaceColour;
};

// The Level Shelf window: the files kept on the shelf with their titles and types, a filter like the
// main window's, the details of the selected file, and the commands that put files back into the game
// or delete them; a line tells how much room the game has for levels. Files dropped onto its list go
// to the shelf. It stays open beside the main window, which tells it about changes to the game
// folder, and which it tells when it changed the game folder itself.
class ShelfWindow : public QDialog {
    Q_OBJECT

public:
    ShelfWindow(Prompter& prompter, TitleCache& titles, QWidget* parent = nullptr);
    ~ShelfWindow() override;

    // The game folder whose shelf is shown; a new folder lists its shelf.
    void setGameFolder(const QString& gameDir);
    // Cuts the filter drop-down back to "All" and appends the patterns, without applying any filter.
    void setFilterEntries(const QStringList& patterns);
    void setConfirmDelete(bool on) { confirmDelete_ = on; }
    void setLook(const ShelfLook& look);
    // The room line, for this many levels in the game folder.
    void setLevelsInGame(qint64 levels);

    // Reads the shelf again; afterwards nothing is selected.
    void relist();
    // Selects the file `name` and shows its details, as a click on it would; false when the shelf
    // does not hold it.
    bool selectFile(const QString& name);

    // Commands.
    void shelfView_Click();
    void putBack_Click();
    void delShelf_Click();
    void addDropped(const QStringList& paths);

signals:
    // Files went into or out of the game folder.
    void gameFolderChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString shelfDir() const;
    QStringList selectedNames() const;
    void showDetails();
    void showListMenu(const QPoint& position);
    bool shelfUsable();

    std::unique_ptr<Ui::ShelfWindow> ui_;
    Prompter& prompter_;
    TitleCache& titles_;
    ShelfModel* model_;
    FileWork work_;
    QString gameDir_;
    QString patternText_; // rebuilt at every choice in the filter drop-down
    bool confirmDelete_ = true;
    bool dragTaken_ = false; // the drag over the list carries local files
};

} // namespace zq2
