#pragma once
// The delivery note editor (納品書): one delivery note written or changed, or made from a stored
// estimate. The caller sets NohinKey (0 for a new note) and MitumoriKey (an estimate to copy, or 0),
// shows the window modally and reads NohinKey back: the key of the saved note, unchanged after a
// cancel.
#include "documents/ui/TDocumentEditor.h"

#include <QLineEdit>

class TFnohin : public TDocumentEditor
{
    Q_OBJECT
    Q_PROPERTY(int NohinKey READ nohinKey WRITE setNohinKey)
    Q_PROPERTY(int MitumoriKey READ mitumoriKey WRITE setMitumoriKey)
public:
    explicit TFnohin(QWidget *parent = nullptr);

    int nohinKey() const { return m_nohinKey; }
    void setNohinKey(int key) { m_nohinKey = key; }
    int mitumoriKey() const { return m_mitumoriKey; }
    void setMitumoriKey(int key) { m_mitumoriKey = key; }

protected:
    void showDocument() override;
    QWidget *afterCustomer() const override { return Basyo; }
    void readOwnFields(DocumentRecord &) const override {}
    void showReport(int key) override;
    void saved(int key) override { m_nohinKey = key; }
    QString automaticNumberMessage() const override;

private:
    int m_nohinKey = 0;
    int m_mitumoriKey = 0;
};
