#include "frmFinancialYear.h"

#include "Common.h"
#include "Platform.h"
#include "SessionText.h"
#include "frmMain.h"
#include "mdlDalvoni.h"
#include "ui/FormUtil.h"
#include "ui/GridUtil.h"

#include <QKeyEvent>

frmFinancialYear::frmFinancialYear(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui.CmSwitch, &QPushButton::clicked, this, &frmFinancialYear::CmSwitch_Click);
    connect(ui.GrUnit, &QTableWidget::cellDoubleClicked, this, &frmFinancialYear::CmSwitch_Click);
    ui.GrUnit->installEventFilter(this);
    Form_Load();
}

void frmFinancialYear::Form_Load()
{
    if (frmMain *main = frmMain::Existing())
        main->AttachDialog(this);
    CentreInMain(this);
    SetUpListGrid(ui.GrUnit, 12, {0, 2800, 0, 0, 0});
    try {
        Recordset rs = mdlDalvoni::Db().query(QLatin1String(SessionText::FinYearListQuery));
        int row = 0;
        while (!rs.eof()) {
            if (row >= ui.GrUnit->rowCount())
                ui.GrUnit->setRowCount(row + 1);
            const QDate from = rs.date(QStringLiteral("ac_from_date"));
            const QDate to = rs.date(QStringLiteral("ac_to_date"));
            SetCellText(ui.GrUnit, row, 0, rs.text(QStringLiteral("Unit_Code")));
            SetCellText(ui.GrUnit, row, 1, rs.text(QStringLiteral("ac_period")));
            // The short date text may carry a two-digit year; the date itself rides along.
            SetCellText(ui.GrUnit, row, 2, ShortDate(from), from);
            SetCellText(ui.GrUnit, row, 3, ShortDate(to), to);
            SetCellText(ui.GrUnit, row, 4, rs.text(QStringLiteral("ac_default")));
            ui.GrUnit->item(row, 1)->setTextAlignment(Qt::AlignCenter);
            if (rs.number(QStringLiteral("ac_default")) == 1) {
                ui.GrUnit->setCurrentCell(row, 1);
                ui.GrUnit->item(row, 1)->setForeground(QColor(255, 0, 0));
            }
            ++row;
            rs.moveNext();
        }
        rs.close();
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    if (ui.GrUnit->currentRow() < 0)
        ui.GrUnit->setCurrentCell(0, 1);
    ui.GrUnit->setFocus();
}

void frmFinancialYear::CmSwitch_Click()
{
    using namespace mdlDalvoni;
    const int row = ui.GrUnit->currentRow();
    if (row < 0 || CellText(ui.GrUnit, row, 0).isEmpty())
        return;
    const QString question = QStringLiteral("Do you want to change the Financial Year to \r\n") +
                             QString(13, QLatin1Char(' ')) + CellText(ui.GrUnit, row, 1);
    if (!platform().askOkCancel(question, Platform::Icon::Information))
        return;
    FinYearFrom = CellData(ui.GrUnit, row, 2).toDate();
    FinYearTo = CellData(ui.GrUnit, row, 3).toDate();
    try {
        Recordset rs = Db().query(SessionText::TaxYearQuery(FinYearFrom, FinYearTo));
        while (!rs.eof()) {
            TaxYearStart = rs.date(QStringLiteral("ac_it_start_date"));
            TaxYearEnd = rs.date(QStringLiteral("ac_it_end_date"));
            rs.moveNext();
        }
        rs.close();
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    frmMain *main = frmMain::Instance();
    main->SetStatusText(SessionText::StatusLine(QLatin1String(SessionText::SwitchProducts)));
    main->ui.LbFinYear->setText(SessionText::FinYearCaption());
    close();
}

bool frmFinancialYear::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.GrUnit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CmSwitch_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmFinancialYear::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
