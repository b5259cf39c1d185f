#pragma once

// The year's tax certificate of one employee as a document of numbered rows: the computation
// part of Form No. 16 (Part B, as revised in 2019 and amended since) for tax years to
// 2025-26 and of Form No. 130 from tax year 2026-27, or, while months of the period remain
// unpaid, the projected computation in the same rows with so-far / projected / total columns.
// Built from stored data only; the renderer (CertificatePdf) draws it as it stands.

#include "config/EmployerDetails.h"
#include "tax/TaxCertificate.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace Certificate {

// The notified layout of the year's form.
enum class Form {
    Form16,          // Form 16 Part B as revised in 2019 (to 2019-20)
    Form16OptingFor, // with the question whether the employee opts for section 115BAC (2020-21 to 2022-23)
    Form16OptingOut, // with the question whether he opts out of section 115BAC(1A) (2023-24 to 2025-26)
    Form130,         // Form 130 of the Income-tax Rules, 2026 (from tax year 2026-27)
};
Form FormOf(const QDate &finYearFrom);

// The employee as the certificate names him.
struct Employee
{
    QString slno;
    QString code; // emp_code_char followed by emp_code
    QString name;
    QString pan; // empty when not known
    QString designation;
    QString department;
};

// A declaration of the period with its head's name (the head's code when the head is gone).
struct Declaration
{
    QString head;
    QString name;
    double amount = 0;
};

// One cell of a row: an amount, a text (a column heading inside the table), or nothing.
struct Cell
{
    std::optional<double> amount;
    QString text;
};

// A row: its number ("1", "(a)", "" for a line of detail), its text, its depth (0 a numbered
// row, 1 a lettered one, 2 a line of detail), and its cells under the document's columns.
struct Line
{
    QString number;
    QString text;
    int level = 0;
    bool strong = false; // a total
    std::vector<Cell> cells;
};

struct Document
{
    Form form = Form::Form16;
    bool projected = false;
    QStringList heading; // the form's title lines
    QString yearCaption; // "Assessment Year 2019-20" / "Tax Year 2026-27"
    // The parties, as label and value pairs.
    QList<std::pair<QString, QString>> employer;
    QList<std::pair<QString, QString>> employee;
    QString regimeQuestion; // empty in the years before the new regime
    QString regimeAnswer;   // "Yes" / "No"
    QStringList columns;    // the headings of the amount columns
    QList<Line> lines;
    QStringList notes;        // below the table (the projection, the missing PAN)
    QStringList verification; // the signatory's certificate; empty for a projected computation
    QString place, date, signatory;
};

// What a certificate is made of.
struct Inputs
{
    QString companyName;
    EmployerDetails::Details employer;
    Employee employee;
    QList<Declaration> declarations; // in the order of entry
    TaxRecord::Record record;
    TaxCertificate::Computation computation;
    QDate finYearFrom;
    QDate periodFrom, periodTo;
    int monthsRemaining = 0; // above 0: a projected computation
    QDate issued;
};

// The sum of the section 80C declarations (every head but the rent paid), as the batch adds them.
double Declared80c(const QList<Declaration> &declarations);

Document Build(const Inputs &in);

// The whole document as lines of plain text, as a reader of the PDF's text sees it (tests,
// and the screen's view of a certificate).
QStringList PlainText(const Document &document);

// The file of an employee's certificate in a folder: the employee code with every character
// that a file name must not hold replaced ("SAT00005.pdf").
QString FileName(const QString &employeeCode);
// The file of all the certificates of a company and period ("C01_2018-04-01_2019-03-31.pdf").
QString CombinedFileName(const QString &companyCode, const QDate &from, const QDate &to);

} // namespace Certificate
