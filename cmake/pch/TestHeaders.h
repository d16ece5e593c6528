// The headers most test files include: the library set and GoogleTest,
// compiled once for every test program (cmake/PrecompiledHeaders.cmake).
#pragma once

#include "cmake/pch/LibraryHeaders.h"

#include <random>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include <QtCore/QTemporaryDir>
