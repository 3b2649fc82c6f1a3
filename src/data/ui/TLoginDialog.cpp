#include "data/ui/TLoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

TLoginDialog::TLoginDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("データベースへのログイン"));
    auto *form = new QFormLayout(this);
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("UserEDT"));
    m_user->setMaxLength(31);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("PasswordEDT"));
    m_password->setMaxLength(31);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("ユーザー名(&U):"), m_user);
    form->addRow(QStringLiteral("パスワード(&P):"), m_password);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK(&O)"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString TLoginDialog::userName() const
{
    return m_user->text();
}
QString TLoginDialog::password() const
{
    return m_password->text();
}

bool TLoginDialog::ask(QString &user, QString &password)
{
    TLoginDialog dialog;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    user = dialog.userName();
    password = dialog.password();
    return true;
}
