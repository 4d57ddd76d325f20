// The string bar of the main window: the string field, its two buttons, the
// length labels, the maximum length and the table names.
#include "app/kvrmain.h"

#include "app/numbers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {
// "Length: 12 = h000C": decimal, then "h0" and at least 3 hexadecimal digits.
QString lengthLabel(const QString& caption, int value)
{
    return caption + QStringLiteral(": ") + QString::number(value) + QStringLiteral(" = h0") +
           QString::fromStdString(hexText(static_cast<std::uint32_t>(value), 3));
}
} // namespace

void TQuarnTileMapper::createStringBar()
{
    auto* bar = new QWidget(this);
    setCentralWidget(bar);
    GetBtn = new QPushButton(wb_.text("GetBtn"), bar);
    GetBtn->setObjectName(QStringLiteral("GetBtn"));
    GetBtn->setGeometry(0, 2, 54, 22);
    PasteBtn = new QPushButton(wb_.text("PasteBtn"), bar);
    PasteBtn->setObjectName(QStringLiteral("PasteBtn"));
    PasteBtn->setGeometry(56, 2, 57, 22);
    LenLab = new QLabel(lengthLabel(wb_.text("LenLab"), 0), bar);
    LenLab->setObjectName(QStringLiteral("LenLab"));
    LenLab->setGeometry(120, 5, 180, 16);
    MaxLenLab = new QLabel(lengthLabel(wb_.text("MaxLenLab"), 1), bar);
    MaxLenLab->setObjectName(QStringLiteral("MaxLenLab"));
    MaxLenLab->setGeometry(304, 5, 180, 16);
    SpinEdit1 = new QSpinBox(bar);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 960);
    SpinEdit1->setValue(1);
    SpinEdit1->setGeometry(488, 0, 49, 22);
    DataEdit = new QLineEdit(bar);
    DataEdit->setObjectName(QStringLiteral("DataEdit"));
    DataEdit->setMaxLength(10000);
    DataEdit->setGeometry(0, 24, 537, 22);
    TBLnamel = new QLabel(wb_.text("TBLnamel") + QStringLiteral(":"), bar);
    TBLnamel->setObjectName(QStringLiteral("TBLnamel"));
    TBLnamel->setGeometry(0, 50, 537, 16);
    Label4 = new QLabel(wb_.text("TileTblLab") + QStringLiteral(":"), bar);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(0, 68, 537, 16);
    // Extract and insert come with the string commands; until then the
    // string field stays read-only.
    for (QWidget* w : {static_cast<QWidget*>(GetBtn), static_cast<QWidget*>(PasteBtn),
                       static_cast<QWidget*>(DataEdit)})
        w->setEnabled(false);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int value) {
        wb_.state.maxStringLength = value;
        MaxLenLab->setText(lengthLabel(wb_.text("MaxLenLab"), value));
    });
}

void TQuarnTileMapper::showMaxStringLength(int length)
{
    const int kept = std::clamp(length, SpinEdit1->minimum(), SpinEdit1->maximum());
    SpinEdit1->setValue(kept);
    wb_.state.maxStringLength = kept;
    MaxLenLab->setText(lengthLabel(wb_.text("MaxLenLab"), kept));
}
