#!/usr/bin/env bash
# Gives the suite's tax records (hr0910.hr_it) the unique key that db/schema.sql declares,
# (emp_slno, emp_it_from, emp_it_to), on a server whose table was made without it. With the
# key the server itself refuses a second record of an employee and period, whichever
# program or workstation writes it. IncomeTax never changes a table: this script is run once
# by whoever looks after the server, at a time when nobody generates income tax.
#
#   scripts/add-tax-record-key.sh [--remove-doubles] [client options ...]
#   scripts/add-tax-record-key.sh -h 10.0.0.5 -u root -p
#
# It first lists the employees that have more than one record of a period. With such
# doubles it stops and changes nothing, unless --remove-doubles is given: then it keeps one
# record of each employee and period (the one whose comp_code is spelt as the company master
# spells it, else the oldest) and removes the others before it adds the key.
#
# Exit codes: 0 the key is there (added now, or there before); 1 doubles found and left as
# they were; 2 any other failure (the client's message says which).
set -uo pipefail

remove=0
if [ "${1:-}" = "--remove-doubles" ]; then
    remove=1
    shift
fi
client=${MYSQL_CLIENT:-$(command -v mariadb || command -v mysql || true)}
if [ -z "$client" ]; then
    echo "No MariaDB or MySQL client found (install mariadb-client, or set MYSQL_CLIENT)." >&2
    exit 2
fi
sql() { "$client" "$@" --batch --skip-column-names; }
run() { sql "$@" || { echo "The server refused the statement above; nothing more was done." >&2; exit 2; }; }

# The key is there when a unique index holds exactly the three columns in this order.
have_key=$(run "$@" -e "SELECT COUNT(*) FROM (SELECT index_name FROM information_schema.statistics
    WHERE table_schema='hr0910' AND table_name='hr_it' AND non_unique=0 GROUP BY index_name
    HAVING GROUP_CONCAT(column_name ORDER BY seq_in_index)='emp_slno,emp_it_from,emp_it_to') k") || exit 2
if [ "$have_key" != 0 ]; then
    echo "hr0910.hr_it already has the unique key of the tax record (emp_slno, emp_it_from, emp_it_to)."
    exit 0
fi

# Doubles, grouped as the key will compare them (the column's collation: no regard to case or
# trailing blanks).
doubles="SELECT emp_slno, emp_it_from, emp_it_to, COUNT(*) AS records, GROUP_CONCAT(DISTINCT CAST(comp_code AS BINARY)) AS companies
    FROM hr0910.hr_it GROUP BY emp_slno, emp_it_from, emp_it_to HAVING COUNT(*) > 1"
summary=$(run "$@" -e "SELECT COUNT(*), COALESCE(SUM(records), 0) FROM ($doubles) d") || exit 2
read -r groups records <<<"$summary"
if [ "$groups" != 0 ]; then
    echo "Doubled tax records: $groups of an employee and period have more than one ($records records in all):"
    echo -e "emp_slno\temp_it_from\temp_it_to\trecords\tcomp_code"
    run "$@" -e "$doubles ORDER BY emp_slno, emp_it_from, emp_it_to LIMIT 50"
    [ "$groups" -gt 50 ] && echo "... and $((groups - 50)) more."
    if [ "$remove" = 0 ]; then
        echo "Nothing was changed. Run again with --remove-doubles to keep one record of each and add the key."
        exit 1
    fi
    has_id=$(run "$@" -e "SELECT COUNT(*) FROM information_schema.columns WHERE table_schema='hr0910'
        AND table_name='hr_it' AND column_name='emp_it_id'") || exit 2
    if [ "$has_id" = 0 ]; then
        echo "hr0910.hr_it has no emp_it_id column to tell its records apart: remove the doubles by hand." >&2
        exit 2
    fi
    # One session: the list of records to keep is a temporary table of that session.
    run "$@" -e "USE hr0910;
        CREATE TEMPORARY TABLE keep_record AS
        SELECT g.emp_slno, g.emp_it_from, g.emp_it_to,
               (SELECT h.emp_it_id FROM hr0910.hr_it h
                LEFT JOIN dalvoni.acc_companymaster c ON BINARY c.comp_code = BINARY h.comp_code
                WHERE h.emp_slno = g.emp_slno AND h.emp_it_from = g.emp_it_from AND h.emp_it_to = g.emp_it_to
                ORDER BY c.comp_code IS NULL, h.emp_it_id LIMIT 1) AS emp_it_id
        FROM ($doubles) g;
        DELETE h FROM hr0910.hr_it h JOIN keep_record k ON h.emp_slno = k.emp_slno
            AND h.emp_it_from = k.emp_it_from AND h.emp_it_to = k.emp_it_to AND h.emp_it_id <> k.emp_it_id;
        SELECT CONCAT(ROW_COUNT(), ' doubled records removed.');" || exit 2
fi

# The old key on the same columns becomes superfluous.
old_key=$(run "$@" -e "SELECT COUNT(*) FROM information_schema.statistics WHERE table_schema='hr0910'
    AND table_name='hr_it' AND index_name='ix_emp_period'") || exit 2
drop=""
[ "$old_key" != 0 ] && drop=", DROP KEY ix_emp_period"
if ! sql "$@" -e "ALTER TABLE hr0910.hr_it ADD UNIQUE KEY ux_emp_period (emp_slno, emp_it_from, emp_it_to)$drop"; then
    echo "The key could not be added. If a record was doubled meanwhile, run this again when nobody generates." >&2
    exit 2
fi
echo "hr0910.hr_it now has the unique key of the tax record (emp_slno, emp_it_from, emp_it_to)."
exit 0
