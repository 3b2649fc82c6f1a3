// The flat caption button: what the keyboard user sees of it.
#include "controls/TFlatButton.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

class TestFlatButton : public QObject
{
    Q_OBJECT

    // Pixels that differ between two pictures of the same size.
    static int differingPixels(const QImage &a, const QImage &b)
    {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    }

private Q_SLOTS:
    // Reached by Tab, the button shows that Space now presses it; leaving it takes the mark away.
    void keyboardFocusIsShown()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *field = new QLineEdit(&window);
        auto *button = new TFlatButton(QStringLiteral("見積書作成"), &window);
        button->setFixedSize(169, 41);
        layout->addWidget(field);
        layout->addWidget(button);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        const QImage unfocused = button->grab().toImage();

        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_VERIFY(button->hasFocus());
        const QImage focused = button->grab().toImage();
        QVERIFY2(differingPixels(unfocused, focused) > 50, "no focus mark");

        QTest::keyClick(button, Qt::Key_Backtab);
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(differingPixels(unfocused, button->grab().toImage()), 0);
    }
};

QTEST_MAIN(TestFlatButton)
#include "tst_flatbutton.moc"
