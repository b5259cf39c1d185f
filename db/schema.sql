-- The suite's two databases as IncomeTax sees them.
-- hr0910: payroll tables (filled by the payroll modules) and the income-tax tables (ours).
-- dalvoni: users, companies, units, financial years and released versions.
-- Amounts are DECIMAL(15,2); codes and keys are text; flags are small integers.

CREATE DATABASE IF NOT EXISTS hr0910 CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;
CREATE DATABASE IF NOT EXISTS dalvoni CHARACTER SET utf8mb4 COLLATE utf8mb4_general_ci;

USE dalvoni;

CREATE TABLE IF NOT EXISTS userdetails (
    user_id          INT NOT NULL PRIMARY KEY,
    user_name        VARCHAR(50) NOT NULL,
    user_password    VARCHAR(50) NULL,
    user_admin       INT NULL DEFAULT 0,
    user_group_code  VARCHAR(10) NULL,
    user_type        INT NULL DEFAULT 0,
    user_login_it    INT NULL DEFAULT 0,
    user_login_advt  INT NULL DEFAULT 0,
    KEY ix_user_name (user_name)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS acc_companymaster (
    comp_code      VARCHAR(10) NOT NULL PRIMARY KEY,
    comp_name      VARCHAR(100) NOT NULL,
    comp_disable   INT NOT NULL DEFAULT 0,
    comp_priority  INT NOT NULL DEFAULT 0
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS unitmaster (
    unit_code  VARCHAR(10) NOT NULL PRIMARY KEY,
    unit_name  VARCHAR(60) NOT NULL
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS ac_fin_year (
    unit_code         VARCHAR(10) NOT NULL,
    ac_from_date      DATE NOT NULL,
    ac_to_date        DATE NOT NULL,
    ac_it_start_date  DATE NULL,
    ac_it_end_date    DATE NULL,
    ac_default        INT NOT NULL DEFAULT 0,
    ac_app_it         INT NOT NULL DEFAULT 0,
    ac_period         VARCHAR(20) NULL,
    KEY ix_unit_default (unit_code, ac_default),
    KEY ix_dates (ac_from_date, ac_to_date)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS versionmaster (
    pack_code     VARCHAR(10) NOT NULL,
    version_code  VARCHAR(20) NULL,
    KEY ix_pack (pack_code)
) ENGINE=InnoDB;

USE hr0910;

CREATE TABLE IF NOT EXISTS hr_designation (
    desig_code  VARCHAR(10) NOT NULL PRIMARY KEY,
    desig_name  VARCHAR(60) NOT NULL
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_department (
    dept_code  VARCHAR(10) NOT NULL PRIMARY KEY,
    dept_name  VARCHAR(60) NOT NULL
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_employee (
    emp_slno        VARCHAR(20) NOT NULL PRIMARY KEY,
    emp_code_char   VARCHAR(10) NOT NULL DEFAULT '',
    emp_code        VARCHAR(20) NOT NULL DEFAULT '',
    emp_name        VARCHAR(100) NOT NULL DEFAULT '',
    emp_pan         VARCHAR(20) NULL,
    emp_desig_code  VARCHAR(10) NULL,
    emp_dept_code   VARCHAR(10) NULL,
    emp_unit_code   VARCHAR(10) NULL,
    comp_code       VARCHAR(10) NOT NULL,
    emp_disable     INT NOT NULL DEFAULT 0,
    emp_flag        INT NOT NULL DEFAULT 0,
    KEY ix_comp_flag (comp_code, emp_flag)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_otherallowance (
    allowance_code     VARCHAR(20) NOT NULL PRIMARY KEY,
    allowance_name     VARCHAR(60) NOT NULL DEFAULT '',
    allowance_visible  INT NOT NULL DEFAULT 0
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_emp_salary (
    emp_sal_id         BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    emp_slno           VARCHAR(20) NOT NULL,
    emp_sal_type       VARCHAR(20) NOT NULL,
    emp_sal_dr         DECIMAL(15,2) NULL,
    emp_sal_cr         DECIMAL(15,2) NULL,
    emp_sal_date_from  DATE NOT NULL,
    KEY ix_emp_month_type (emp_slno, emp_sal_date_from, emp_sal_type)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_emp_bonus (
    emp_bonus_id  BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    emp_slno      VARCHAR(20) NOT NULL,
    emp_bonus     DECIMAL(15,2) NULL,
    emp_date      DATE NOT NULL,
    KEY ix_emp_date (emp_slno, emp_date)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_finalize (
    comp_code   VARCHAR(10) NOT NULL,
    entry_type  VARCHAR(10) NOT NULL,
    entry_date  DATE NOT NULL,
    KEY ix_comp_type_date (comp_code, entry_type, entry_date)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_it_setup (
    ac_from_date  DATE NOT NULL,
    ac_to_date    DATE NOT NULL,
    set_id        VARCHAR(20) NOT NULL,
    set_value     DECIMAL(15,2) NULL,
    KEY ix_year (ac_from_date, ac_to_date, set_id)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_it_slabs (
    it_ac_from_date  DATE NOT NULL,
    it_ac_to_date    DATE NOT NULL,
    it_slab          INT NOT NULL,
    it_slab_start    DECIMAL(15,2) NULL,
    it_slab_end      DECIMAL(15,2) NULL,
    it_per           DECIMAL(6,2) NULL,
    KEY ix_year (it_ac_from_date, it_ac_to_date)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_it_allowance (
    allowance_code        VARCHAR(20) NOT NULL PRIMARY KEY,
    allowance_name        VARCHAR(100) NOT NULL DEFAULT '',
    allowance_ded_per     DECIMAL(15,2) NULL DEFAULT 0,
    allowance_ded_amount  DECIMAL(15,2) NULL DEFAULT 0,
    allowance_flag        CHAR(1) NULL DEFAULT '0',
    unit_code             VARCHAR(10) NULL,
    comp_code             VARCHAR(10) NULL,
    created_by            INT NULL,
    created_date          DATE NULL,
    created_time          TIME NULL,
    modified_by           INT NULL,
    modified_date         DATE NULL,
    modified_time         TIME NULL,
    KEY ix_name_comp (allowance_name, comp_code)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_it_trans (
    emp_it_trans_id        BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    emp_slno               VARCHAR(20) NOT NULL,
    emp_it_allowance_code  VARCHAR(20) NOT NULL DEFAULT '',
    emp_amount             DECIMAL(15,2) NULL,
    emp_allowance_slno     INT NULL,
    emp_it_from            DATE NOT NULL,
    emp_it_to              DATE NOT NULL,
    KEY ix_emp_year (emp_slno, emp_it_from, emp_it_to)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS hr_it (
    emp_it_id            BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY,
    emp_slno             VARCHAR(20) NOT NULL,
    emp_code             VARCHAR(30) NULL,
    comp_code            VARCHAR(10) NULL,
    emp_months_rem       INT NULL,
    emp_gross            DECIMAL(15,2) NULL,
    emp_gross_proj       DECIMAL(15,2) NULL,
    emp_hra              DECIMAL(15,2) NULL,
    emp_hra_proj         DECIMAL(15,2) NULL,
    emp_pf               DECIMAL(15,2) NULL,
    emp_pf_proj          DECIMAL(15,2) NULL,
    emp_pro_tax          DECIMAL(15,2) NULL,
    emp_hl_int           DECIMAL(15,2) NULL,
    emp_hl_int_limit     DECIMAL(15,2) NULL,
    emp_mc               DECIMAL(15,2) NULL,
    emp_mc_limit         DECIMAL(15,2) NULL,
    emp_ta               DECIMAL(15,2) NULL,
    emp_ta_proj          DECIMAL(15,2) NULL,
    emp_80c_total        DECIMAL(15,2) NULL,
    emp_80c_limit        DECIMAL(15,2) NULL,
    emp_80c_net          DECIMAL(15,2) NULL,
    emp_taxable_amt      DECIMAL(15,2) NULL,
    emp_excemption       DECIMAL(15,2) NULL,
    emp_net_taxable_amt  DECIMAL(15,2) NULL,
    emp_cess             DECIMAL(15,2) NULL,
    emp_payable          DECIMAL(15,2) NULL,
    emp_sal_cut          DECIMAL(15,2) NULL,
    emp_balance          DECIMAL(15,2) NULL,
    emp_it_from          DATE NOT NULL,
    emp_it_to            DATE NOT NULL,
    created_by           INT NULL,
    created_date         DATE NULL,
    created_time         TIME NULL,
    -- One record per employee and period, whoever writes it: keys compare as the server
    -- compares them everywhere, without regard to case or trailing blanks. A server whose
    -- hr_it was made without this key gets it from scripts/add-tax-record-key.sh.
    UNIQUE KEY ux_emp_period (emp_slno, emp_it_from, emp_it_to),
    KEY ix_comp_period (comp_code, emp_it_from, emp_it_to, emp_code)
) ENGINE=InnoDB;

CREATE TABLE IF NOT EXISTS numbersetup (
    no_id     VARCHAR(20) NOT NULL PRIMARY KEY,
    no_value  VARCHAR(60) NULL
) ENGINE=InnoDB;

-- The new regime (section 115BAC) beside the computation with exemptions and deductions.
-- A financial year without a row in hr_it_new_regime is computed the old way for everybody.

-- The new regime's figures of a financial year, and the regime of employees who have not
-- chosen one ('OLD' or 'NEW').
CREATE TABLE IF NOT EXISTS hr_it_new_regime (
    ac_from_date    DATE NOT NULL,
    ac_to_date      DATE NOT NULL,
    default_regime  CHAR(3) NOT NULL DEFAULT 'OLD',
    std_deduction   DECIMAL(15,2) NOT NULL DEFAULT 0,
    rebate_limit    DECIMAL(15,2) NOT NULL DEFAULT 0,
    rebate_max      DECIMAL(15,2) NOT NULL DEFAULT 0,
    rebate_relief   INT NOT NULL DEFAULT 0,
    cess_per        DECIMAL(6,2) NOT NULL DEFAULT 0,
    created_by      INT NULL,
    created_date    DATE NULL,
    created_time    TIME NULL,
    modified_by     INT NULL,
    modified_date   DATE NULL,
    modified_time   TIME NULL,
    PRIMARY KEY (ac_from_date, ac_to_date)
) ENGINE=InnoDB;

-- Its slabs, taxed progressively in it_slab order; a null it_slab_end is "and above".
CREATE TABLE IF NOT EXISTS hr_it_new_regime_slabs (
    it_ac_from_date  DATE NOT NULL,
    it_ac_to_date    DATE NOT NULL,
    it_slab          INT NOT NULL,
    it_slab_start    DECIMAL(15,2) NOT NULL,
    it_slab_end      DECIMAL(15,2) NULL,
    it_per           DECIMAL(6,2) NOT NULL,
    PRIMARY KEY (it_ac_from_date, it_ac_to_date, it_slab)
) ENGINE=InnoDB;

-- Its surcharge bands: it_per of the tax on a taxable income above it_threshold.
CREATE TABLE IF NOT EXISTS hr_it_new_regime_surcharge (
    it_ac_from_date  DATE NOT NULL,
    it_ac_to_date    DATE NOT NULL,
    it_band          INT NOT NULL,
    it_threshold     DECIMAL(15,2) NOT NULL,
    it_per           DECIMAL(6,2) NOT NULL,
    PRIMARY KEY (it_ac_from_date, it_ac_to_date, it_band)
) ENGINE=InnoDB;

-- The old regime's surcharge bands of a financial year: it_per of the tax on a taxable income
-- above it_threshold, with marginal relief. A year without rows has no old-regime surcharge.
CREATE TABLE IF NOT EXISTS hr_it_old_regime_surcharge (
    it_ac_from_date  DATE NOT NULL,
    it_ac_to_date    DATE NOT NULL,
    it_band          INT NOT NULL,
    it_threshold     DECIMAL(15,2) NOT NULL,
    it_per           DECIMAL(6,2) NOT NULL,
    PRIMARY KEY (it_ac_from_date, it_ac_to_date, it_band)
) ENGINE=InnoDB;

-- The regime an employee chose for a financial year ('OLD' or 'NEW'), with who set it and when.
CREATE TABLE IF NOT EXISTS hr_it_emp_regime (
    emp_slno       VARCHAR(20) NOT NULL,
    ac_from_date   DATE NOT NULL,
    ac_to_date     DATE NOT NULL,
    emp_regime     CHAR(3) NOT NULL,
    created_by     INT NULL,
    created_date   DATE NULL,
    created_time   TIME NULL,
    modified_by    INT NULL,
    modified_date  DATE NULL,
    modified_time  TIME NULL,
    PRIMARY KEY (emp_slno, ac_from_date, ac_to_date),
    KEY ix_year (ac_from_date, ac_to_date)
) ENGINE=InnoDB;

-- The batch runs in progress, one row per company while a run holds the company's run lock
-- (a named lock on the server), so that a second workstation can say whose run it waits for.
-- Written outside the run's transaction; a row left by a run that broke off is replaced by the
-- next run and never shown, since only the row of the lock's holder is read.
CREATE TABLE IF NOT EXISTS hr_it_batch_run (
    comp_code    VARCHAR(10) NOT NULL PRIMARY KEY,
    conn_id      BIGINT NOT NULL,
    user_id      INT NULL,
    user_name    VARCHAR(50) NULL,
    workstation  VARCHAR(100) NULL,
    emp_it_from  DATE NULL,
    emp_it_to    DATE NULL,
    started_at   DATETIME NULL
) ENGINE=InnoDB;

-- The employer's details that the year's tax certificate names, one row per company: the tax
-- deduction account number, the PAN, the address, the person responsible for deducting the
-- tax (who signs the certificate) and the place of signing, with who entered and changed them.
CREATE TABLE IF NOT EXISTS hr_it_employer (
    comp_code         VARCHAR(10) NOT NULL PRIMARY KEY,
    tan               CHAR(10) NOT NULL DEFAULT '',
    pan               CHAR(10) NOT NULL DEFAULT '',
    address           VARCHAR(200) NOT NULL DEFAULT '',
    city              VARCHAR(60) NOT NULL DEFAULT '',
    resp_name         VARCHAR(100) NOT NULL DEFAULT '',
    resp_father_name  VARCHAR(100) NOT NULL DEFAULT '',
    resp_designation  VARCHAR(60) NOT NULL DEFAULT '',
    sign_place        VARCHAR(60) NOT NULL DEFAULT '',
    created_by        INT NULL,
    created_date      DATE NULL,
    created_time      TIME NULL,
    modified_by       INT NULL,
    modified_date     DATE NULL,
    modified_time     TIME NULL
) ENGINE=InnoDB;
