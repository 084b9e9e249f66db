#include "form2.h"

#include "main_window/windowconventions.h"
#include "ui_form2.h"

Form2::Form2() : ui(std::make_unique<Ui::Form2>())
{
    ui->setupUi(this);
    main_window::applyWindowConventions(this);
}

Form2::~Form2() = default;
