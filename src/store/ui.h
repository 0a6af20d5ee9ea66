#pragma once

#include <QString>
#include <QUrl>

namespace veil {

// Every place where the program needs a person -- a message, a yes/no question,
// a file to open, a link for the desktop -- goes through this interface, so the
// store stays free of widgets and tests can give the answers.
class Ui {
public:
    virtual ~Ui() = default;

    // Modal box with an OK button and no icon.
    virtual void message(const QString& text, const QString& title) = 0;
    // Modal yes/no question; true for yes.
    virtual bool question(const QString& text, const QString& title) = 0;
    // The copy routine's question before it replaces an existing file.
    virtual bool confirmReplace(const QString& path) = 0;
    // File-open dialog; empty when cancelled.
    virtual QString openFileName(const QString& title, const QString& filter,
                                 const QString& startFolder) = 0;
    // File-save dialog; empty when cancelled.
    virtual QString saveFileName(const QString& title, const QString& filter,
                                 const QString& suggested) = 0;
    // Hands a web, mailto: or file link to the desktop's default handler.
    virtual bool openUrl(const QUrl& url) = 0;

    // The installed implementation; a quiet headless one until something is installed.
    static Ui& get();
    // Not owned; pass nullptr to go back to the headless one.
    static void install(Ui* ui);
};

inline const QString kProgramName = QStringLiteral("Veilcase");

// Shorthand for the program's usual message box.
void message(const QString& text, const QString& title = kProgramName);

} // namespace veil
