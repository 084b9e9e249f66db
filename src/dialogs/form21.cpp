#include "form21.h"

#include "main_window/windowconventions.h"
#include "ui_form21.h"

Form21::Form21() : ui(std::make_unique<Ui::Form21>())
{
    ui->setupUi(this);
    main_window::applyWindowConventions(this);
    ui->Label1->setFont(main_window::designFont(QStringLiteral("Arial Black"), 12, QFont::Black));
}

Form21::~Form21() = default;
