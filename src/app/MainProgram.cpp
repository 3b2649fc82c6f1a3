#include "app/MainProgram.h"

#include "app/TFmain.h"
#include "data/TDMdata.h"
#include "data/TLoginDialog.h"

MainProgram::MainProgram() : m_data(std::make_unique<TDMdata>()), m_window(std::make_unique<TFmain>())
{
    m_data->Session1.LoginPrompt = &TLoginDialog::ask;
}

MainProgram::~MainProgram() = default;
