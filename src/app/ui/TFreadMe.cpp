#include "app/ui/TFreadMe.h"

#include "common/AppError.h"
#include "common/TextFiles.h"
#include "controls/Messages.h"
#include "data/AppDocuments.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("お読みください");

} // namespace

TFreadMe::TFreadMe(QWidget *parent) : TForm1(QStringLiteral("FreadMe"), parent)
{
    setWindowTitle(kTitle);
    BitBtn1 = new QPushButton(QStringLiteral("印刷"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    connect(BitBtn1, &QPushButton::clicked, this, &TFreadMe::BitBtn1Click);
    auto *top = new QHBoxLayout;
    top->addWidget(BitBtn1);
    top->addStretch();
    bodyLayout()->addLayout(top);

    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bodyLayout()->addWidget(RichEdit1, 1);

    BitBtn2 = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    connect(BitBtn2, &QPushButton::clicked, this, &TFreadMe::BitBtn2Click);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(BitBtn2);
    bodyLayout()->addLayout(bottom);
    resize(640, 480);
}

// Read at every showing, so that a changed file shows as it is now.
void TFreadMe::FormShow()
{
    TForm1::FormShow();
    RichEdit1->clear();
    Messages::guarded(this, [this] { RichEdit1->setPlainText(readTextFile(AppDocuments::readmePath())); });
}

void TFreadMe::BitBtn1Click()
{
    Messages::guarded(this, [this] {
        if (QPrinterInfo::defaultPrinter().isNull())
            throw AppError(QStringLiteral("プリンタが見つかりません"));
        QPrinter printer(QPrinterInfo::defaultPrinter());
        printTo(printer);
    });
}

void TFreadMe::printTo(QPrinter &printer)
{
    printer.setDocName(kTitle);
    RichEdit1->print(&printer);
}

void TFreadMe::BitBtn2Click()
{
    close();
}
