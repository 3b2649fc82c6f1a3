#pragma once
// Asks for the user name and password of the database server when the settings leave the user empty.
#include <QDialog>

class QLineEdit;

class TLoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TLoginDialog(QWidget *parent = nullptr);
    QString userName() const;
    QString password() const;

    // Shows the dialog; false when the user cancels.
    static bool ask(QString &user, QString &password);

private:
    QLineEdit *m_user;
    QLineEdit *m_password;
};
