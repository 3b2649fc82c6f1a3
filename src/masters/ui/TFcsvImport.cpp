#include "masters/ui/TFcsvImport.h"

#include "controls/CsvExportMenu.h"
#include "controls/FileChoice.h"
#include "controls/Messages.h"
#include "data/TDMdata.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton *namedButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TFcsvImport::TFcsvImport(CsvImport::Kind kind, QWidget *parent)
    : TForm1(QStringLiteral("FcsvImport"), parent), m_kind(kind)
{
    setWindowTitle(kind == CsvImport::Kind::Customers ? QStringLiteral("取引先CSV取込")
                                                      : QStringLiteral("商品CSV取込"));
    buildControls();
    showPreview();
    resize(760, 480);
}

void TFcsvImport::buildControls()
{
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("CSVファイル"), this));
    FileEDT = new QLineEdit(this);
    FileEDT->setObjectName(QStringLiteral("FileEDT"));
    FileEDT->setReadOnly(true);
    fileRow->addWidget(FileEDT, 1);
    FileBTN = namedButton("FileBTN", QStringLiteral("参照..."), this);
    fileRow->addWidget(FileBTN);
    bodyLayout()->addLayout(fileRow);

    auto *choiceRow = new QHBoxLayout;
    UpdateRB = new QRadioButton(QStringLiteral("登録済みのコードは更新する"), this);
    UpdateRB->setObjectName(QStringLiteral("UpdateRB"));
    UpdateRB->setChecked(true);
    SkipRB = new QRadioButton(QStringLiteral("登録済みのコードは読み飛ばす"), this);
    SkipRB->setObjectName(QStringLiteral("SkipRB"));
    choiceRow->addWidget(UpdateRB);
    choiceRow->addWidget(SkipRB);
    choiceRow->addStretch();
    bodyLayout()->addLayout(choiceRow);

    PreviewGrid = new QTableWidget(this);
    PreviewGrid->setObjectName(QStringLiteral("PreviewGrid"));
    PreviewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PreviewGrid->verticalHeader()->hide();
    bodyLayout()->addWidget(PreviewGrid, 1);

    SummaryLBL = new QLabel(this);
    SummaryLBL->setObjectName(QStringLiteral("SummaryLBL"));
    SummaryLBL->setWordWrap(true);
    bodyLayout()->addWidget(SummaryLBL);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    ImportBTN = namedButton("ImportBTN", QStringLiteral("取　込"), this);
    GoodRowsBTN = namedButton("GoodRowsBTN", QStringLiteral("正しい行だけ取込"), this);
    CloseBTN = namedButton("CloseBTN", QStringLiteral("閉じる"), this);
    for (QPushButton *b : {ImportBTN, GoodRowsBTN, CloseBTN})
        buttons->addWidget(b);
    bodyLayout()->addLayout(buttons);

    connect(FileBTN, &QPushButton::clicked, this, [this] {
        const QString path = FileChoice::open(this, windowTitle(), CsvExportMenu::filters());
        if (!path.isEmpty())
            loadFile(path);
    });
    for (QRadioButton *choice : {UpdateRB, SkipRB})
        connect(choice, &QRadioButton::toggled, this, [this] { showPreview(); });
    connect(ImportBTN, &QPushButton::clicked, this, [this] { importRows(false); });
    connect(GoodRowsBTN, &QPushButton::clicked, this, [this] { importRows(true); });
    connect(CloseBTN, &QPushButton::clicked, this, &QDialog::reject);
}

void TFcsvImport::loadFile(const QString &path)
{
    m_loaded = Messages::guarded(this, [&] {
        FileEDT->setText(path);
        m_preview = CsvImport::previewFile(*DMdata->DataDB, m_kind, path);
    });
    showPreview();
}

CsvImport::Existing TFcsvImport::existingChoice() const
{
    return SkipRB->isChecked() ? CsvImport::Existing::Skip : CsvImport::Existing::Update;
}

