#pragma once

#include "SetupTestSupport.h"

#include <QObject>

#include <memory>

namespace setuptest {

// The base of the setup window's test classes: a fresh Env around every test function.
class SetupTestCase : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<Env> env_;

private slots:
    void init() { env_ = std::make_unique<Env>(); }
    void cleanup() { env_.reset(); }
};

} // namespace setuptest
