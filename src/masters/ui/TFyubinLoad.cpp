#include "masters/ui/TFyubinLoad.h"

#include "controls/Messages.h"
#include "data/TDMdata.h"
#include "masters/PostalLoader.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>

namespace {

constexpr int kProgressSteps = 1000;

// The wait cursor and the disabled buttons of a running load, put back however the load ends.
class BusyGuard
{
public:
    explicit BusyGuard(std::function<void(bool)> setBusy) : m_setBusy(std::move(setBusy)) { m_setBusy(true); }
    ~BusyGuard() { m_setBusy(false); }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    std::function<void(bool)> m_setBusy;
};

} // namespace

TFyubinLoad::TFyubinLoad(QWidget *parent) : TForm1(QStringLiteral("FyubinLoad"), parent)
{
    setWindowTitle(QStringLiteral("郵便番号読込み"));
    setSizeable(false);
    buildControls();
    resize(480, 300);
}

void TFyubinLoad::buildControls()
{
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setPlainText(QStringLiteral("日本郵便が提供している郵便番号データを読み込みます。\n"
                                       "下記アドレスよりダウンロードしたデータを解凍してから読\n"
                                       "み込んでください。"));
    QPalette info = Memo1->palette();
    info.setColor(QPalette::Base, info.color(QPalette::ToolTipBase));
    info.setColor(QPalette::Text, info.color(QPalette::ToolTipText));
    Memo1->setPalette(info);
    Memo1->setFixedHeight(Memo1->fontMetrics().lineSpacing() * 3 + 16);
    bodyLayout()->addWidget(Memo1);

    Label1 = new QLabel(QString::fromLatin1(kDownloadUrl), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setStyleSheet(QStringLiteral("color: blue;"));
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->installEventFilter(this);
    bodyLayout()->addWidget(Label1);

    bodyLayout()->addLayout(buildFileRow());

    MaxLBL = new QLabel(this);
    MaxLBL->setObjectName(QStringLiteral("MaxLBL"));
    bodyLayout()->addWidget(MaxLBL);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, kProgressSteps);
    ProgressBar1->setVisible(false);
    bodyLayout()->addWidget(ProgressBar1);

    bodyLayout()->addStretch();
    bodyLayout()->addLayout(buildButtonRow());
}

QLayout *TFyubinLoad::buildFileRow()
{
    auto *row = new QHBoxLayout;
    FileNameEDT = new QLineEdit(this);
    FileNameEDT->setObjectName(QStringLiteral("FileNameEDT"));
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("…"));
    SpeedButton1->setToolTip(QStringLiteral("ファイルを選ぶ"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TFyubinLoad::SpeedButton1Click);
    row->addWidget(FileNameEDT, 1);
    row->addWidget(SpeedButton1);
    return row;
}

QLayout *TFyubinLoad::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    YomikomiBTN = new QPushButton(QStringLiteral("読込み"), this);
    YomikomiBTN->setObjectName(QStringLiteral("YomikomiBTN"));
    CanBTN = new QPushButton(QStringLiteral("キャンセル"), this);
    CanBTN->setObjectName(QStringLiteral("CanBTN"));
    connect(YomikomiBTN, &QPushButton::clicked, this, &TFyubinLoad::YomikomiBTNClick);
    connect(CanBTN, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch();
    row->addWidget(YomikomiBTN);
    row->addWidget(CanBTN);
    return row;
}

void TFyubinLoad::SpeedButton1Click()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), FileNameEDT->text());
    if (!path.isEmpty())
        FileNameEDT->setText(path);
}

void TFyubinLoad::Label1Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kDownloadUrl)));
}

bool TFyubinLoad::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label1Click();
        return true;
    }
    return TForm1::eventFilter(watched, event);
}

void TFyubinLoad::YomikomiBTNClick()
{
    const QString path = FileNameEDT->text().trimmed();
    if (!fileIsThere(path))
        return;
    if (Messages::guarded(this, [&] { load(path); }))
        accept();
}

// A path that names no file is said so; the window stays open for another path.
bool TFyubinLoad::fileIsThere(const QString &path)
{
    if (path.isEmpty()) {
        Messages::error(this, QStringLiteral("読み込むファイルを指定してください。"));
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        Messages::error(this, QStringLiteral("ファイル「%1」が見つかりません。").arg(path));
        return false;
    }
    return true;
}

void TFyubinLoad::load(const QString &path)
{
    const BusyGuard busy([this](bool on) { setBusy(on); });
    showStatus(QStringLiteral("データ読み込み中..."));
    ProgressBar1->setValue(0);
    ProgressBar1->setVisible(true);

    PostalLoader loader(*DMdata->DataDB);
    loader.setProgress([this](PostalLoader::Phase phase, qint64 done, qint64 total) {
        if (phase == PostalLoader::Phase::Registering) {
            showStatus(QStringLiteral("データベースに登録中..."));
            return;
        }
        const int value = total > 0 ? int(done * kProgressSteps / total) : 0;
        if (value != ProgressBar1->value()) {
            ProgressBar1->setValue(value);
            ProgressBar1->repaint();
        }
    });
    const qint64 rows = loader.load(path);
    Messages::information(this, QStringLiteral("郵便番号データを %1 件読み込みました").arg(rows));
}

void TFyubinLoad::showStatus(const QString &text)
{
    MaxLBL->setText(text);
    MaxLBL->repaint();
}

void TFyubinLoad::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    YomikomiBTN->setEnabled(!busy);
    CanBTN->setEnabled(!busy);
    if (!busy) {
        ProgressBar1->setVisible(false);
        MaxLBL->clear();
    }
}
