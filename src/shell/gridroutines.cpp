#include "gridroutines.h"
#include "spreadgrid.h"
#include "twips.h"
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <cmath>

bool CodeListOpen = false;

void ApplyGridStyle(QWidget* form) {
    if (!form) return;
    QList<SpreadGrid*> grids = form->findChildren<SpreadGrid*>();
    if (auto* self = qobject_cast<SpreadGrid*>(form)) grids.prepend(self);
    QFont font(QStringLiteral("굴림"), 10);  // resolved to an installed Korean face
    font.setBold(false);
    for (SpreadGrid* grid : grids) {
        grid->setFont(font);
        grid->horizontalHeader()->setFont(font);
        grid->verticalHeader()->setFont(font);
        grid->setFrameShape(QFrame::StyledPanel);            // flat look
        grid->horizontalHeader()->setHighlightSections(true);  // the current cell's headers light up
        grid->verticalHeader()->setHighlightSections(true);
    }
}

void EnterToTab(int& keyCode) {
    if (keyCode != 13) return;
    keyCode = 0;
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    // Tab moves on within the focused box's own window; inside the main window a work screen's
    // MDI child counts as that window, just as for a real Tab.
    QWidget* window = focus;
    while (!window->isWindow() && window->windowType() != Qt::SubWindow && window->parentWidget())
        window = window->parentWidget();
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &tab);
}

int ListIndexAtY(const QListWidget& list, double yTwips) {
    const int count = list.count();
    if (count == 0) return -1;
    int itemHeight = list.visualItemRect(list.item(0)).height();
    if (itemHeight <= 0) itemHeight = list.sizeHintForRow(0);
    if (itemHeight <= 0) itemHeight = 1;
    const int pixels = int(std::lround(yTwips / TwipsPerPixel));
    const QModelIndex top = list.indexAt(QPoint(0, 0));
    const int topIndex = top.isValid() ? top.row() : 0;
    // Above the list (negative y) floors towards the top item rather than past it.
    const int index = topIndex + (pixels >= 0 ? pixels / itemHeight : 0);
    return std::min(index, count - 1);
}

void HideCodeList(QListWidget& list) {
    list.hide();
    CodeListOpen = false;
}
