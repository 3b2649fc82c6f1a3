#pragma once
// The base window of nearly every window of the program: its font, the status bar with the window's
// name and a progress text, the placement kept in the configuration file under the window's object
// name, and Enter moving to the next field (grids move their cell instead, memos take a line break).
#include <QDialog>
#include <QRect>

class QLabel;
class QStatusBar;
class QVBoxLayout;

class TForm1 : public QDialog
{
    Q_OBJECT
public:
    // The object name names the window's section in the configuration file ("Fmain", "Fsql").
    explicit TForm1(const QString &objectName, QWidget *parent = nullptr);

    // The placement is restored here, before the first show (see the source).
    void setVisible(bool visible) override;

    QStatusBar *StatusBar1 = nullptr;
    void setStatusText(int panel, const QString &text);
    QString statusText(int panel) const;

    // A window with a fixed frame keeps its designed size when shown.
    void setSizeable(bool sizeable) { m_sizeable = sizeable; }
    bool sizeable() const { return m_sizeable; }

    // A dialog-style window takes Escape as its cancel; a window that only its own commands may
    // close (the main window) ignores it.
    void setClosesOnEscape(bool closes) { m_closesOnEscape = closes; }

    // An editing window asks "変更を破棄しますか？" before Escape, キャンセル or the close box throw
    // away typed changes; set in its constructor.
    void setAsksBeforeDiscarding(bool asks) { m_asksBeforeDiscarding = asks; }

    // Typed changes not yet saved. Fields filled by the program do not count: the window watches
    // only what the user types or picks (see the source). A window that saves without closing
    // clears the mark; a window with changes kept elsewhere overrides hasUnsavedChanges().
    virtual bool hasUnsavedChanges() const;
    void setModified(bool modified);

    // The remembered normal bounds (what is written to the configuration file).
    QRect rememberedBounds() const { return m_bounds; }

protected:
    // The window's own controls go into this layout, above the status bar.
    QVBoxLayout *bodyLayout() const { return m_body; }

    // The base show handling (placement restored, the window's name in the status bar); derived
    // windows call this first.
    virtual void FormShow();
    // Placement saved to the configuration file; derived windows call this first.
    virtual void FormClose();

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void done(int result) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleEnter(QWidget *focus);
    void restorePlacement();
    void settleBeforeMapping();
    void keepFrameOnScreen();
    bool normalState() const;
    void rememberNormalBounds();
    void saveOnce();
    void watchUserEdits();
    void markModified() { m_modified = true; }
    bool mayDiscardChanges();

    QVBoxLayout *m_body = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};
    QRect m_bounds;
    bool m_sizeable = true;
    bool m_closesOnEscape = true;
    bool m_placed = false;
    bool m_frameKept = false;
    bool m_shownOnce = false;
    bool m_saved = false;
    bool m_modified = false;
    bool m_asksBeforeDiscarding = false;
};
