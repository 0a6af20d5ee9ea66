#include "store/ui.h"

#include <QDebug>

namespace veil {
namespace {

// Used when no window system is present (store tools, benchmarks): says what
// it would have shown and declines every question.
class HeadlessUi final : public Ui {
public:
    void message(const QString& text, const QString& title) override {
        qWarning().noquote() << title << ":" << text;
    }
    bool question(const QString& text, const QString& title) override {
        qWarning().noquote() << title << ":" << text << "(answered no)";
        return false;
    }
    bool confirmReplace(const QString&) override { return false; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool openUrl(const QUrl&) override { return false; }
};

HeadlessUi headless;
Ui* current = nullptr;

} // namespace

Ui& Ui::get() { return current ? *current : headless; }
void Ui::install(Ui* ui) { current = ui; }

void message(const QString& text, const QString& title) { Ui::get().message(text, title); }

} // namespace veil
