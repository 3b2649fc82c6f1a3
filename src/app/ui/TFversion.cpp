#include "app/ui/TFversion.h"

#include "common/AppInfo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

TFversion::TFversion(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Fversion"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    const QIcon programIcon = QApplication::windowIcon().isNull()
                                  ? style()->standardIcon(QStyle::SP_DesktopIcon)
                                  : QApplication::windowIcon();
    icon->setPixmap(programIcon.pixmap(41, 41));
    icon->setFixedSize(41, 41);
    icon->setScaledContents(true);

    ProductName = new QLabel(panel);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont bold(QStringLiteral("ＭＳ ゴシック"));
    bold.setPixelSize(19);
    bold.setBold(true);
    ProductName->setFont(bold);
    Version = new QLabel(panel);
    Version->setObjectName(QStringLiteral("Version"));
    Licence = new QLabel(QStringLiteral("%1\n%2 で配布しています")
                             .arg(QLatin1String(AppInfo::kCopyright), QLatin1String(AppInfo::kLicence)),
                         panel);
    Licence->setObjectName(QStringLiteral("Licence"));

    auto *grid = new QGridLayout(panel);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("ﾎｰﾑﾍﾟｰｼﾞ"), panel), 2, 1);
    Label3 = link("Label3", QString::fromLatin1(AppInfo::kHomePage));
    grid->addWidget(Label3, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("ﾒｰﾙ"), panel), 4, 1);
    Label6 = link("Label6", QString::fromLatin1(AppInfo::kContactAddress));
    grid->addWidget(Label6, 5, 1);
    grid->addWidget(Licence, 6, 1);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAutoDefault(false);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *column = new QVBoxLayout(this);
    column->addWidget(panel);
    column->addWidget(OKButton, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);
}

QLabel *TFversion::link(const char *name, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setStyleSheet(QStringLiteral("color: blue;"));
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    return label;
}

void TFversion::showEvent(QShowEvent *event)
{
    ProductName->setText(QLatin1String(AppInfo::kProductName));
    Version->setText(AppInfo::versionText());
    QDialog::showEvent(event);
    if (QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// Enter moves to the next control as in every window of the program; it does not close the box.
void TFversion::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFversion::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == Label3)
            Label3Click();
        else if (watched == Label6)
            Label6Click();
    }
    return QDialog::eventFilter(watched, event);
}

void TFversion::Label3Click()
{
    QDesktopServices::openUrl(QUrl(Label3->text()));
}

void TFversion::Label6Click()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + Label6->text()));
}
