#include "data/ui/TFDBSetting.h"

#include "controls/Messages.h"
#include "data/TDMdata.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

std::function<QString(QWidget *, const QString &)> TFDBSetting::chooseFolder = [](QWidget *parent,
                                                                                  const QString &start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("データベースフォルダを指定してください"),
                                             start);
};

namespace {

QLineEdit *namedEdit(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QRadioButton *boldRadio(const char *name, const QString &caption, QWidget *parent)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(name));
    QFont f = radio->font();
    f.setBold(true);
    radio->setFont(f);
    return radio;
}

} // namespace

TFDBSetting::TFDBSetting(ConnectionSettings &settings, TDMdata &data, QWidget *parent)
    : TForm1(QStringLiteral("FDBSetting"), parent), m_settings(settings), m_data(data)
{
    setWindowTitle(QStringLiteral("データベース接続"));
    setSizeable(false);
    QVBoxLayout *body = bodyLayout();
    body->addWidget(new QLabel(QStringLiteral("接続先"), this));

    LocalRB = boldRadio("LocalRB", QStringLiteral("ローカル（このコンピュータ）"), this);
    body->addWidget(LocalRB);
    auto *group1 = new QGroupBox(QStringLiteral("ローカル設定"), this);
    group1->setObjectName(QStringLiteral("GroupBox1"));
    auto *g1 = new QVBoxLayout(group1);
    g1->addWidget(new QLabel(QStringLiteral("データベースフォルダ"), group1));
    auto *folderRow = new QHBoxLayout;
    FolderEDT = namedEdit("FolderEDT", group1);
    SpeedButton1 = new QToolButton(group1);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("..."));
    folderRow->addWidget(FolderEDT);
    folderRow->addWidget(SpeedButton1);
    g1->addLayout(folderRow);
    body->addWidget(group1);

    ServerRB = boldRadio("ServerRB", QStringLiteral("サーバー"), this);
    body->addWidget(ServerRB);
    auto *group2 = new QGroupBox(QStringLiteral("サーバー設定"), this);
    group2->setObjectName(QStringLiteral("GroupBox2"));
    auto *form = new QFormLayout(group2);
    IPEDT = namedEdit("IPEDT", group2);
    PortEDT = namedEdit("PortEDT", group2);
    DBEDT = namedEdit("DBEDT", group2);
    UserEDT = namedEdit("UserEDT", group2);
    PassEDT = namedEdit("PassEDT", group2);
    PassEDT->setEchoMode(QLineEdit::Password);
    auto withNote = [group2](QLineEdit *edit, const QString &note) {
        auto *row = new QHBoxLayout;
        row->addWidget(edit);
        row->addWidget(new QLabel(note, group2));
        return row;
    };
    form->addRow(QStringLiteral("IPアドレス"), IPEDT);
    form->addRow(QStringLiteral("ポート"), withNote(PortEDT, QStringLiteral("デフォルトは12005")));
    form->addRow(QStringLiteral("DB名"), DBEDT);
    form->addRow(QStringLiteral("ユーザ名"),
                 withNote(UserEDT, QStringLiteral("省略するとオープン時に\nログイン画面が開きます")));
    form->addRow(QStringLiteral("パスワード"), PassEDT);
    body->addWidget(group2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *connectButton = new QPushButton(QStringLiteral("接続"), this);
    connectButton->setObjectName(QStringLiteral("BitBtn1"));
    connectButton->setAutoDefault(false);
    auto *cancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    cancelButton->setObjectName(QStringLiteral("BitBtn2"));
    cancelButton->setAutoDefault(false);
    buttons->addWidget(connectButton);
    buttons->addWidget(cancelButton);
    body->addLayout(buttons);

    connect(LocalRB, &QRadioButton::clicked, this, &TFDBSetting::applyModeRule);
    connect(ServerRB, &QRadioButton::clicked, this, &TFDBSetting::applyModeRule);
    connect(SpeedButton1, &QToolButton::clicked, this, &TFDBSetting::SpeedButton1Click);
    connect(connectButton, &QPushButton::clicked, this, &TFDBSetting::BitBtn1Click);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(453, 425);
}

void TFDBSetting::FormShow()
{
    TForm1::FormShow();
    (m_settings.isLocal() ? LocalRB : ServerRB)->setChecked(true);
    applyModeRule();
    FolderEDT->setText(m_settings.folder);
    IPEDT->setText(m_settings.ip);
    PortEDT->setText(QString::number(m_settings.port));
    UserEDT->setText(m_settings.user);
    PassEDT->setText(m_settings.pass);
    DBEDT->setText(m_settings.name);
}

void TFDBSetting::applyModeRule()
{
    const bool local = LocalRB->isChecked();
    if (!local)
        ServerRB->setChecked(true);
    FolderEDT->setEnabled(local);
    for (QLineEdit *edit : {IPEDT, PortEDT, DBEDT, UserEDT, PassEDT})
        edit->setEnabled(!local);
}

void TFDBSetting::SpeedButton1Click()
{
    const QString folder = chooseFolder(this, FolderEDT->text());
    if (!folder.isEmpty())
        FolderEDT->setText(folder);
}

void TFDBSetting::BitBtn1Click()
{
    // The port is checked before anything is closed, so a typing mistake costs no connection.
    bool portOk = true;
    const int port = PortEDT->text().trimmed().toInt(&portOk);
    if (ServerRB->isChecked() && !portOk) {
        Messages::error(this, QStringLiteral("'%1' は整数ではありません").arg(PortEDT->text()));
        PortEDT->setFocus();
        return;
    }
    TEngineSession &session = m_data.Session1;
    TEngineDatabase &db = *m_data.DataDB;
    db.Close();
    session.Active = false;
    if (LocalRB->isChecked()) {
        session.SessionType = TSessionType::stLocal;
        db.Directory = FolderEDT->text();
    } else {
        session.SessionType = TSessionType::stRemote;
        session.RemoteAddress = IPEDT->text();
        session.RemotePort = port;
        session.RemoteUser = UserEDT->text();
        session.RemotePassword = PassEDT->text();
        db.RemoteDatabase = DBEDT->text();
    }
    try {
        db.Open();
    } catch (const EngineError &) {
        Messages::error(this, QStringLiteral("データベースへの接続に失敗しました"));
        restorePrevious();
        return;
    }
    m_settings = ConnectionSettings::takenFrom(session, db);
    accept();
}

void TFDBSetting::restorePrevious()
{
    m_data.DataDB->Close();
    m_settings.applyTo(m_data.Session1, *m_data.DataDB);
    Messages::guarded(this, [this] { m_data.DataDB->Open(); });
}
