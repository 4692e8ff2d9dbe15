#pragma once

// A kind of BridgeAction that reaches a side which does not carry it out is dropped with a
// warning; in the tests that drive the passes through their owners it is a failure.
#include "common/BridgeAction.h"

#include <QRegularExpression>
#include <QTest>

inline void failOnForgottenActions() {
    QTest::failOnWarning(QRegularExpression(QString::fromLatin1(ActionTarget::kForgottenWarning)));
}
