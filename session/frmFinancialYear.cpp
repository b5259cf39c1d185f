#include "frmFinancialYear.h"

#include "Common.h"
#include "Platform.h"
#include "SessionData.h"
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
    if (frmMain *main = frmMain::existing())
        main->attachDialog(this);
    CentreInMain(this);
    SetUpListGrid(ui.GrUnit, 12, {0, 2800, 0, 0, 0});
    QList<SessionData::FinancialYear> years;
    try {
        years = SessionData::ReadFinancialYears(mdlDalvoni::Db());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    for (int row = 0; row < years.size(); ++row) {
        const SessionData::FinancialYear &year = years[row];
        if (row >= ui.GrUnit->rowCount())
            ui.GrUnit->setRowCount(row + 1);
        SetCellText(ui.GrUnit, row, 0, year.unitCode);
        SetCellText(ui.GrUnit, row, 1, year.period);
        // The short date text may carry a two-digit year; the date itself rides along.
        SetCellText(ui.GrUnit, row, 2, ShortDate(year.from), year.from);
        SetCellText(ui.GrUnit, row, 3, ShortDate(year.to), year.to);
        SetCellText(ui.GrUnit, row, 4, year.defaultFlag);
        ui.GrUnit->item(row, 1)->setTextAlignment(Qt::AlignCenter);
        if (year.isDefault) {
            ui.GrUnit->setCurrentCell(row, 1);
            ui.GrUnit->item(row, 1)->setForeground(QColor(255, 0, 0));
        }
    }
    if (ui.GrUnit->currentRow() < 0)
        ui.GrUnit->setCurrentCell(0, 1);
    ui.GrUnit->setFocus();
}

void frmFinancialYear::CmSwitch_Click()
{
    const int row = ui.GrUnit->currentRow();
    if (row < 0 || CellText(ui.GrUnit, row, 0).isEmpty())
        return;
    const QString question = QStringLiteral("Do you want to change the Financial Year to \r\n") +
                             QString(13, QLatin1Char(' ')) + CellText(ui.GrUnit, row, 1);
    if (!platform().askOkCancel(question, Platform::Icon::Information))
        return;
    try {
        SessionData::SwitchYear(mdlDalvoni::Db(), CellData(ui.GrUnit, row, 2).toDate(),
                                CellData(ui.GrUnit, row, 3).toDate());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    frmMain::instance()->showFinancialYear(QLatin1String(SessionText::kSwitchProducts));
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
