#include "controls/EntryFields.h"

#include "data/SjisLengthValidator.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace EntryFields {
namespace {

// Discards the key presses of characters that the field's kind does not accept.
class KeyFilter : public QObject
{
public:
    KeyFilter(Kind kind, QObject *parent) : QObject(parent), m_kind(kind) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            // A key press may carry several characters (a pair of UTF-16 units, a composed input):
            // it passes only when every one of them would.
            const QString typed = static_cast<QKeyEvent *>(event)->text();
            for (QChar c : typed) {
                if (!acceptsKey(m_kind, c))
                    return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Kind m_kind;
};

} // namespace

QString extraKeys(Kind kind)
{
    switch (kind) {
    case Kind::DigitsOrHyphen:
        return QStringLiteral("-");
    case Kind::DigitsOrPoint:
        return QStringLiteral(".");
    default:
        return {};
    }
}

bool acceptsKey(Kind kind, QChar c)
{
    if (kind == Kind::Text || c.unicode() <= 32)
        return true;
    return (c >= u'0' && c <= u'9') || extraKeys(kind).contains(c);
}

void setUp(QLineEdit *edit, Kind kind, const QString &table, const QString &column)
{
    const int bytes = table.isEmpty() ? 0 : columnByteLength(table, column);
    if (bytes > 0)
        edit->setValidator(new SjisLengthValidator(bytes, edit));
    if (kind != Kind::Text)
        edit->installEventFilter(new KeyFilter(kind, edit));
    edit->setAttribute(Qt::WA_InputMethodEnabled, kind == Kind::Text);
}

void showFromBeginning(const QWidget *window)
{
    for (QLineEdit *field : window->findChildren<QLineEdit *>())
        if (!field->hasFocus())
            field->setCursorPosition(0);
}

} // namespace EntryFields
