#pragma once

// The tax record of one employee and period (a row of hr_it), the limits of a financial year
// as the batch uses them, and the slabs and rebate that live as long as the batch screen.

#include "config/ITSetup.h"
#include "config/NewRegimeSetup.h"

#include <QString>

// The limits of a financial year (hr_it_setup), each rounded to two decimals; 0 without a row.
struct TaxSettings
{
    double mcLimit = 0;
    double hlLimit = 0;
    double limit80c = 0;
    double taxLimit = 0;
    double cess = 0;
};

// The four slabs and the rebate amount. They belong to the open batch screen (or one run of
// the command-line batch): each run overwrites what its rows supply, a missing row keeps
// the value of the run before, and two of the rebate rules replace the amount for the
// employees that follow.
struct RebateState
{
    TaxSlab slabs[4];
    double rebate = 0;
};

// Every figure of one employee's tax record, as the batch writes it.
struct TaxFigures
{
    int monthsRemaining = 0;
    double gross = 0;     // so far, bonus included
    double grossProj = 0; // remaining months, bonus not projected
    double hra = 0;       // house-rent exemption, not the allowance received
    double hraProj = 0;
    double pf = 0;
    double pfProj = 0;
    double professionTax = 0;
    double declaredHlInt = 0; // as declared on the worksheet, before the limit
    double declaredMc = 0;
    double ta = 0; // transport allowance, or the standard deduction
    double taProj = 0;
    double total80c = 0;
    double net80c = 0;
    double taxable = 0;
    double exemption = 0; // the TAX_LIMIT setting; under the new regime the top of its nil-rate slabs
    double tax = 0;       // after the rebate, before cess (under the new regime with the surcharge)
    double cess = 0;
    double payable = 0;
    double salCut = 0; // income tax already deducted from salary
    double balance = 0;
    TaxRegime regime = TaxRegime::Old;
};
