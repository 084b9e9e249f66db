#include "form21.h"

#include "common/windowconventions.h"
#include "ui_form21.h"

Form21::Form21() : ui(std::make_unique<Ui::Form21>())
{
    ui->setupUi(this);
    common::applyWindowConventions(this);
    ui->Label1->setFont(common::designFont(QStringLiteral("Arial Black"), 12, QFont::Black));
}

Form21::~Form21() = default;
