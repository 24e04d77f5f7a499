#include "app/widgets/folderside.h"

#include "catalogue/filter.h"
#include "catalogue/widgets/filelistview.h"
#include "platform/filenames.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace zq2 {

QString buttonCaption(const QString& text) {
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

FolderSide::FolderSide(const Controls& controls)
    : c_(controls) {
    // File names and titles are shown as they are, never as markup.
    for (QLabel* label : {c_.title, c_.type, c_.size})
        label->setTextFormat(Qt::PlainText);
}

void FolderSide::setFolder(const QString& folder) {
    folder_ = folder;
    c_.list->setFolder(folder);
}

void FolderSide::setFilterEntries(const QStringList& patterns) {
    const QSignalBlocker blocker(c_.filter);
    // The list keeps its pattern until an entry is chosen again, so the drop-down must not claim a
    // choice it did not make: "All" stays chosen, any removed pattern leaves nothing chosen.
    const bool allChosen = c_.filter->currentIndex() == 0;
    while (c_.filter->count() > 1)
        c_.filter->removeItem(c_.filter->count() - 1);
    // A pattern is shown as displayFileName shows it and kept as read, bytes and all.
    for (const QString& pattern : patterns)
        c_.filter->addItem(displayFileName(pattern), pattern);
    c_.filter->setCurrentIndex(allChosen ? 0 : -1);
}

void FolderSide::chooseFilterEntry(int index) {
    const QSignalBlocker blocker(c_.filter);
    c_.filter->setCurrentIndex(index);
}

void FolderSide::applyFilter() {
    // "All" is the drop-down's own entry; the patterns carry what they were read as.
    const auto entryAt = [this](int i) {
        const QVariant pattern = c_.filter->itemData(i);
        return pattern.isValid() ? pattern.toString() : c_.filter->itemText(i);
    };
    QStringList entries;
    entries.reserve(c_.filter->count());
    for (int i = 0; i < c_.filter->count(); ++i)
        entries << entryAt(i);
    patternText_ = patternTextFor(entryAt(c_.filter->currentIndex()), entries);
    c_.list->setPattern(patternText_);
}

FileDetails FolderSide::showDetails(const QString& name) {
    FileDetails details = describeFile(folder_, name);
    c_.title->setText(details.title);
    c_.type->setText(details.type);
    c_.size->setText(details.size);
    c_.deleteButton->setText(buttonCaption(details.deleteCaption));
    return details;
}

} // namespace zq2
