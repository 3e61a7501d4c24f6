#pragma once

// The Qt tests share one QApplication, made by their main() on the
// offscreen platform unless the environment asks for another.

#include <QApplication>

namespace corvane::qt::test {

inline QApplication& qtApp() { return *static_cast<QApplication*>(QApplication::instance()); }

}  // namespace corvane::qt::test
