// TAbout: the About box, shown without being modal and hidden by Close.
#pragma once

#include <QDialog>

namespace kestrova {

class TAbout : public QDialog {
    Q_OBJECT
public:
    explicit TAbout(QWidget* parent);

public Q_SLOTS:
    void CloseClick();
};

} // namespace kestrova
