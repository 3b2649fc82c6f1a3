#pragma once
// The command row of the master list windows: "追　加", "修　正", "削　除" (red under the pointer) and
// "閉じる", which closes the window.
class QDialog;
class QLayout;
class TFlatButton;

struct MasterListButtons
{
    TFlatButton *AddBTN = nullptr;
    TFlatButton *UpdBTN = nullptr;
    TFlatButton *DelBTN = nullptr;
    TFlatButton *CloseBTN = nullptr;

    // Creates the buttons on the window and returns their row.
    QLayout *build(QDialog *window);
};
