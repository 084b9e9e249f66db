#pragma once

// The About window: four fixed credit lines, nothing to act on.

#include "common/secondarywindow.h"

#include <memory>

namespace Ui {
class Form2;
}

class Form2 : public common::SecondaryWindow
{
    Q_OBJECT
public:
    Form2();
    ~Form2() override;

private:
    std::unique_ptr<Ui::Form2> ui;
};
