#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Expected-row tables. A row of named values is written as "name=value" texts; a test builds
// the actual row for the names of its expected one and compares the two lists, so that a
// failure names the first value that differs:
//     const QStringList expected = {"gross=430000", "tax=8840"};
//     QCOMPARE(Rows::Of(expected, [&](const QString &name) { return ...; }), expected);
namespace Rows {

// The names of an expected row, in order ("gross=430000" names gross).
QStringList Names(const QStringList &expected);
// "name=value" for every name of the expected row, the value as `value` gives it.
QStringList Of(const QStringList &expected, const std::function<QString(const QString &name)> &value);

} // namespace Rows
