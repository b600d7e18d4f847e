// The memo model: read-only lines of text.
#pragma once
#include <string>
#include <vector>

#include "ui/Control.h"

namespace ui {

class Memo : public Control {
public:
    Memo(Container* parent, int number, Rect bounds, std::vector<std::string> lines)
        : Control(parent, Kind::Memo, number, bounds), lines_(std::move(lines)) {}
    const std::vector<std::string>& lines() const { return lines_; }
    K307_DECLARE_PEER();

private:
    std::vector<std::string> lines_;
};

}  // namespace ui
