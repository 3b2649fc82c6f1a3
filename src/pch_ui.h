#pragma once
// Precompiled header of the windows library.
#include "pch_core.h"
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QWidget>
