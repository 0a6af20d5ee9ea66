#include "testui.h"

namespace veil::test {

TestUi::TestUi() : m_previous(&Ui::get()) { Ui::install(this); }
TestUi::~TestUi() { Ui::install(nullptr); }

void TestUi::message(const QString& text, const QString& title) { messages.append({text, title}); }

bool TestUi::nextAnswer() { return answers.isEmpty() ? defaultAnswer : answers.takeFirst(); }

bool TestUi::question(const QString& text, const QString& title) {
    questions.append({text, title});
    return nextAnswer();
}

bool TestUi::confirmReplace(const QString& path) {
    replaceAsked << path;
    return nextAnswer();
}

QString TestUi::openFileName(const QString& title, const QString& filter, const QString& startFolder) {
    dialogs.append({title, filter, startFolder});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString TestUi::saveFileName(const QString& title, const QString& filter, const QString& suggested) {
    dialogs.append({title, filter, suggested});
    return saveNames.isEmpty() ? QString() : saveNames.takeFirst();
}

bool TestUi::openUrl(const QUrl& url) {
    urls << url;
    return true;
}

QStringList TestUi::texts() const {
    QStringList out;
    for (const Shown& s : messages)
        out << s.text;
    return out;
}

void TestUi::clear() {
    messages.clear();
    questions.clear();
    replaceAsked.clear();
    dialogs.clear();
    urls.clear();
}

} // namespace veil::test
