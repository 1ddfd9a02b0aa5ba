// Test entry point: every run gets its own temporary HOME and XDG folders before Qt starts.
#pragma once

#include "Version.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// Points HOME and XDG_* at fresh folders under root.
void qpaIsolateHome(const QString &root);

#define QPA_TEST_MAIN(TestObject)                                                                  \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QTemporaryDir home_;                                                                       \
        qpaIsolateHome(home_.path());                                                              \
        QApplication app_(argc, argv);                                                             \
        app_.setApplicationVersion(QStringLiteral(QPA_VERSION));                                   \
        TestObject tc_;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc_, argc, argv);                                                     \
    }
