#include "controls/FileChoice.h"

#include <optional>
#include <QFileDialog>

namespace FileChoice {
namespace {

struct Answer
{
    QString name;
    QString filter;
};

std::optional<Answer> &next()
{
    static std::optional<Answer> answer;
    return answer;
}

} // namespace

QString save(QWidget *parent, const QString &caption, const QString &suggested, const QString &filters,
             QString *filter)
{
    if (next()) {
        const Answer answer = *std::exchange(next(), std::nullopt);
        if (filter)
            *filter = answer.filter;
        return answer.name;
    }
    return QFileDialog::getSaveFileName(parent, caption, suggested, filters, filter);
}

QString open(QWidget *parent, const QString &caption, const QString &filters)
{
    if (next())
        return std::exchange(next(), std::nullopt)->name;
    return QFileDialog::getOpenFileName(parent, caption, QString(), filters);
}

void setNext(const QString &name, const QString &filter)
{
    next() = Answer{name, filter};
}

} // namespace FileChoice
