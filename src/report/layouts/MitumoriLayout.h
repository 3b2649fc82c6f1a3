#pragma once
// The estimate (見積書) and the delivery note (納品書): one page design, differing in the
// particulars, the colours and where the seal's size comes from (the estimate's settings row, or
// the own-company row for the delivery note).
#include "report/layouts/DocumentLayout.h"

class MitumoriLayout : public DocumentLayout
{
    Q_OBJECT
public:
    enum class Kind { Estimate, DeliveryNote };
    MitumoriLayout(Kind kind, TLightRep &root, TEngineDatabase &db, QObject *parent = nullptr);

    Kind kind() const { return m_kind; }

protected:
    void fillParticulars() override;
    void fillRow() override;

private:
    QString totalText() const;

    Kind m_kind;
};
