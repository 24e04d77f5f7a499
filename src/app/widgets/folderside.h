#pragma once

#include "catalogue/details.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

namespace zq2 {

class FileListView;

// A button caption that shows `text` as it is: "&" would otherwise mark an access key.
QString buttonCaption(const QString& text);

// One column of the main window: its file list, its filter drop-down, the detail labels of its
// "File Info:" frame and its delete button. The game folder and the cache are two of these; the
// main window keeps what differs between them (the play button, the copy button).
class FolderSide {
public:
    struct Controls {
        FileListView* list;
        QComboBox* filter;
        QLabel* title;
        QLabel* type;
        QLabel* size;
        QPushButton* deleteButton;
    };

    explicit FolderSide(const Controls& controls);

    FileListView* list() const { return c_.list; }
    QLabel* titleLabel() const { return c_.title; }
    QPushButton* deleteButton() const { return c_.deleteButton; }

    // The folder the list shows; an empty folder shows nothing.
    void setFolder(const QString& folder);
    QString folder() const { return folder_; }

    // Cuts the drop-down back to "All" and appends the patterns, without applying any filter.
    void setFilterEntries(const QStringList& patterns);
    // Chooses a drop-down entry from the program's side; the caller applies the filter.
    void chooseFilterEntry(int index);
    // Rebuilds the pattern from the chosen drop-down entry and gives it to the list, which shows it
    // at its next reading.
    void applyFilter();
    QString patternText() const { return patternText_; }

    // Shows the details of `name` (a bare file name of this side's folder) and returns them.
    FileDetails showDetails(const QString& name);

private:
    Controls c_;
    QString folder_;
    QString patternText_;
};

} // namespace zq2
