#include "masters/ui/TMasterListWindow.h"

#include "controls/CsvExportMenu.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/ui/TFcsvImport.h"

#include <QAction>
#include <QHBoxLayout>
#include <QVBoxLayout>

TMasterListWindow::TMasterListWindow(const QString &objectName, const QString &title,
                                     void (*setUpList)(TEngineQuery &), QSize size, QWidget *parent)
    : TForm1(objectName, parent)
{
    setWindowTitle(title);
    m_list = new TEngineQuery(DMdata->DataDB, this);
    setUpList(*m_list);
    m_list->setPaged(true); // a master of thousands of rows is read as the grid shows it
    DBGrid1 = new TDBGridEx(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setQuery(m_list);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TMasterListWindow::UpdBTNClick);
    bodyLayout()->addWidget(DBGrid1, 1);
    bodyLayout()->addLayout(buildButtonRow());
    resize(size);
}

TFlatButton *TMasterListWindow::addButton(QLayout *row, const char *name, const QString &caption)
{
    auto *button = new TFlatButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(100, 32);
    row->addWidget(button);
    return button;
}

QLayout *TMasterListWindow::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    AddBTN = addButton(row, "AddBTN", QStringLiteral("追　加"));
    UpdBTN = addButton(row, "UpdBTN", QStringLiteral("修　正"));
    DelBTN = addButton(row, "DelBTN", QStringLiteral("削　除"));
    DelBTN->setHoverColor(Qt::red);
    row->addStretch(1);
    CloseBTN = addButton(row, "CloseBTN", QStringLiteral("閉じる"));
    connect(CloseBTN, &QPushButton::clicked, this, &QDialog::close);
    connect(AddBTN, &QPushButton::clicked, this, &TMasterListWindow::AddBTNClick);
    connect(UpdBTN, &QPushButton::clicked, this, &TMasterListWindow::UpdBTNClick);
    connect(DelBTN, &QPushButton::clicked, this, &TMasterListWindow::DelBTNClick);
    return row;
}

void TMasterListWindow::FormShow()
{
    TForm1::FormShow();
    if (!m_list->Active())
        m_list->Open();
}

QString TMasterListWindow::currentText(const char *field) const
{
    if (!m_list->Active() || m_list->IsEmpty())
        return {};
    return m_list->FieldByName(QLatin1String(field)).AsString();
}

void TMasterListWindow::reopenList()
{
    Messages::guarded(this, [this] {
        m_list->Close();
        m_list->Open();
    });
}

void TMasterListWindow::addCsvCommands(CsvExport::Kind exportKind, CsvImport::Kind importKind,
                                       const QString &fileName)
{
    CsvExportMenu::addTo(
        DBGrid1, [exportKind] { return CsvExport::rows(*DMdata->DataDB, exportKind); }, fileName);
    auto *importAction = new QAction(QStringLiteral("CSV取込..."), DBGrid1);
    importAction->setObjectName(QStringLiteral("CsvImport"));
    DBGrid1->addAction(importAction);
    connect(importAction, &QAction::triggered, this, [this, importKind] {
        TFcsvImport window(importKind, this);
        window.exec();
        if (window.imported())
            reopenList();
    });
}
