#include "frmChangeCompany.h"

#include "Platform.h"
#include "SessionData.h"
#include "SessionText.h"
#include "frmMain.h"
#include "mdlDalvoni.h"
#include "ui/FormUtil.h"
#include "ui/GridUtil.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>

frmChangeCompany::frmChangeCompany(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(ui.CmSwitch, &QPushButton::clicked, this, &frmChangeCompany::CmSwitch_Click);
    connect(ui.CmClose, &QPushButton::clicked, this, &frmChangeCompany::CmClose_Click);
    connect(ui.GrCompany, &QTableWidget::cellDoubleClicked, this, &frmChangeCompany::CmSwitch_Click);
    ui.GrCompany->installEventFilter(this);
    Form_Load();
}

void frmChangeCompany::Form_Load()
{
    if (frmMain *main = frmMain::existing())
        main->attachDialog(this);
    CentreInMain(this);
    SetUpListGrid(ui.GrCompany, 7, {0, 6000, 0});
    ui.GrCompany->horizontalHeader()->setStretchLastSection(false);
    QList<SessionData::Company> companies;
    try {
        companies = SessionData::ReadCompanies(mdlDalvoni::Db());
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        platform().exitProgram(1);
        return;
    }
    for (int row = 0; row < companies.size(); ++row) {
        if (row >= ui.GrCompany->rowCount())
            ui.GrCompany->setRowCount(row + 1);
        SetCellText(ui.GrCompany, row, 0, companies[row].code);
        SetCellText(ui.GrCompany, row, 1, companies[row].name);
        ui.GrCompany->item(row, 1)->setTextAlignment(Qt::AlignCenter);
    }
    ui.GrCompany->setCurrentCell(0, 1);
    ui.GrCompany->setFocus();
}

bool frmChangeCompany::beforeMainWindow() const
{
    frmMain *main = frmMain::existing();
    return !main || !main->isVisible();
}

void frmChangeCompany::CmSwitch_Click()
{
    const int row = ui.GrCompany->currentRow();
    if (row < 0 || CellText(ui.GrCompany, row, 0).isEmpty())
        return;
    if (!platform().askOkCancel(QStringLiteral("Do you want to Change the Company... "), Platform::Icon::Information)) {
        endProgram();
        return;
    }
    mdlDalvoni::CompanyCode = CellText(ui.GrCompany, row, 0);
    mdlDalvoni::CompanyName = CellText(ui.GrCompany, row, 1);
    frmMain *main = frmMain::instance();
    main->setWindowTitle(SessionText::MainCaption());
    m_chosen = true;
    main->show();
    main->raise();
    main->activateWindow();
    close();
}

void frmChangeCompany::CmClose_Click()
{
    endProgram();
}

void frmChangeCompany::endProgram()
{
    if (const frmMain *main = frmMain::existing(); main && !main->mayEnd())
        return;
    platform().exitProgram(0);
}

bool frmChangeCompany::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui.GrCompany && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CmSwitch_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmChangeCompany::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        if (beforeMainWindow()) {
            endProgram();
            return;
        }
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmChangeCompany::closeEvent(QCloseEvent *event)
{
    // Closing the list right after login leaves nothing to work with: the program ends, as Close does.
    if (!m_chosen && beforeMainWindow()) {
        event->ignore();
        endProgram();
        return;
    }
    QWidget::closeEvent(event);
}
