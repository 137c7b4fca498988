#include "ShellTests.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failures = runPasswordGateTests(argc, argv);
    failures += runMainWindowTests(argc, argv);
    return failures;
}
