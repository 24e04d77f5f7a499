#include "app/widgets/folderside.h"

#include "catalogue/widgets/filelistview.h"
#include "catalogue/widgets/filterdropdown.h"

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
    fillFilterDropDown(c_.filter, patterns);
}

void FolderSide::chooseFilterEntry(int index) {
    const QSignalBlocker blocker(c_.filter);
    c_.filter->setCurrentIndex(index);
}

void FolderSide::applyFilter() {
    patternText_ = chosenPatternText(c_.filter);
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
