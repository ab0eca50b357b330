// Collects the shell's Qt Test classes so that one program runs them all.
#pragma once

#include <functional>
#include <vector>

#include <QObject>

namespace ShellTests {

using Factory = std::function<QObject*()>;
std::vector<Factory>& Registry();

struct Registration {
    explicit Registration(Factory factory) { Registry().push_back(std::move(factory)); }
};

}  // namespace ShellTests
