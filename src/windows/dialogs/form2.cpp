#include "form2.h"

#include "common/windowconventions.h"
#include "ui_form2.h"

Form2::Form2() : ui(std::make_unique<Ui::Form2>())
{
    ui->setupUi(this);
    common::applyWindowConventions(this);
}

Form2::~Form2() = default;