// One line per row: its line number, what will happen to it (each changed field old → new) or why it
// is refused, its fields (a huge cell cut short).
void TFcsvImport::showPreview()
{
    const QStringList titles = CsvImport::columns(m_kind);
    PreviewGrid->clear();
    PreviewGrid->setColumnCount(int(titles.size()) + 2);
    PreviewGrid->setHorizontalHeaderLabels(QStringList{QStringLiteral("行"), QStringLiteral("結果")} +
                                           titles);
    PreviewGrid->setRowCount(m_loaded ? int(m_preview.rows.size()) : 0);
    for (int r = 0; m_loaded && r < m_preview.rows.size(); ++r) {
        constexpr int kShown = 200;
        const CsvImport::Row &row = m_preview.rows.at(r);
        PreviewGrid->setItem(r, 0, new QTableWidgetItem(QString::number(row.line)));
        auto *resultItem = new QTableWidgetItem(m_preview.result(row, existingChoice()));
        if (!row.ok())
            resultItem->setForeground(Qt::red);
        else if (!row.changes.isEmpty() && existingChoice() == CsvImport::Existing::Update)
            resultItem->setForeground(Qt::blue);
        PreviewGrid->setItem(r, 1, resultItem);
        for (int c = 0; c < row.fields.size(); ++c) {
            const QString &field = row.fields.at(c);
            PreviewGrid->setItem(r, c + 2,
                                 new QTableWidgetItem(field.size() > kShown
                                                          ? field.left(kShown) + QStringLiteral("…")
                                                          : field));
        }
    }
    PreviewGrid->resizeColumnsToContents();
    const bool usable = m_loaded && m_preview.usable() && !m_preview.rows.isEmpty();
    const int refused = m_loaded ? m_preview.refused() : 0;
    QString summary;
    if (!m_loaded)
        summary = QStringLiteral("取り込む CSV ファイルを選んでください（UTF-8 または Shift-JIS）");
    else if (!m_preview.usable())
        summary = m_preview.problemTexts().join(QLatin1Char('\n'));
    else
        summary = QStringLiteral("%1 行（更新 %2 行、エラー %3 行）")
                      .arg(m_preview.rows.size())
                      .arg(m_preview.updates(existingChoice()))
                      .arg(refused) +
                  (refused > 0 ? QStringLiteral("。エラーのある行があるため「取込」では何も登録しません")
                               : QString());
    SummaryLBL->setText(summary);
    ImportBTN->setEnabled(usable && refused == 0);
    GoodRowsBTN->setEnabled(usable && refused > 0 && refused < m_preview.rows.size());
}

// Stored records are changed only when the user, having seen the changes, says yes.
void TFcsvImport::importRows(bool goodRowsOnly)
{
    const int updates = m_preview.updates(existingChoice());
    if (updates > 0 &&
        !Messages::confirmYesNo(this, QStringLiteral("登録済みの%1 %2 件を「結果」の欄のとおり変更します。"
                                                     "よろしいですか？")
                                          .arg(m_kind == CsvImport::Kind::Customers ? QStringLiteral("取引先")
                                                                                    : QStringLiteral("商品"))
                                          .arg(updates)))
        return;
    CsvImport::Outcome outcome;
    const bool done = Messages::guarded(this, [&] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore
        {
            ~Restore() { QApplication::restoreOverrideCursor(); }
        } restore;
        outcome = CsvImport::apply(*DMdata->DataDB, m_preview, existingChoice(), goodRowsOnly);
    });
    if (!done) {
        // Changed at another computer since it was read, perhaps: the preview shows the stored values again.
        if (!FileEDT->text().isEmpty())
            loadFile(FileEDT->text());
        return;
    }
    m_imported = true;
    Messages::information(
        this, QStringLiteral("取り込みました（追加 %1 件、更新 %2 件、変更なし %3 件、読み飛ばし %4 件）")
                  .arg(outcome.added)
                  .arg(outcome.updated)
                  .arg(outcome.unchanged)
                  .arg(outcome.skipped));
    accept();
}
