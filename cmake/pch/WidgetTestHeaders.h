// The test headers and the widgets the window tests drive, compiled once for
// every test program that links Qt Widgets (cmake/PrecompiledHeaders.cmake).
#pragma once

#include "cmake/pch/TestHeaders.h"

#include <QtGui/QAction>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QTreeWidget>
