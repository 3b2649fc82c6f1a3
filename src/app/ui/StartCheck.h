#pragma once
// kadomel --check-start: the program starts as usual (configuration, data folder, connection, table
// check, the main window's lists) and ends by itself once the start is over, so that an installation
// can be tried without a person (a package check, a new machine). Nothing waits for an answer: the
// messages of the start are written to stderr instead of boxes, questions take "No", and a window
// that opens in front (the own-company window of a first start) is closed unsaved. The status is 0
// when the start succeeded and no error was told, 1 otherwise.
#include <QObject>
#include <QTimer>

class TFmain;

class StartCheck : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kOption = "--check-start";

    explicit StartCheck(TFmain &window);

private:
    void closeWindowInFront();
    void finish(bool succeeded);

    TFmain &m_window;
    QTimer m_watch;
};
