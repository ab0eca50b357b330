// Runs every registered shell test class; fails when any of them has a failure.
#include <memory>

#include <QApplication>
#include <QTest>

#include "TestRegistry.h"

std::vector<ShellTests::Factory>& ShellTests::Registry()
{
    static std::vector<Factory> factories;
    return factories;
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    int failures = 0;
    int classes = 0;
    for (const auto& factory : ShellTests::Registry()) {
        std::unique_ptr<QObject> test(factory());
        failures += QTest::qExec(test.get(), argc, argv);
        ++classes;
    }
    // No class registered would be a broken build, not a pass.
    return classes == 0 ? 1 : failures;
}
