#pragma once

// The employee lookup as the screens use it: the lookup list over the company's employees,
// its pick handed back as a value.

#include "EmployeeLookup.h"

#include <optional>

// Shows the employee list for the typed text (title "Employee", 17000 twips wide, the ten
// columns from "Code" to the hidden "unitCode" and "compcode") and returns the row picked,
// or nothing when the list came back empty (no rows, or closed with empty slots). The ten
// return slots are emptied. A query error propagates (DbError).
std::optional<EmployeePick> PickEmployee(const QString &companyCode, const QString &typed, BlankCode blanks);
