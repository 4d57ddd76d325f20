#pragma once
// The lines of the result window as a list model: 8-bit text kept byte for
// byte, shown through the table code page, so a saved list is exactly what
// was found or loaded. A model, not one widget item per line, because a short
// relative search word can give a hundred thousand hits.
#include <QAbstractListModel>

#include <string>
#include <vector>

class CodePage;

class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultListModel(const CodePage& codePage, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<std::string>& lines() const { return lines_; }
    void setLines(std::vector<std::string> lines);

private:
    const CodePage& codePage_;
    std::vector<std::string> lines_;
};
