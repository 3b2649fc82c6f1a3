#pragma once
// The estimate editor (見積書): one estimate written or changed. The caller sets MitumoriKey (0 for a
// new estimate), shows the window modally and reads MitumoriKey back: the key of the saved estimate,
// unchanged after a cancel. A stored estimate can also start a delivery note (NohinBTN).
#include "documents/ui/TDocumentEditor.h"

#include <QLineEdit>

class TFmitumori : public TDocumentEditor
{
    Q_OBJECT
    Q_PROPERTY(int MitumoriKey READ mitumoriKey WRITE setMitumoriKey)
public:
    explicit TFmitumori(QWidget *parent = nullptr);

    int mitumoriKey() const { return m_mitumoriKey; }
    void setMitumoriKey(int key) { m_mitumoriKey = key; }

    QLineEdit *Kenmei = nullptr;
    QLineEdit *Yukokigen = nullptr;
    QLineEdit *Nouki = nullptr;
    QLineEdit *SiharaiJyoken = nullptr;
    TFlatButton *NohinBTN = nullptr;

protected:
    void showDocument() override;
    QWidget *afterCustomer() const override { return Kenmei; }
    void readOwnFields(DocumentRecord &document) const override;
    void showReport(int key) override;
    void saved(int key) override { m_mitumoriKey = key; }
    QString automaticNumberMessage() const override;

private:
    void NohinBTNClick();

    int m_mitumoriKey = 0;
};
