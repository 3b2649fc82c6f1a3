#pragma once
// The SQL window: the user types a statement against the program's database and runs it; a select
// fills the grid, whose rows can be copied to the clipboard as tab-separated text. Statement texts
// are loaded from and saved to files.
#include "controls/TForm1.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class TDBGridEx;
class TEngineQuery;

class TFsql : public TForm1
{
    Q_OBJECT
public:
    explicit TFsql(QWidget *parent = nullptr);
    ~TFsql() override;

    void Button1Click();   // "ＳＱＬ実行"
    void Open1Execute();   // asks for the file, then loadFile
    void SaveAs1Execute(); // asks for the name, then saveFile
    void Copy2CBExecute();

    // The file commands after their dialogs; failures are shown as errors and change nothing.
    bool loadFile(const QString &path);
    bool saveFile(const QString &path);

    // Where the open and save dialogs start.
    QString dialogFolder() const { return m_dialogFolder; }

    QLabel *Label1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button5 = nullptr;
    TDBGridEx *DBGridEx1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    TEngineQuery *Query1 = nullptr;
    QAction *Open1 = nullptr;
    QAction *SaveAs1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *Copy2CB = nullptr;

private:
    void buildActions();
    QWidget *buildStatementArea();
    QWidget *buildResultArea();
    void buildMenu();
    void run();

    QString m_dialogFolder;
};
