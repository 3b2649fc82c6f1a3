#include "app/ui/MainProgram.h"

#include "app/ui/TFmain.h"
#include "data/TDMdata.h"
#include "data/ui/TLoginDialog.h"

MainProgram::MainProgram() : m_data(std::make_unique<TDMdata>()), m_window(std::make_unique<TFmain>())
{
    m_data->Session1.LoginPrompt = &TLoginDialog::ask;
}

MainProgram::~MainProgram() = default;
