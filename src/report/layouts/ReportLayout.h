#pragma once
// Base of the printed layouts. A layout builds its panels and items on the report window's root,
// owns the master query (whose records decide how many documents, and so pages, the report has)
// and its other queries, and fills its items from them in the panels' print events. It needs no
// window: the report windows show it, and tests and benchmarks render it headless.
#include "report/layouts/LRItemTable.h"

#include <QObject>
#include <QStringList>

class TEngineDatabase;
class TEngineQuery;
class TLightRep;

class ReportLayout : public QObject
{
    Q_OBJECT
public:
    ~ReportLayout() override;

    TLightRep &root() const { return m_root; }
    TEngineQuery *master() const { return m_master; }
    const LRItemIndex &items() const { return m_items; }
    // The window's caption and the print job's name.
    const QString &title() const { return m_title; }

    // Reads what stays fixed while the window is open (own company, settings); run when the
    // window is shown, before the preview.
    virtual void FormShow() {}
    // Around the report window's preparation of each run, which opens the master and moves to
    // its first record: the layouts close their queries before it and open the detail after it.
    virtual void beforePrepare();
    virtual void afterPrepare() {}
    // True once the master is exhausted.
    bool DataEnd() const;
    // What the user is to be told before the job prints (a seal that cannot be read), each text
    // once: taking them empties the list.
    QStringList takeNotices();

protected:
    ReportLayout(TLightRep &root, TEngineDatabase &db, QString title, QObject *parent);

    TLightRep &m_root;
    TEngineQuery *m_master;
    TEngineQuery *Query1; // the settings row, the customer
    LRItemIndex m_items;
    QStringList m_notices;

private:
    QString m_title;
};
