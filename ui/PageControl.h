// The page control model: tabbed pages (TabSheet), one of them shown.
#pragma once
#include <string>

#include "ui/Control.h"

namespace ui {

class TabSheet : public Container {
public:
    TabSheet(Container* parent, int number, std::string caption)
        : Container(parent, Kind::TabSheet, number, {}, std::move(caption)) {}
    K307_DECLARE_PEER();
};

class PageControl : public Container {
public:
    PageControl(Container* parent, int number, Rect bounds) : Container(parent, Kind::PageControl, number, bounds) {}
    int activePage() const { return activePage_; }
    void SetActivePage(int index);
    void UserSelectPage(int index) { SetActivePage(index); }
    K307_DECLARE_PEER();

private:
    int activePage_ = 0;
};

}  // namespace ui
