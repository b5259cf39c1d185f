#pragma once

// The employer's details that the year's tax certificate names, one set per company
// (hr_it_employer): the tax deduction account number (TAN), the PAN, the address, and the
// person responsible for deducting the tax, who signs the certificate, with the place of
// signing; who changed them last and when.

#include "config/NewRegimeSetup.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

class DbConnection;

namespace EmployerDetails {

// The fields a clerk enters, in the order of the screen.
enum class Field { Tan, Pan, Address, City, ResponsibleName, FatherName, Designation, SignPlace, Count };
constexpr int kFieldCount = static_cast<int>(Field::Count);

// The field's column in hr_it_employer and its name in messages ("the TAN", "the address").
const char *Column(Field field);
QString Name(Field field);

struct Details
{
    QString companyCode;
    std::array<QString, kFieldCount> fields;
    // The last change: who (user name) and when; empty before the first save.
    QString changedBy;
    QDateTime changedAt;

    QString &operator[](Field f) { return fields[static_cast<int>(f)]; }
    const QString &operator[](Field f) const { return fields[static_cast<int>(f)]; }
};

// TAN: four letters, five digits, a letter (MUMS12345A). PAN: five letters, four digits, a
// letter (AAACS1234F). Upper case only.
bool IsTan(const QString &text);
bool IsPan(const QString &text);

// What is wrong with the details: the first field that is empty or not of its format, with
// the sentence that says so; nullopt when they are complete.
struct Problem
{
    Field field;
    QString message;
};
std::optional<Problem> Check(const Details &details);

QString LoadSql(const QString &companyCode);
// The company's details; nullopt when none were entered.
std::optional<Details> Load(DbConnection &db, const QString &companyCode);

// Inserts the company's details, or changes them (with the modified columns); texts are
// trimmed, TAN and PAN upper-cased, and stored exactly as typed otherwise.
QString SaveSql(const Details &details, const AuditStamp &stamp);
void Save(DbConnection &db, const Details &details, const AuditStamp &stamp);

} // namespace EmployerDetails
