#include "shell/CZoomLayout.h"

#include <algorithm>

#include <QPushButton>

#include "shell/CMainWnd.h"
#include "shell/CScreenWnd.h"

void CZoomLayout::Apply(CMainWnd& window, int zoom)
{
    CScreenWnd* screen = window.Screen();
    screen->SetZoom(zoom);
    screen->move(0, 0);
    const QRect r = screen->geometry();
    QPushButton* buttons[] = {window.ResetButton(), window.ConfigButton(), window.ExitButton()};
    int top = 0;
    for (QPushButton* button : buttons) {
        button->setGeometry(r.right() + 1, top, CMainWnd::BUTTON_WIDTH, CMainWnd::BUTTON_HEIGHT);
        button->show();
        top += CMainWnd::BUTTON_HEIGHT;
    }
    window.Filler()->setGeometry(r.right() + 1, top, CMainWnd::BUTTON_WIDTH, std::max(0, r.height() - top));
    window.Filler()->show();
    window.setFixedSize(r.width() + CMainWnd::BUTTON_WIDTH, std::max(r.height(), top));
}

void CZoomLayout::ApplyFullScreen(CMainWnd& window)
{
    for (QWidget* child : {static_cast<QWidget*>(window.ResetButton()), static_cast<QWidget*>(window.ConfigButton()),
                           static_cast<QWidget*>(window.ExitButton()), window.Filler()})
        child->hide();
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.Screen()->SetFullScreen(true);
    Fill(window);
}

void CZoomLayout::Fill(CMainWnd& window)
{
    window.Screen()->setGeometry(window.rect());
}
