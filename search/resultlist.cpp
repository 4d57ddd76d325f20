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
    // A row shows no more than the window could: a file loaded by mistake
    // (a ROM, a picture) may hold one line of megabytes, and laying out all
    // of it at every repaint froze the window for minutes. The line itself
    // stays whole for Go To, Create Table and Save.
    constexpr std::size_t kShownCharacters = 512;
    const std::string& line = lines_[static_cast<std::size_t>(index.row())];
    return codePage_.toUnicode(line.size() > kShownCharacters ? line.substr(0, kShownCharacters) : line);
}

void ResultListModel::setLines(std::vector<std::string> lines)
{
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}
