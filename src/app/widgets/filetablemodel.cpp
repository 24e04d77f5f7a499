#include "app/widgets/filetablemodel.h"

#include "platform/filenames.h"

namespace zq2 {

FileTableModel::FileTableModel(QLatin1String thirdHeader, QObject* parent)
    : QAbstractTableModel(parent)
    , thirdHeader_(thirdHeader) {}

int FileTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant FileTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    switch (index.column()) {
    case 0:
        return displayFileName(nameAt(index.row()));
    case 1:
        return titleAt(index.row());
    default:
        return thirdAt(index.row());
    }
}

QVariant FileTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return QStringLiteral("Name");
    case 1:
        return QStringLiteral("Title");
    case 2:
        return QString(thirdHeader_);
    default:
        return {};
    }
}

} // namespace zq2
