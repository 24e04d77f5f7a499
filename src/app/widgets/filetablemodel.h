#pragma once

#include <QAbstractTableModel>
#include <QLatin1String>
#include <QString>

namespace zq2 {

// A read-only table of files, one row each: the name as displayFileName shows it, the title, and a
// third column that a subclass fills (the type, or where the file is). Screen readers hear the same
// texts. A subclass gives the rows and their three texts.
class FileTableModel : public QAbstractTableModel {
public:
    FileTableModel(QLatin1String thirdHeader, QObject* parent);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    virtual const QString& nameAt(int row) const = 0;
    virtual const QString& titleAt(int row) const = 0;
    virtual QString thirdAt(int row) const = 0;

private:
    QLatin1String thirdHeader_;
};

} // namespace zq2
