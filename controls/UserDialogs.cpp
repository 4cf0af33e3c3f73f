#include "controls/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kestrova {
namespace {

class QtDialogs final : public UserDialogs {
public:
    void Message(QWidget* parent, Kind kind, const QString& text) override {
        switch (kind) {
        case Kind::Information:
            QMessageBox::information(parent, QString(), text);
            break;
        case Kind::Warning:
            QMessageBox::warning(parent, QString(), text);
            break;
        case Kind::Error:
            QMessageBox::critical(parent, QString(), text);
            break;
        }
    }
    bool Question(QWidget* parent, const QString& text) override {
        return QMessageBox::question(parent, QString(), text) == QMessageBox::Yes;
    }
    QString ExistingDirectory(QWidget* parent, const QString& caption,
                              const QString& start) override {
        return QFileDialog::getExistingDirectory(parent, caption, start);
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                         const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
    }
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& start,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    }
};

UserDialogs* installed = nullptr;

} // namespace

UserDialogs& UserDialogs::Current() {
    static QtDialogs qtDialogs;
    return installed ? *installed : qtDialogs;
}

void UserDialogs::Install(UserDialogs* dialogs) {
    installed = dialogs;
}

} // namespace kestrova
