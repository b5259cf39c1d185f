#include "frmITSettings.h"

#include "ITSetup.h"
#include "session/Common.h"
#include "session/Platform.h"
#include "session/mdlDalvoni.h"
#include "ui/FormUtil.h"
#include "ui/NumericEdit.h"

#include <QKeyEvent>

frmITSettings::frmITSettings(QWidget *parent) : QWidget(parent)
{
    ui.setupUi(this);
    for (QLineEdit *box : {ui.TxHLInterestLimit, ui.TxMCLimit, ui.Tx80CLimit, ui.TxExemption, ui.TxRebate, ui.TxCESS}) {
        AttachNumericKeyFilter(box, 12, 2, 1, false);
        // Installed after the key filter, so Enter moves the focus before the filter sees it.
        box->installEventFilter(this);
    }
    // The slabs are shown, never stored: they look and behave as the figures they are.
    for (QLineEdit *box : {ui.TxSlab1From, ui.TxSlab1To, ui.TxSlab1Per, ui.TxSlab2From, ui.TxSlab2To, ui.TxSlab2Per,
                           ui.TxSlab3From, ui.TxSlab3To, ui.TxSlab3Per, ui.TxSlab4From, ui.TxSlab4To, ui.TxSlab4Per})
        ShowAsReadOnly(box);
    connect(ui.CmApply, &QPushButton::clicked, this, [this] { CmApply_Click(); });
    connect(ui.CmClose, &QPushButton::clicked, this, [this] { CmClose_Click(); });
    CloseOnEscape(this);
    Form_Load();
}

void frmITSettings::Form_Load()
{
    CentreInMain(this);
    ITSetup::Year year;
    try {
        year = ITSetup::Load(mdlDalvoni::Db(), mdlDalvoni::FinYearFrom, mdlDalvoni::FinYearTo,
                             ITSetup::Reader::SettingsScreen);
    } catch (const DbError &e) {
        platform().message(e.text(), Platform::Icon::Critical);
        return;
    }
    // Limits in "0.00", slabs as their plain stored numbers; a box without a row stays empty.
    QLineEdit *const limits[ITSetup::LimitCount] = {ui.Tx80CLimit,  ui.TxHLInterestLimit, ui.TxMCLimit,
                                                    ui.TxExemption, ui.TxRebate,          ui.TxCESS};
    for (int i = 0; i < ITSetup::LimitCount; ++i)
        if (year.limits[i])
            limits[i]->setText(Format00(*year.limits[i]));
    QLineEdit *const slabs[4][3] = {{ui.TxSlab1From, ui.TxSlab1To, ui.TxSlab1Per},
                                    {ui.TxSlab2From, ui.TxSlab2To, ui.TxSlab2Per},
                                    {ui.TxSlab3From, ui.TxSlab3To, ui.TxSlab3Per},
                                    {ui.TxSlab4From, ui.TxSlab4To, ui.TxSlab4Per}};
    for (int n = 0; n < 4; ++n) {
        if (const std::optional<TaxSlab> &slab = year.slabs[n]) {
            slabs[n][0]->setText(PlainNumber(slab->start));
            slabs[n][1]->setText(PlainNumber(slab->end));
            slabs[n][2]->setText(PlainNumber(slab->rate));
        }
    }
}

void frmITSettings::CmApply_Click()
{
    const std::array<QString, ITSetup::LimitCount> texts = {ui.Tx80CLimit->text(), ui.TxHLInterestLimit->text(),
                                                            ui.TxMCLimit->text(),  ui.TxExemption->text(),
                                                            ui.TxRebate->text(),   ui.TxCESS->text()};
    try {
        ITSetup::Save(mdlDalvoni::Db(), texts, mdlDalvoni::FinYearFrom, mdlDalvoni::FinYearTo);
    } catch (const DbError &e) {
        // Nothing was stored; the typed values stay for another try.
        platform().message(e.text(), Platform::Icon::Critical);
        return;
    }
    platform().message(QStringLiteral("Income Tax Settngs Updated!.   "), Platform::Icon::Information);
    CloseScreen(this);
}

void frmITSettings::CmClose_Click()
{
    CloseScreen(this);
}

QWidget *frmITSettings::enterTarget(QObject *box) const
{
    if (box == ui.Tx80CLimit)
        return ui.CmApply;
    if (box == ui.TxHLInterestLimit)
        return ui.TxMCLimit;
    if (box == ui.TxMCLimit)
        return ui.Tx80CLimit;
    if (box == ui.TxExemption)
        return ui.TxRebate;
    if (box == ui.TxRebate)
        return ui.TxCESS;
    if (box == ui.TxCESS)
        return ui.CmApply;
    return nullptr;
}

bool frmITSettings::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto *box = qobject_cast<QLineEdit *>(watched))
            SelectAllText(box);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (QWidget *next = enterTarget(watched))
                next->setFocus();
        }
    }
    return QWidget::eventFilter(watched, event);
}
