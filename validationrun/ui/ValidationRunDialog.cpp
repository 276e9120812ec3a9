#include "validationrun/ui/ValidationRunDialog.h"

#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "validationrun/ui/ValidationRunPanel.h"

namespace quirn {

ValidationRunDialog::ValidationRunDialog(ValidationRun& run, QWidget* parent)
    : QDialog(parent), panel_(new ValidationRunPanel(run, this)) {
    setWindowTitle("Validation run");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel_);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

}  // namespace quirn
