#pragma once

#include <QApplication>
#include <QtTest>

// The main() of a test program. The test object is made before the
// application, so a TestEnvironment member points the program folder and the
// settings store into a fresh temporary folder before anything reads them.
#define VORNAK_TEST_MAIN(TestClass)                                                                                \
    int main(int argc, char** argv)                                                                                \
    {                                                                                                              \
        TestClass test;                                                                                            \
        QApplication app(argc, argv);                                                                              \
        return QTest::qExec(&test, argc, argv);                                                                    \
    }
