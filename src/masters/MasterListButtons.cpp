#include "masters/MasterListButtons.h"

#include "controls/TFlatButton.h"

#include <QDialog>
#include <QHBoxLayout>

namespace {

TFlatButton *addButton(QDialog *window, QHBoxLayout *row, const char *name, const QString &caption)
{
    auto *button = new TFlatButton(caption, window);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(100, 32);
    row->addWidget(button);
    return button;
}

} // namespace

QLayout *MasterListButtons::build(QDialog *window)
{
    auto *row = new QHBoxLayout;
    AddBTN = addButton(window, row, "AddBTN", QStringLiteral("追　加"));
    UpdBTN = addButton(window, row, "UpdBTN", QStringLiteral("修　正"));
    DelBTN = addButton(window, row, "DelBTN", QStringLiteral("削　除"));
    DelBTN->setHoverColor(Qt::red);
    row->addStretch(1);
    CloseBTN = addButton(window, row, "CloseBTN", QStringLiteral("閉じる"));
    QObject::connect(CloseBTN, &QPushButton::clicked, window, &QDialog::close);
    return row;
}
