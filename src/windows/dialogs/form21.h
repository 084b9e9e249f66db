#pragma once

// The Help window: the three steps of use and a note on name length.

#include "common/secondarywindow.h"

#include <memory>

namespace Ui {
class Form21;
}

class Form21 : public common::SecondaryWindow
{
    Q_OBJECT
public:
    Form21();
    ~Form21() override;

private:
    std::unique_ptr<Ui::Form21> ui;
};
