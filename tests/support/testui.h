#pragma once

#include "store/ui.h"

#include <QList>
#include <QStringList>
#include <QUrl>

namespace veil::test {

// Answers every question the program asks, records every message, and
// installs itself for as long as it lives.
class TestUi final : public Ui {
public:
    struct Shown {
        QString text;
        QString title;
    };

    TestUi();
    ~TestUi() override;

    void message(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override;
    bool confirmReplace(const QString& path) override;
    QString openFileName(const QString& title, const QString& filter,
                         const QString& startFolder) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& suggested) override;
    bool openUrl(const QUrl& url) override;

    // Answers for the next questions and replace questions, in order; when the
    // queue is empty the default answer is used.
    void setNextAnswer(bool yes) { answers << yes; }
    void setDefaultAnswer(bool yes) { defaultAnswer = yes; }
    // The next file-open dialog returns this (empty = cancelled).
    void setNextFileName(const QString& path) { fileNames << path; }
    // The next file-save dialog returns this (empty = cancelled).
    void setNextSaveFileName(const QString& path) { saveNames << path; }

    QStringList texts() const;
    QString lastText() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear();

    QList<Shown> messages;
    QList<Shown> questions;
    QStringList replaceAsked;
    struct Dialog {
        QString title, filter, startFolder;
    };
    QList<Dialog> dialogs;
    QList<QUrl> urls;

private:
    bool nextAnswer();
    QList<bool> answers;
    QStringList fileNames;
    QStringList saveNames;
    bool defaultAnswer = false;
    Ui* m_previous = nullptr;
};

} // namespace veil::test
