// What the evaluation and site database pages ask of the window: the link
// options and inputs of a radial, and the link fields a site is copied into.
#include "app/MainForm.h"
#include "app/pages/InputPage.h"
#include "controls/NumEdit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

namespace kestrova {

bool TMainForm::LinkOption(const char* name) {
    const auto* button = inputPage->findChild<QAbstractButton*>(QString::fromLatin1(name));
    return button && button->isChecked();
}

void TMainForm::SetLinkFieldText(const char* name, const QString& text) {
    if (auto* field = inputPage->findChild<QLineEdit*>(QString::fromLatin1(name)))
        field->setText(text);
}

void TMainForm::SetLocatorFormat(int format) {
    QRadioButton* const buttons[] = {LOC, NGR, DEG, DMS};             // in format order
    if (format >= 0 && format < 4) buttons[format]->setChecked(true); // shows both ends anew
}

std::optional<CalculationSettings> TMainForm::LinkSettings(bool report) {
    if (report) {
        if (!inputPage->LinkFieldsAcceptable()) return std::nullopt;
    } else {
        for (TNumEdit* field : {FREQ, TX_H, RX_H, RH, TEMPERATURE, PRESSURE, Percent})
            if (!field->IsAcceptable()) return std::nullopt;
        if (ForcedKFactor->isChecked() && !K_FACT->IsAcceptable()) return std::nullopt;
    }
    return CurrentSettings();
}

} // namespace kestrova
