// Dialogs for the window tests: every message is recorded instead of shown,
// and the file and directory dialogs answer with prepared names at once.
#pragma once

#include "controls/UserDialogs.h"

#include <QStringList>

namespace kestrova::test {

class RecordingDialogs final : public UserDialogs {
public:
    RecordingDialogs() { Install(this); }
    ~RecordingDialogs() override { Install(nullptr); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    void Message(QWidget*, Kind, const QString& text) override { messages << text; }
    bool Question(QWidget*, const QString& text) override {
        questions << text;
        return questionAnswer;
    }
    QString ExistingDirectory(QWidget*, const QString& caption, const QString&) override {
        directoryCaptions << caption;
        return directoryAnswer;
    }
    QString SaveFileName(QWidget*, const QString& caption, const QString& proposed,
                         const QString&) override {
        saveCaptions << caption;
        saveProposals << proposed;
        return saveAnswer;
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return openAnswer;
    }

    QStringList messages;
    QStringList questions;
    QStringList directoryCaptions;
    QStringList saveCaptions;
    QStringList saveProposals;
    QString directoryAnswer;
    bool questionAnswer = false; // No
    QString saveAnswer;          // empty: the dialog was cancelled
    QString openAnswer;
};

} // namespace kestrova::test
