// Around the list: the refresh countdown, export and closing.
#include "frmorder.h"

#include "clock.h"
#include "gridroutines.h"
#include "orderderive.h"
#include "spreadgrid.h"
#include "storefeed.h"
#include "storetrap.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiSubWindow>

void frmOrder::Timer1_Timer() {
    // A store that tells its changes keeps the list up to date as they happen: nothing to
    // count down to.
    if (m_liveFeed && StoreFeed::instance().live()) {
        lblCount->setText(QStringLiteral("실시간"));
        return;
    }
    if (chk새로고침금지->isChecked()) {
        ShowCountdown();
        return;
    }
    lblCount->setText(QString::number(int(m_refreshPeriod) - int(m_countdown)) + QStringLiteral("초"));
    const qint16 before = m_countdown;
    // A 16-bit count: it stops at its largest value, so a negative period is never met.
    if (m_countdown < 32767) ++m_countdown;
    if (before == m_refreshPeriod) {
        try {
            RefreshOrderList();
        } catch (const LeaveRoutine&) {
        } catch (const StoreFailure&) {
        }
        m_countdown = 0;
    }
}

void frmOrder::ShowCountdown() {
    if (m_liveFeed && StoreFeed::instance().live()) return;
    // Ticked, the list is not read again until the box is cleared: a frozen number would say
    // otherwise.
    if (chk새로고침금지->isChecked())
        lblCount->setText(QStringLiteral("멈춤"));
    else if (!lblCount->text().isEmpty())
        lblCount->setText(QString::number(int(m_refreshPeriod) - int(m_countdown)) + QStringLiteral("초"));
}

void frmOrder::ExportList() {
    ExportGridToExcel(*sp, OrderDerive::ExportName(Clock::today()));
}

void frmOrder::CloseScreen() {
    // Asked in closeEvent, which the child window's own close box reaches as well.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void frmOrder::closeEvent(QCloseEvent* event) {
    if (!MayDiscardPanel()) {
        event->ignore();
        return;
    }
    WorkScreen::closeEvent(event);
}
