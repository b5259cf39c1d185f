#pragma once

#include <QTimer>
#include <QWidget>

#include "ui_frmSplash.h"

// The start picture: fades in over ten ticks, out over ten more, then opens the login.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);

    void Timer1_Timer();
    int Ticks() const { return m_ticks; }

    Ui::frmSplash ui;
    QTimer Timer1;

private:
    int m_counter = 0;
    int m_level = 0;
    int m_ticks = 0;
};
