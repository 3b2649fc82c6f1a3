#pragma once
// The program's long-lived objects: the data module and the main window. The program entry and the
// tests make them through this one class, so that both create and destroy them alike.
//
// The data module comes first, because the main window's lists are bound to its database when the
// window is built, and goes last: the main window closes its lists and goes while the database
// still stands, then the data module closes the database.
#include <memory>

class TDMdata;
class TFmain;

class MainProgram
{
public:
    MainProgram();
    ~MainProgram();

    TFmain &window() const { return *m_window; }

private:
    std::unique_ptr<TDMdata> m_data; // declared first: destroyed last
    std::unique_ptr<TFmain> m_window;
};
