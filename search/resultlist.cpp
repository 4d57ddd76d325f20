#include "search/resultlist.h"

#include "app/codepage.h"

ResultListModel::ResultListModel(const CodePage& codePage, QObject* parent)
    : QAbstractListModel(parent), codePage_(codePage)
{
}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return {};
    return codePage_.toUnicode(lines_[static_cast<std::size_t>(index.row())]);
}

void ResultListModel::setLines(std::vector<std::string> lines)
{
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}
