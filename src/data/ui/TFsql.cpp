#include "data/ui/TFsql.h"

#include "controls/HelpCommand.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "data/AppPaths.h"
#include "data/SqlWindowRules.h"
#include "data/TDMdata.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

const QString kFilters = QStringLiteral("SQL(*.SQL *.sql);;すべてのファイル (*)");

QPushButton *actionButton(const char *name, const QString &caption, QAction *action, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    if (action) {
        QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
        QObject::connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
        b->setEnabled(action->isEnabled());
    }
    return b;
}

} // namespace

TFsql::TFsql(QWidget *parent)
    : TForm1(QStringLiteral("Fsql"), parent), m_dialogFolder(AppPaths::programFolder())
{
    setWindowTitle(QStringLiteral("SQL"));
    setAsksBeforeDiscarding(true);
    Query1 = new TEngineQuery(DMdata->DataDB, this);
    buildActions();
    buildMenu();

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->addWidget(buildStatementArea());
    splitter->addWidget(buildResultArea());
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({113, 300});
    bodyLayout()->addWidget(splitter);

    // The copy command follows the query: it has rows to copy exactly while it is open.
    connect(Query1, &TEngineQuery::afterOpen, Copy2CB, [this] { Copy2CB->setEnabled(true); });
    connect(Query1, &TEngineQuery::afterClose, Copy2CB, [this] { Copy2CB->setEnabled(false); });
    resize(640, 480);
}

TFsql::~TFsql()
{
    Query1->Close();
}

void TFsql::buildActions()
{
    auto make = [this](const char *name, const QString &caption, void (TFsql::*slot)()) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this,
                [this, slot] { Messages::guarded(this, [this, slot] { (this->*slot)(); }); });
        return a;
    };
    Open1 = make("Open1", QStringLiteral("開く(&O)"), &TFsql::Open1Execute);
    SaveAs1 = make("SaveAs1", QStringLiteral("名前を付けて保存(&A)"), &TFsql::SaveAs1Execute);
    Exit1 = new QAction(QStringLiteral("終了(&X)"), this);
    Exit1->setObjectName(QStringLiteral("Exit1"));
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    Copy2CB = make("Copy2CB", QStringLiteral("ｺﾋﾟｰ"), &TFsql::Copy2CBExecute);
    Copy2CB->setEnabled(false);
}

void TFsql::buildMenu()
{
    auto *menu = new QMenuBar(this);
    QMenu *file = menu->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->addAction(Open1);
    file->addAction(SaveAs1);
    file->addSeparator();
    file->addAction(Exit1);
    QMenu *help = menu->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this, [this] { HelpCommand::showHelp(this); })
        ->setObjectName(QStringLiteral("Help1"));
    layout()->setMenuBar(menu);
}

QWidget *TFsql::buildStatementArea()
{
    auto *panel = new QWidget(this);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    Label1 = new QLabel(QStringLiteral(" SQL "), panel);
    Label1->setObjectName(QStringLiteral("Label1"));
    row->addWidget(Label1, 0, Qt::AlignTop);
    Memo1 = new QPlainTextEdit(panel);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    row->addWidget(Memo1, 1);

    auto *buttons = new QVBoxLayout;
    Button1 = actionButton("Button1", QStringLiteral("ＳＱＬ実行"), nullptr, panel);
    connect(Button1, &QPushButton::clicked, this, &TFsql::Button1Click);
    Button2 = actionButton("Button2", QStringLiteral("ＳＱＬ読込"), Open1, panel);
    Button3 = actionButton("Button3", QStringLiteral("ＳＱＬ保存"), SaveAs1, panel);
    for (QPushButton *b : {Button1, Button2, Button3})
        buttons->addWidget(b);
    buttons->addStretch();
    row->addLayout(buttons);
    return panel;
}

QWidget *TFsql::buildResultArea()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    Button5 = actionButton("Button5", QStringLiteral("コピー"), Copy2CB, panel);
    auto *top = new QHBoxLayout;
    top->addWidget(Button5);
    top->addStretch();
    column->addLayout(top);

    DBGridEx1 = new TDBGridEx(panel);
    DBGridEx1->setObjectName(QStringLiteral("DBGridEx1"));
    DBGridEx1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEx1->setFocusPolicy(Qt::NoFocus);
    DBGridEx1->setQuery(Query1);
    PopupMenu1 = new QMenu(DBGridEx1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(Copy2CB);
    DBGridEx1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGridEx1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupMenu1->popup(DBGridEx1->viewport()->mapToGlobal(at)); });
    column->addWidget(DBGridEx1, 1);

    Button4 = actionButton("Button4", QStringLiteral("閉じる"), Exit1, panel);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(Button4);
    column->addLayout(bottom);
    return panel;
}

void TFsql::Button1Click()
{
    Messages::guarded(this, [this] { run(); });
}

// The statement runs as typed, in the dialect of the engine in use.
void TFsql::run()
{
    using namespace SqlWindowRules;
    Query1->Close();
    Query1->setSql(Memo1->toPlainText().split(QLatin1Char('\n')));
    const Verdict verdict = classify(Memo1->toPlainText());
    switch (verdict) {
    case Verdict::Open: {
        ReadOnlyScope readOnly(*Query1->database());
        Query1->Open();
        return;
    }
    case Verdict::AskAndRun:
        if (Messages::confirmOkCancel(this, confirmText())) {
            Query1->ExecSQL();
            Messages::information(this, QStringLiteral("%1 行を変更しました").arg(Query1->RowsAffected()));
        }
        return;
    default:
        Messages::error(this, refusalMessage(verdict));
        return;
    }
}

void TFsql::Copy2CBExecute()
{
    if (!Query1->Active())
        return;
    QGuiApplication::clipboard()->setText(SqlWindowRules::copyText(*Query1));
}

void TFsql::Open1Execute()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), m_dialogFolder, kFilters);
    if (!path.isEmpty())
        loadFile(path);
}

void TFsql::SaveAs1Execute()
{
    QFileDialog dialog(this, QString(), m_dialogFolder, kFilters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("SQL"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        saveFile(dialog.selectedFiles().constFirst());
}

bool TFsql::loadFile(const QString &path)
{
    return Messages::guarded(this, [&] {
        Memo1->setPlainText(SqlWindowRules::readStatementFile(path));
        m_dialogFolder = QFileInfo(path).absolutePath();
    });
}

bool TFsql::saveFile(const QString &path)
{
    return Messages::guarded(this, [&] {
        const QString target = SqlWindowRules::withDefaultExtension(path);
        SqlWindowRules::writeStatementFile(target, Memo1->toPlainText());
        m_dialogFolder = QFileInfo(target).absolutePath();
        setModified(false);
    });
}
